#include <gtest/gtest.h>

#include "UiWindowTestSupport.h"
#include "ui/KorvexComboBox.h"
#include "ui/Theme.h"

namespace {

constexpr COLORREF kArrowBack = RGB(0x41, 0x42, 0x46);
constexpr COLORREF kFace = RGB(0x2F, 0x30, 0x34);

class ComboBox : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(ScreenDpiY(), 96);
        ASSERT_TRUE(m_dialog.Open());
        ASSERT_TRUE(m_combo.SubclassDlgItem(IDC_UITEST_COMBO, &m_dialog));
        ASSERT_NE(m_combo.m_edit.m_hWnd, nullptr);
        ASSERT_NE(m_combo.m_pList->m_hWnd, nullptr);
        m_combo.m_edit.SetReadOnly(TRUE);
        m_combo.m_clrFace = kFace;
        m_combo.m_clrBorder = kFace;
        m_combo.m_clrArrowBack = kArrowBack;
        m_combo.SetFont(fontBody);
        // A size change lays the arrow and the edit field out.
        CRect window;
        m_combo.GetWindowRect(&window);
        m_dialog.ScreenToClient(&window);
        m_combo.SetWindowPos(nullptr, window.left, window.top, 200, window.Height(), SWP_NOZORDER);
        PumpMessages(30);
    }

    void TearDown() override
    {
        if (m_combo.m_hWnd) m_combo.ShowDropDown(FALSE);
    }

    int DroppedWidthAfterOpening()
    {
        m_combo.ShowDropDown(TRUE);
        PumpMessages(60);
        const int width = m_combo.GetDroppedWidth();
        m_combo.ShowDropDown(FALSE);
        PumpMessages(30);
        return width;
    }

    RecordingDialog m_dialog{IDD_UITEST_FIXED};
    CKorvexComboBox m_combo;
};

TEST_F(ComboBox, FaceShowsArrowZoneAndNoTextWithoutSelection)
{
    EXPECT_FALSE(m_combo.m_edit.IsWindowVisible());
    EXPECT_EQ(m_combo.m_sizeArrowFrame.cx, 14);
    EXPECT_EQ(m_combo.m_sizeArrowFrame.cy, 14);
    m_combo.RedrawWindow();
    const CapturedImage image = CaptureClient(m_combo.m_hWnd);
    ASSERT_FALSE(image.IsEmpty());
    const int width = image.width;
    const int middle = image.height / 2;
    // The 24-pixel arrow zone, its arrow 19 pixels from the right edge.
    EXPECT_TRUE(SameColor(image.At(width - 23, 2), kArrowBack));
    EXPECT_TRUE(SameColor(image.At(width - 25, 2), kFace));
    bool arrowInk = false;
    for (int x = width - 19; x < width - 5; ++x) arrowInk = arrowInk || image.At(x, middle) != kArrowBack;
    EXPECT_TRUE(arrowInk) << "no arrow drawn";
    for (int x = 2; x < width - 30; ++x) ASSERT_TRUE(SameColor(image.At(x, middle), kFace)) << x;

    // Without a selection the cue stands in, in its own colour.
    m_combo.m_edit.m_strCue = L"Choose a language";
    m_combo.m_clrTextEmpty = RGB(0x64, 0x64, 0x64);
    m_combo.RedrawWindow();
    const CapturedImage cue = CaptureClient(m_combo.m_hWnd);
    bool cueInk = false;
    for (int x = 2; x < width - 30; ++x) cueInk = cueInk || cue.At(x, middle) != kFace;
    EXPECT_TRUE(cueInk) << "the cue text is not drawn";

    m_combo.AddString(L"English");
    m_combo.SetCurSel(0);
    m_combo.RedrawWindow();
    const CapturedImage selected = CaptureClient(m_combo.m_hWnd);
    bool textInk = false;
    for (int x = 2; x < width - 30; ++x) textInk = textInk || selected.At(x, middle) != kFace;
    EXPECT_TRUE(textInk) << "the selection's text is not drawn";
}

TEST_F(ComboBox, ListIsAsWideAsItsLongestItemAndAScrollBarPastThirty)
{
    m_combo.AddString(L"English");
    EXPECT_EQ(DroppedWidthAfterOpening(), 200) << "never narrower than the box";
    m_combo.AddString(L"A language name far longer than the combo box is wide");
    for (int i = 2; i < 30; ++i) m_combo.AddString(L"Deutsch");
    const int thirty = DroppedWidthAfterOpening();
    EXPECT_GT(thirty, 200);
    m_combo.AddString(L"Polski");
    EXPECT_EQ(DroppedWidthAfterOpening(), thirty + GetSystemMetrics(SM_CXVSCROLL));
}

TEST_F(ComboBox, ListNearTheScreenEdgeEndsAtTheEdge)
{
    m_combo.AddString(L"A language name far longer than the combo box is wide, and then some more");
    const int screenRight = GetSystemMetrics(SM_CXSCREEN);
    CRect dialog;
    m_dialog.GetWindowRect(&dialog);
    m_dialog.SetWindowPos(nullptr, screenRight - dialog.Width() + 10, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    PumpMessages(30);
    m_combo.ShowDropDown(TRUE);
    PumpMessages(60);
    CRect list;
    m_combo.m_pList->GetWindowRect(&list);
    EXPECT_TRUE(m_combo.m_pList->IsWindowVisible());
    EXPECT_GT(list.Width(), 200);
    EXPECT_LE(list.right, screenRight);
    m_combo.ShowDropDown(FALSE);
}

TEST_F(ComboBox, HoverStaysWhileTheListIsOpen)
{
    for (const wchar_t* item : {L"English", L"Deutsch", L"Polski"}) m_combo.AddString(item);
    m_combo.ShowDropDown(TRUE);
    PumpMessages(40);
    m_combo.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(10, 5));
    EXPECT_EQ(m_combo.m_bHover, 1);
    m_combo.SendMessage(WM_MOUSELEAVE);
    EXPECT_EQ(m_combo.m_bHover, 1) << "the open list keeps the hover look";
    m_combo.ShowDropDown(FALSE);
    PumpMessages(40);
    EXPECT_EQ(m_combo.m_bHover, 0);
    EXPECT_EQ(m_dialog.Received(WM_COMBO_MOUSEENTER), 1);
    EXPECT_EQ(m_dialog.Received(WM_COMBO_MOUSELEAVE), 1);
}

TEST_F(ComboBox, RightClickOnTheListTellsTheParentWhichItem)
{
    for (const wchar_t* item : {L"English", L"Deutsch", L"Polski"}) m_combo.AddString(item);
    m_combo.ShowDropDown(TRUE);
    PumpMessages(40);
    RECT second;
    ASSERT_NE(m_combo.m_pList->GetItemRect(1, &second), LB_ERR);
    m_combo.m_pList->SendMessage(WM_RBUTTONUP, 0, MAKELPARAM(second.left + 3, second.top + 2));
    PumpMessages(40);
    EXPECT_EQ(m_dialog.Received(WM_COMBO_ITEMRCLICK), 1);
}

TEST_F(ComboBox, ClickOnAReadOnlyBoxTogglesTheList)
{
    m_combo.AddString(L"English");
    m_combo.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 5));
    PumpMessages(40);
    EXPECT_TRUE(m_combo.GetDroppedState());
    m_combo.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 5));
    PumpMessages(40);
    EXPECT_FALSE(m_combo.GetDroppedState());
}

}  // namespace
