#include <gtest/gtest.h>

#include "UiWindowTestSupport.h"
#include "ui/Theme.h"

namespace {

constexpr COLORREF kBack = RGB(0x18, 0x19, 0x1E);

// Bounding box of the pixels that differ from the background inside a rectangle.
RECT InkBounds(const CapturedImage& image, const RECT& area, COLORREF background)
{
    RECT ink{area.right, area.bottom, area.left, area.top};
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x) {
            if (image.At(x, y) == background) continue;
            ink.left = std::min<LONG>(ink.left, x);
            ink.top = std::min<LONG>(ink.top, y);
            ink.right = std::max<LONG>(ink.right, x + 1);
            ink.bottom = std::max<LONG>(ink.bottom, y + 1);
        }
    }
    return ink;
}

// Window x of the close button: 30 pixels wide, inside the 1-pixel border.
int CloseButtonLeft(HWND window)
{
    RECT bounds;
    GetWindowRect(window, &bounds);
    return bounds.right - bounds.left - 31;
}

class SkinnedFrame : public testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(ScreenDpiY(), 96) << "the frame's pixel checks are written for 96 DPI"; }
};

TEST_F(SkinnedFrame, CaptionStripAndClientOrigin)
{
    RecordingDialog dialog(IDD_UITEST_FIXED);
    ASSERT_TRUE(dialog.Open());
    POINT origin{0, 0};
    ClientToScreen(dialog.m_hWnd, &origin);
    const POINT corner = ScreenPoint(dialog.m_hWnd, 0, 0);
    // One line above a 28-pixel strip, one-pixel border on the left.
    EXPECT_EQ(origin.y - corner.y, 29);
    EXPECT_EQ(origin.x - corner.x, 1);

    const CapturedImage image = CaptureWindow(dialog.m_hWnd);
    ASSERT_FALSE(image.IsEmpty());
    for (int y = 0; y < 29; ++y) {
        for (int x : {0, 1, 40, image.width / 2, image.width - 100})
            EXPECT_TRUE(SameColor(image.At(x, y), kBack)) << x << "," << y;
    }
    // The border runs round the bottom as well.
    EXPECT_TRUE(SameColor(image.At(image.width / 2, image.height - 1), kBack));
}

TEST_F(SkinnedFrame, CloseButtonGlyphAndMinimizeNextToIt)
{
    RecordingDialog dialog(IDD_UITEST_FIXED);
    ASSERT_TRUE(dialog.Open());
    const CapturedImage image = CaptureWindow(dialog.m_hWnd);
    ASSERT_FALSE(image.IsEmpty());
    const int closeLeft = image.width - 1 - 30;
    // The 16-pixel glyph sits at (7, 7) inside the 30 x 30 button at (w - 31, 1);
    // rows from 29 on belong to the client area.
    const RECT closeButton{closeLeft, 1, closeLeft + 30, 29};
    const RECT closeInk = InkBounds(image, closeButton, kBack);
    EXPECT_GE(closeInk.left, closeLeft + 7);
    EXPECT_GE(closeInk.top, 1 + 7);
    EXPECT_LE(closeInk.right, closeLeft + 7 + 16);
    EXPECT_LE(closeInk.bottom, 1 + 7 + 16);
    EXPECT_LT(closeInk.left, closeInk.right) << "no close glyph drawn";

    // Without WS_MAXIMIZEBOX the minimise glyph occupies the slot directly left of close.
    const RECT minimizeInk = InkBounds(image, RECT{closeLeft - 30, 1, closeLeft, 29}, kBack);
    EXPECT_LT(minimizeInk.left, minimizeInk.right) << "no minimise glyph next to close";
    EXPECT_GE(minimizeInk.left, closeLeft - 30 + 7);
    // Nothing is drawn where a maximise button would have been.
    const RECT emptySlot = InkBounds(image, RECT{closeLeft - 60, 1, closeLeft - 30, 29}, kBack);
    EXPECT_GE(emptySlot.left, emptySlot.right);
}

