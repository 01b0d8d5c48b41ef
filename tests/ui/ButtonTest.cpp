#include <gtest/gtest.h>

#include <cstdlib>

#include "UiWindowTestSupport.h"
#include "ui/ImageWrapper.h"
#include "ui/KorvexButton.h"
#include "ui/KorvexTextButton.h"
#include "ui/Theme.h"

namespace {

struct MouseStep {
    UINT message;
    bool inside;
};

struct ProtocolCase {
    const char* name;
    std::vector<MouseStep> steps;
    bool enabled;
    int clicks;
};

const ProtocolCase kProtocol[] = {
    {"click", {{WM_LBUTTONDOWN, true}, {WM_LBUTTONUP, true}}, true, 1},
    {"double click",
     {{WM_LBUTTONDOWN, true}, {WM_LBUTTONUP, true}, {WM_LBUTTONDBLCLK, true}, {WM_LBUTTONUP, true}},
     true,
     2},
    {"release outside", {{WM_LBUTTONDOWN, true}, {WM_LBUTTONUP, false}}, true, 0},
    {"release without press", {{WM_LBUTTONUP, true}}, true, 0},
    {"disabled click", {{WM_LBUTTONDOWN, true}, {WM_LBUTTONUP, true}}, false, 0},
    {"disabled double click",
     {{WM_LBUTTONDOWN, true}, {WM_LBUTTONUP, true}, {WM_LBUTTONDBLCLK, true}, {WM_LBUTTONUP, true}},
     false,
     0},
};

void Play(HWND button, const std::vector<MouseStep>& steps)
{
    for (const MouseStep& step : steps) {
        const LPARAM point = step.inside ? MAKELPARAM(5, 5) : MAKELPARAM(-20, -20);
        const WPARAM keys = step.message == WM_LBUTTONUP ? 0 : MK_LBUTTON;
        PostMessageW(button, step.message, keys, point);
        PumpMessages(30);
    }
    PumpMessages(50);
}

template <class Button>
void RunProtocol(UINT id)
{
    for (const ProtocolCase& c : kProtocol) {
        SCOPED_TRACE(c.name);
        RecordingDialog dialog(IDD_UITEST_FIXED);
        ASSERT_TRUE(dialog.Open());
        Button button;
        ASSERT_TRUE(button.SubclassDlgItem(id, &dialog));
        button.m_bEnabled = c.enabled ? 1 : 0;
        Play(button.m_hWnd, c.steps);
        EXPECT_EQ(dialog.Clicks(id), c.clicks);
        EXPECT_EQ(GetCapture(), nullptr);
    }
}

TEST(ButtonMouse, ImageButtonPostsExactlyOneCommandPerClick)
{
    RunProtocol<CKorvexButton>(IDC_UITEST_IMAGE_BUTTON);
}

TEST(ButtonMouse, TextButtonPostsExactlyOneCommandPerClick)
{
    RunProtocol<CKorvexTextButton>(IDC_UITEST_TEXT_BUTTON);
}

TEST(ButtonMouse, SubclassingMakesTheImageButtonOwnerDrawn)
{
    RecordingDialog dialog(IDD_UITEST_FIXED);
    ASSERT_TRUE(dialog.Open());
    CKorvexButton button;
    ASSERT_TRUE(button.SubclassDlgItem(IDC_UITEST_IMAGE_BUTTON, &dialog));
    EXPECT_EQ(button.GetStyle() & BS_TYPEMASK, static_cast<DWORD>(BS_OWNERDRAW));
}

TEST(ButtonMouse, HoverFollowsTheRealCursor)
{
    RecordingDialog dialog(IDD_UITEST_FIXED);
    ASSERT_TRUE(dialog.Open());
    CKorvexButton button;
    ASSERT_TRUE(button.SubclassDlgItem(IDC_UITEST_IMAGE_BUTTON, &dialog));
    SetCursorPos(0, 0);
    PumpMessages(100);
    POINT inside{5, 5};
    ClientToScreen(button.m_hWnd, &inside);
    ASSERT_EQ(WindowFromPoint(inside), button.m_hWnd) << "another window covers the button";
    SetCursorPos(inside.x, inside.y);
    EXPECT_TRUE(PumpUntil([&] { return button.m_bHover == 1; }, 3000));
    EXPECT_TRUE(PumpUntil([&] { return dialog.Received(WM_IMAGEBUTTON_HOVER) == 1; }, 1000));
    SetCursorPos(0, 0);
    EXPECT_TRUE(PumpUntil([&] { return button.m_bHover == 0; }, 3000));
    EXPECT_TRUE(PumpUntil([&] { return dialog.Received(WM_IMAGEBUTTON_LEAVE) == 1; }, 1000));
}

class ButtonPixels : public testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(ScreenDpiY(), 96); }
};

