#include <gtest/gtest.h>

#include "UiWindowTestSupport.h"
#include "ui/KorvexEdit.h"
#include "ui/Theme.h"

namespace {

constexpr COLORREF kRestBorder = RGB(0x49, 0x5A, 0x69);
constexpr COLORREF kFocusBorder = RGB(0x36, 0x8A, 0xD3);

class EditBox : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dialog.Open());
        ASSERT_TRUE(m_edit.SubclassDlgItem(IDC_UITEST_EDIT, &m_dialog));
        m_edit.SetWindowText(L"C:\\Program Files\\Fenwyx Pro");
        PumpMessages(30);
    }

    void Post(UINT message, WPARAM wParam, LPARAM lParam)
    {
        PostMessageW(m_edit.m_hWnd, message, wParam, lParam);
        PumpMessages(40);
    }

    std::pair<int, int> Selection()
    {
        int start = 0;
        int end = 0;
        m_edit.GetSel(start, end);
        return {start, end};
    }

    COLORREF LeftBorder() { return CaptureWindow(m_edit.m_hWnd).At(0, 5); }

    CString Text()
    {
        CString text;
        m_edit.GetWindowText(text);
        return text;
    }

    RecordingDialog m_dialog{IDD_UITEST_FIXED};
    CKorvexEdit m_edit;
};

TEST_F(EditBox, OwnBorderReplacesTheSystemOne)
{
    EXPECT_EQ(m_edit.GetExStyle() & WS_EX_CLIENTEDGE, 0u);
    EXPECT_EQ(m_edit.GetStyle() & WS_BORDER, 0u);
    EXPECT_TRUE(SameColor(LeftBorder(), kRestBorder));
}

TEST_F(EditBox, FirstClickSelectsAllSecondPlacesTheCaret)
{
    m_dialog.SetFocus();
    Post(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 5));
    Post(WM_LBUTTONUP, 0, MAKELPARAM(20, 5));
    const int length = m_edit.GetWindowTextLength();
    EXPECT_EQ(Selection(), std::make_pair(0, length));
    EXPECT_EQ(m_edit.m_bFocused, 1);
    EXPECT_EQ(m_edit.m_bTouched, 1);
    EXPECT_STREQ(m_edit.m_strAtClick, Text());
    EXPECT_TRUE(SameColor(LeftBorder(), kFocusBorder));

    Post(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 5));
    Post(WM_LBUTTONUP, 0, MAKELPARAM(20, 5));
    const std::pair<int, int> caret = Selection();
    EXPECT_EQ(caret.first, caret.second);
    EXPECT_EQ(GetCapture(), nullptr);

    // Losing the focus puts the resting border back.
    m_dialog.SetFocus();
    PumpMessages(40);
    EXPECT_EQ(m_edit.m_bFocused, 0);
    EXPECT_TRUE(SameColor(LeftBorder(), kRestBorder));
}

TEST_F(EditBox, ReadOnlyKeepsTheRestingBorderWhileFocused)
{
    m_edit.SetReadOnly(TRUE);
    Post(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 5));
    Post(WM_LBUTTONUP, 0, MAKELPARAM(20, 5));
    EXPECT_EQ(m_edit.m_bFocused, 1);
    EXPECT_TRUE(SameColor(LeftBorder(), kRestBorder));
}

int g_menusOpened = 0;

LRESULT CALLBACK WatchMenus(int code, WPARAM wParam, LPARAM lParam)
{
    const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && call->message == WM_INITMENUPOPUP) ++g_menusOpened;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Ends a menu that should not have opened, so the test fails instead of hanging.
void CALLBACK CloseStrayMenu(HWND, UINT, UINT_PTR, DWORD)
{
    EndMenu();
}

TEST_F(EditBox, RightClickSelectsWithoutAContextMenu)
{
    m_dialog.SetFocus();
    g_menusOpened = 0;
    HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, WatchMenus, nullptr, GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    const UINT_PTR timer = SetTimer(nullptr, 0, 500, CloseStrayMenu);
    Post(WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(20, 5));
    Post(WM_RBUTTONUP, 0, MAKELPARAM(20, 5));
    KillTimer(nullptr, timer);
    UnhookWindowsHookEx(hook);
    EXPECT_EQ(g_menusOpened, 0);
    EXPECT_EQ(Selection(), std::make_pair(0, m_edit.GetWindowTextLength()));
    EXPECT_EQ(m_edit.m_bFocused, 1);
}

TEST_F(EditBox, IntegerModeStepsWithinLimitsAndFiltersCharacters)
{
    m_edit.m_nMode = 0;
    m_edit.m_nMin = 0;
    m_edit.m_nMax = 10;
    m_edit.SetWindowText(L"10");
    m_edit.SetFocus();
    Post(WM_KEYDOWN, VK_UP, 0);
    EXPECT_STREQ(Text(), L"10");
    Post(WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_STREQ(Text(), L"9");
    m_edit.SetWindowText(L"0");
    Post(WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_STREQ(Text(), L"0");

    m_edit.SetWindowText(L"");
    for (wchar_t ch : {L'4', L'a', L'-', L'.', L'2'}) Post(WM_CHAR, ch, 0);
    EXPECT_STREQ(Text(), L"42");
    // Delete is swallowed in the numeric modes.
    m_edit.SetSel(0, 0);
    Post(WM_KEYDOWN, VK_DELETE, 0);
    EXPECT_STREQ(Text(), L"42");
    // Enter tells the parent.
    Post(WM_CHAR, VK_RETURN, 0);
    EXPECT_EQ(m_dialog.Received(WM_EDIT_ENTER), 1);
}

TEST_F(EditBox, DecimalModeGroupsOnLeavingAndSteps)
{
    m_edit.m_nMode = 1;
    m_edit.m_bUseMin = 0;
    m_edit.m_bUseMax = 0;
    m_edit.m_bGroupThousands = 1;
    m_edit.SetWindowText(L"12345.4");
    m_edit.SetFocus();
    Post(WM_KEYDOWN, VK_UP, 0);
    EXPECT_STREQ(Text(), L"12,345.5");
    Post(WM_KEYDOWN, VK_UP, 0);
    EXPECT_STREQ(Text(), L"12,345.6");
    m_edit.SetWindowText(L"1234567");
    m_dialog.SetFocus();
    PumpMessages(40);
    EXPECT_STREQ(Text(), L"1234,567");
}

TEST_F(EditBox, FreeTextTakesEveryCharacter)
{
    m_edit.m_nMode = 2;
    m_edit.SetWindowText(L"");
    m_edit.SetFocus();
    for (wchar_t ch : {L'D', L':', L'\\', L'x'}) Post(WM_CHAR, ch, 0);
    EXPECT_STREQ(Text(), L"D:\\x");
    Post(WM_CHAR, VK_RETURN, 0);
    EXPECT_EQ(m_dialog.Received(WM_EDIT_ENTER), 0);
}

}  // namespace