TEST_F(SkinnedFrame, CloseHoverColourFollowsTheMouse)
{
    RecordingDialog dialog(IDD_UITEST_FIXED);
    ASSERT_TRUE(dialog.Open());
    const int closeLeft = CloseButtonLeft(dialog.m_hWnd);
    const POINT overClose = ScreenPoint(dialog.m_hWnd, closeLeft + 15, 15);
    dialog.SendMessage(WM_NCMOUSEMOVE, HTCAPTION, MAKELPARAM(overClose.x, overClose.y));
    CapturedImage image = CaptureWindow(dialog.m_hWnd);
    EXPECT_TRUE(SameColor(image.At(closeLeft + 2, 3), RGB(0xB5, 0x27, 0x24)));
    EXPECT_TRUE(SameColor(image.At(closeLeft + 27, 26), RGB(0xB5, 0x27, 0x24)));
    EXPECT_TRUE(SameColor(image.At(closeLeft - 2, 15), kBack));

    // Onto the bare caption strip: back to rest.
    const POINT overStrip = ScreenPoint(dialog.m_hWnd, 60, 15);
    dialog.SendMessage(WM_NCMOUSEMOVE, HTCAPTION, MAKELPARAM(overStrip.x, overStrip.y));
    image = CaptureWindow(dialog.m_hWnd);
    EXPECT_TRUE(SameColor(image.At(closeLeft + 2, 3), kBack));

    // Over minimise: the neutral hover colour.
    const POINT overMinimize = ScreenPoint(dialog.m_hWnd, closeLeft - 15, 15);
    dialog.SendMessage(WM_NCMOUSEMOVE, HTCAPTION, MAKELPARAM(overMinimize.x, overMinimize.y));
    image = CaptureWindow(dialog.m_hWnd);
    EXPECT_TRUE(SameColor(image.At(closeLeft - 28, 3), RGB(0x31, 0x3F, 0x49)));
}

TEST_F(SkinnedFrame, PressReleasedOffTheButtonSendsNothing)
{
    RecordingDialog dialog(IDD_UITEST_FIXED);
    ASSERT_TRUE(dialog.Open());
    const int closeLeft = CloseButtonLeft(dialog.m_hWnd);
    const POINT overClose = ScreenPoint(dialog.m_hWnd, closeLeft + 15, 15);
    const POINT overStrip = ScreenPoint(dialog.m_hWnd, 60, 15);

    dialog.SendMessage(WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(overClose.x, overClose.y));
    CapturedImage image = CaptureWindow(dialog.m_hWnd);
    EXPECT_TRUE(SameColor(image.At(closeLeft + 2, 3), RGB(0x95, 0x10, 0x0E)));
    dialog.SendMessage(WM_NCMOUSEMOVE, HTCAPTION, MAKELPARAM(overStrip.x, overStrip.y));
    image = CaptureWindow(dialog.m_hWnd);
    EXPECT_TRUE(SameColor(image.At(closeLeft + 2, 3), kBack)) << "the button rests once the mouse leaves it";
    dialog.SendMessage(WM_NCLBUTTONUP, HTCAPTION, MAKELPARAM(overStrip.x, overStrip.y));
    EXPECT_EQ(dialog.m_nSysCommands, 0);

    // A real click on close does send SC_CLOSE.
    dialog.SendMessage(WM_NCMOUSEMOVE, HTCAPTION, MAKELPARAM(overClose.x, overClose.y));
    dialog.SendMessage(WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(overClose.x, overClose.y));
    dialog.SendMessage(WM_NCLBUTTONUP, HTCAPTION, MAKELPARAM(overClose.x, overClose.y));
    EXPECT_EQ(dialog.m_nSysCommands, 1);
    EXPECT_EQ(dialog.m_nLastSysCommand, static_cast<UINT>(SC_CLOSE));

    // Pressing close and releasing over minimise moves the highlight: nothing is sent.
    const POINT overMinimize = ScreenPoint(dialog.m_hWnd, closeLeft - 15, 15);
    dialog.SendMessage(WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(overClose.x, overClose.y));
    dialog.SendMessage(WM_NCLBUTTONUP, HTCAPTION, MAKELPARAM(overMinimize.x, overMinimize.y));
    EXPECT_EQ(dialog.m_nSysCommands, 1);
}