TEST_F(ButtonPixels, ImageButtonFacesAndCentredImage)
{
    RecordingDialog dialog(IDD_UITEST_FIXED);
    ASSERT_TRUE(dialog.Open());
    CKorvexButton button;
    ASSERT_TRUE(button.SubclassDlgItem(IDC_UITEST_IMAGE_BUTTON, &dialog));
    button.m_clrFace = RGB(0x07, 0xA5, 0xD8);
    const std::shared_ptr<CImageWrapper> check = LoadPngResource(153);
    ASSERT_TRUE(check);
    button.SetImage(*check);
    button.UpdateWindow();
    CRect client;
    button.GetClientRect(&client);
    CapturedImage image = CaptureClient(button.m_hWnd);
    EXPECT_TRUE(SameColor(image.At(1, 1), RGB(0x07, 0xA5, 0xD8)));
    // The 16-pixel image is centred: its middle differs from the face.
    EXPECT_FALSE(SameColor(image.At(client.Width() / 2, client.Height() / 2), RGB(0x07, 0xA5, 0xD8)));

    button.m_bEnabled = 0;
    button.Invalidate(TRUE);
    button.UpdateWindow();
    image = CaptureClient(button.m_hWnd);
    EXPECT_TRUE(SameColor(image.At(1, 1), RGB(0x00, 0x73, 0xA6)));
}

TEST_F(ButtonPixels, TextButtonFaceColoursAndRoundedCorners)
{
    RecordingDialog dialog(IDD_UITEST_FIXED);
    ASSERT_TRUE(dialog.Open());
    CKorvexTextButton button;
    ASSERT_TRUE(button.SubclassDlgItem(IDC_UITEST_TEXT_BUTTON, &dialog));
    button.SetText(L"Install");
    button.Invalidate(TRUE);
    button.UpdateWindow();
    CRect client;
    button.GetClientRect(&client);
    CapturedImage image = CaptureClient(button.m_hWnd);
    const int middle = client.Height() / 2;
    EXPECT_TRUE(SameColor(image.At(2, middle), RGB(0x07, 0xA5, 0xD8)));
    // Radius 4: the very corner shows the background, not the face.
    EXPECT_FALSE(SameColor(image.At(0, 0), RGB(0x07, 0xA5, 0xD8)));
    // White text somewhere on the middle row.
    bool sawText = false;
    for (int x = 0; x < client.Width(); ++x) sawText = sawText || GetRValue(image.At(x, middle)) > 0xC0;
    EXPECT_TRUE(sawText) << "no caption drawn";

    button.m_bEnabled = 0;
    button.Invalidate(TRUE);
    button.UpdateWindow();
    image = CaptureClient(button.m_hWnd);
    EXPECT_TRUE(SameColor(image.At(2, middle), RGB(0x70, 0x70, 0x70)));
    EXPECT_TRUE(SameColor(image.At(client.Width() - 3, middle), RGB(0x70, 0x70, 0x70)));
    EXPECT_FALSE(SameColor(image.At(client.Width() - 1, 0), RGB(0x70, 0x70, 0x70)));
}

TEST_F(ButtonPixels, ImageButtonWithoutImageOrCaptionShowsFaceAndOutline)
{
    RecordingDialog dialog(IDD_UITEST_FIXED);
    ASSERT_TRUE(dialog.Open());
    CKorvexButton button;
    ASSERT_TRUE(button.SubclassDlgItem(IDC_UITEST_IMAGE_BUTTON, &dialog));
    button.SetAppearance(SIZE{0, 0}, RGB(10, 20, 30), RGB(40, 50, 60), RGB(70, 80, 90), RGB(200, 210, 220), L"");
    ::SetFocus(nullptr);  // no focus frame at the edge
    struct Case {
        int hover;
        int pressed;
        COLORREF inside;
        COLORREF edge;
    };
    const Case cases[] = {{0, 0, RGB(10, 20, 30), RGB(10, 20, 30)},
                          {1, 0, RGB(40, 50, 60), RGB(200, 210, 220)},
                          {1, 1, RGB(70, 80, 90), RGB(200, 210, 220)}};
    for (const Case& c : cases) {
        button.m_bHover = c.hover;
        button.m_bPressed = c.pressed;
        button.Invalidate(TRUE);
        button.UpdateWindow();
        const CapturedImage image = CaptureClient(button.m_hWnd);
        EXPECT_TRUE(SameColor(image.At(image.width / 2, image.height / 2), c.inside)) << c.hover << c.pressed;
        EXPECT_TRUE(SameColor(image.At(0, image.height / 2), c.edge)) << c.hover << c.pressed;
    }
}

TEST_F(ButtonPixels, LongCaptionWrapsIntoCentredLines)
{
    RecordingDialog dialog(IDD_UITEST_FIXED);
    ASSERT_TRUE(dialog.Open());
    CKorvexTextButton button;
    ASSERT_TRUE(button.SubclassDlgItem(IDC_UITEST_TEXT_BUTTON, &dialog));
    button.MoveWindow(20, 20, 90, 80);
    button.SetText(L"Install the product now");
    button.Invalidate(TRUE);
    button.UpdateWindow();
    const CapturedImage image = CaptureClient(button.m_hWnd);
    const COLORREF face = RGB(0x07, 0xA5, 0xD8);
    // Rows that hold text, and the bands they form.
    int bands = 0;
    int firstInk = -1;
    int lastInk = -1;
    bool inBand = false;
    for (int y = 0; y < image.height; ++y) {
        bool ink = false;
        for (int x = 4; x < image.width - 4; ++x) ink = ink || image.At(x, y) != face;
        if (ink && !inBand) ++bands;
        if (ink) {
            if (firstInk < 0) firstInk = y;
            lastInk = y;
        }
        inBand = ink;
    }
    EXPECT_GE(bands, 2) << "the caption did not wrap";
    // The block sits in the vertical middle, give or take the rounding.
    EXPECT_LE(std::abs(firstInk - (image.height - 1 - lastInk)), 3);
}

TEST_F(ButtonPixels, TextButtonKeepsItsOwnFaceThroughARealPress)
{
    RecordingDialog dialog(IDD_UITEST_FIXED);
    ASSERT_TRUE(dialog.Open());
    CKorvexTextButton button;
    ASSERT_TRUE(button.SubclassDlgItem(IDC_UITEST_TEXT_BUTTON, &dialog));
    button.SetText(L"Install");
    button.SetFocus();
    PostMessageW(button.m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    PumpMessages(60);
    CRect client;
    button.GetClientRect(&client);
    // The system button's own press and focus drawing must not show through
    // (the toolkit's focus ring runs 2 to 4 pixels inside the edge).
    CapturedImage image = CaptureClient(button.m_hWnd);
    EXPECT_TRUE(SameColor(image.At(1, client.Height() / 2), RGB(0x05, 0x8A, 0xB5)));
    EXPECT_TRUE(SameColor(image.At(client.Width() - 2, client.Height() / 2), RGB(0x05, 0x8A, 0xB5)));
    PostMessageW(button.m_hWnd, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    PumpMessages(60);
    image = CaptureClient(button.m_hWnd);
    EXPECT_TRUE(SameColor(image.At(1, client.Height() / 2), RGB(0x07, 0xA5, 0xD8)));
    EXPECT_EQ(dialog.Clicks(IDC_UITEST_TEXT_BUTTON), 1);
}

}  // namespace