TEST_F(SkinnedFrame, DisabledCaptionButtonIgnoresTheMouse)
{
    RecordingDialog dialog(IDD_UITEST_FIXED);
    ASSERT_TRUE(dialog.Open());
    dialog.m_buttons[0].disabled = 1;
    const int closeLeft = CloseButtonLeft(dialog.m_hWnd);
    const POINT overClose = ScreenPoint(dialog.m_hWnd, closeLeft + 15, 15);
    dialog.SendMessage(WM_NCMOUSEMOVE, HTCAPTION, MAKELPARAM(overClose.x, overClose.y));
    const CapturedImage image = CaptureWindow(dialog.m_hWnd);
    EXPECT_TRUE(SameColor(image.At(closeLeft + 2, 3), kBack));
    // The press falls through to the system's caption handling, which may
    // start a move; it must never close.
    dialog.SendMessage(WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(overClose.x, overClose.y));
    dialog.SendMessage(WM_NCLBUTTONUP, HTCAPTION, MAKELPARAM(overClose.x, overClose.y));
    EXPECT_NE(dialog.m_nLastSysCommand, static_cast<UINT>(SC_CLOSE));
    EXPECT_TRUE(IsWindow(dialog.m_hWnd));
}

TEST_F(SkinnedFrame, MaximizeBoxSwapsForRestoreAndDoubleClickToggles)
{
    RecordingDialog sizable(IDD_UITEST_SIZABLE);
    sizable.m_bApplySysCommands = true;
    ASSERT_TRUE(sizable.Open());
    EXPECT_TRUE(sizable.m_buttons[1].visible);
    EXPECT_FALSE(sizable.m_buttons[2].visible);
    RECT window;
    GetWindowRect(sizable.m_hWnd, &window);
    const int width = window.right - window.left;
    // Maximise sits between minimise and close.
    CapturedImage image = CaptureWindow(sizable.m_hWnd);
    const RECT maximizeInk = InkBounds(image, RECT{width - 61, 1, width - 31, 29}, kBack);
    EXPECT_LT(maximizeInk.left, maximizeInk.right);

    const POINT onCaption = ScreenPoint(sizable.m_hWnd, 60, 15);
    // Checked at once: without a window manager the X server may later
    // report the window restored again.
    sizable.SendMessage(WM_NCLBUTTONDBLCLK, HTCAPTION, MAKELPARAM(onCaption.x, onCaption.y));
    EXPECT_TRUE(IsZoomed(sizable.m_hWnd));
    EXPECT_EQ(sizable.m_nLastSysCommand, static_cast<UINT>(SC_MAXIMIZE));
    sizable.RedrawFrame();
    EXPECT_FALSE(sizable.m_buttons[1].visible);
    EXPECT_TRUE(sizable.m_buttons[2].visible);
    EXPECT_TRUE(EqualRect(&sizable.m_buttons[1].rcButton, &sizable.m_buttons[2].rcButton));

    const POINT onMaximizedCaption = ScreenPoint(sizable.m_hWnd, 60, 20);
    sizable.SendMessage(WM_NCLBUTTONDBLCLK, HTCAPTION, MAKELPARAM(onMaximizedCaption.x, onMaximizedCaption.y));
    EXPECT_FALSE(IsZoomed(sizable.m_hWnd));
    EXPECT_EQ(sizable.m_nLastSysCommand, static_cast<UINT>(SC_RESTORE));

    // Without a maximise box a double click on the caption does nothing.
    RecordingDialog fixed(IDD_UITEST_FIXED);
    ASSERT_TRUE(fixed.Open(200, 200));
    const POINT onFixedCaption = ScreenPoint(fixed.m_hWnd, 60, 15);
    fixed.SendMessage(WM_NCLBUTTONDBLCLK, HTCAPTION, MAKELPARAM(onFixedCaption.x, onFixedCaption.y));
    EXPECT_EQ(fixed.m_nSysCommands, 0);
}

TEST_F(SkinnedFrame, TitleIsDrawnOnlyWithShowCaption)
{
    RecordingDialog dialog(IDD_UITEST_FIXED);
    ASSERT_TRUE(dialog.Open());
    const RECT titleArea{5, 2, 150, 28};
    CapturedImage image = CaptureWindow(dialog.m_hWnd);
    RECT ink = InkBounds(image, titleArea, kBack);
    EXPECT_GE(ink.left, ink.right) << "no title while m_bShowCaption is clear";
    dialog.m_bShowCaption = 1;
    dialog.RedrawFrame();
    image = CaptureWindow(dialog.m_hWnd);
    ink = InkBounds(image, titleArea, kBack);
    EXPECT_LT(ink.left, ink.right);
    EXPECT_GE(ink.left, 1 + 5);
}

}  // namespace
