#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "mfc/AfxWin.h"
#include "mfc/TestDialogs.h"

namespace {

constexpr UINT_PTR kWatchdogTimer = 77;
constexpr UINT WM_TEST_END = WM_APP + 1;
constexpr int kWatchdogResult = -2;

// A template dialog that ends with kWatchdogResult if a test forgets to end
// it, and with the WPARAM of WM_TEST_END otherwise.
class CTestDialog : public CDialog {
public:
    explicit CTestDialog(UINT templateId = IDD_TEST_DIALOG) : CDialog(templateId) {}
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        SetTimer(kWatchdogTimer, 5000);
        return TRUE;
    }
    void OnTimer(UINT_PTR id)
    {
        if (id == kWatchdogTimer) EndDialog(kWatchdogResult);
    }
    LRESULT OnTestEnd(WPARAM wParam, LPARAM)
    {
        EndDialog(static_cast<int>(wParam));
        return 0;
    }
    void PostEnd(int result) { PostMessage(WM_TEST_END, static_cast<WPARAM>(result)); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CTestDialog, CDialog)
ON_WM_TIMER()
ON_MESSAGE(WM_TEST_END, OnTestEnd)
END_MESSAGE_MAP()

class CEndsAtOnce : public CTestDialog {
public:
    BOOL OnInitDialog() override
    {
        CTestDialog::OnInitDialog();
        m_bInitialised = ::IsWindow(m_hWnd) != FALSE;
        PostEnd(42);
        return TRUE;
    }
    bool m_bInitialised = false;
};

// Records which windows' PreTranslateMessage saw which messages, in order.
std::vector<std::pair<std::wstring, UINT>> g_seen;

class CRecordingEdit : public CEdit {
public:
    BOOL PreTranslateMessage(MSG* msg) override
    {
        if (msg->message == WM_KEYDOWN || msg->message == WM_LBUTTONDOWN) g_seen.push_back({L"edit", msg->message});
        return m_bSwallowEscape && msg->message == WM_KEYDOWN && msg->wParam == VK_ESCAPE;
    }
    bool m_bSwallowEscape = false;
};

class CPreTranslateDialog : public CTestDialog {
public:
    void DoDataExchange(CDataExchange* dx) override { DDX_Control(dx, IDC_TEST_EDIT, m_edit); }
    BOOL PreTranslateMessage(MSG* msg) override
    {
        if (msg->message == WM_KEYDOWN || msg->message == WM_LBUTTONDOWN) g_seen.push_back({L"dialog", msg->message});
        return CTestDialog::PreTranslateMessage(msg);
    }
    CRecordingEdit m_edit;
};

class CInputThenEnd : public CPreTranslateDialog {
public:
    BOOL OnInitDialog() override
    {
        CPreTranslateDialog::OnInitDialog();
        m_edit.PostMessage(WM_KEYDOWN, 'A', 1);
        m_edit.PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
        m_edit.PostMessage(WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
        PostEnd(7);
        return TRUE;
    }
};

class CEscapeInEdit : public CPreTranslateDialog {
public:
    BOOL OnInitDialog() override
    {
        CPreTranslateDialog::OnInitDialog();
        m_edit.PostMessage(WM_KEYDOWN, VK_ESCAPE, 1);
        PostEnd(7);
        return TRUE;
    }
};

}  // namespace

TEST(Dialog, RunsModallyFromTemplateUntilEndDialog)
{
    CEndsAtOnce dialog;
    EXPECT_EQ(dialog.DoModal(), 42);
    EXPECT_TRUE(dialog.m_bInitialised);
    EXPECT_EQ(dialog.m_hWnd, nullptr);
}

TEST(Dialog, MissingTemplateFailsWithoutWindow)
{
    CDialog dialog(65000);
    EXPECT_EQ(dialog.DoModal(), -1);
    EXPECT_EQ(dialog.m_hWnd, nullptr);
}

TEST(Dialog, PreTranslateSeesInputInLoopControlBeforeDialog)
{
    g_seen.clear();
    CInputThenEnd dialog;
    ASSERT_EQ(dialog.DoModal(), 7);
    std::vector<std::pair<std::wstring, UINT>> expected = {
        {L"edit", WM_KEYDOWN}, {L"dialog", WM_KEYDOWN}, {L"edit", WM_LBUTTONDOWN}, {L"dialog", WM_LBUTTONDOWN}};
    EXPECT_EQ(g_seen, expected);
}

TEST(Dialog, IsDialogMessageRunsAfterControlsPreTranslate)
{
    // Escape in the edit reaches IsDialogMessage: the dialog cancels.
    g_seen.clear();
    CEscapeInEdit cancelled;
    EXPECT_EQ(cancelled.DoModal(), IDCANCEL);

    // A control that swallows Escape in PreTranslateMessage keeps it from there.
    CEscapeInEdit kept;
    kept.m_edit.m_bSwallowEscape = true;
    EXPECT_EQ(kept.DoModal(), 7);
}

namespace {

class CPage : public CDialog {
public:
    void OnOK() override { ++m_nOk; }
    void OnCancel() override { ++m_nCancel; }
    int m_nOk = 0;
    int m_nCancel = 0;
};

class CWithPage : public CTestDialog {
public:
    BOOL OnInitDialog() override
    {
        CTestDialog::OnInitDialog();
        m_bPageCreated = m_page.Create(IDD_TEST_PAGE, this) != FALSE;
        HWND pageEdit = ::GetDlgItem(m_page.m_hWnd, IDC_PAGE_EDIT);
        ::PostMessageW(pageEdit, WM_KEYDOWN, VK_ESCAPE, 1);
        ::PostMessageW(pageEdit, WM_KEYDOWN, VK_RETURN, 1);
        PostEnd(9);
        return TRUE;
    }
    void OnCancel() override { ++m_nOwnCancel; }
    CPage m_page;
    bool m_bPageCreated = false;
    int m_nOwnCancel = 0;
};

}  // namespace

TEST(Dialog, ChildPageHandlesItsOwnDialogKeys)
{
    CWithPage dialog;
    EXPECT_EQ(dialog.DoModal(), 9);
    EXPECT_TRUE(dialog.m_bPageCreated);
    EXPECT_EQ(dialog.m_page.m_nCancel, 1);
    EXPECT_EQ(dialog.m_page.m_nOk, 1);
    EXPECT_EQ(dialog.m_nOwnCancel, 0);
    EXPECT_EQ(dialog.m_page.m_hWnd, nullptr);  // destroyed with its parent
}

namespace {

constexpr UINT_PTR kLookTimer = 5;

// Looks at its own visibility once the loop has idled, then ends.
class CVisibilityProbe : public CTestDialog {
public:
    explicit CVisibilityProbe(bool hideInInit) : m_bHideInInit(hideInInit) {}
    BOOL OnInitDialog() override
    {
        CTestDialog::OnInitDialog();
        if (m_bHideInInit) ShowWindow(SW_HIDE);
        SetTimer(kLookTimer, 300);
        return TRUE;
    }
    void OnTimer(UINT_PTR id)
    {
        if (id != kLookTimer) return CTestDialog::OnTimer(id);
        KillTimer(kLookTimer);
        m_bWasVisible = IsWindowVisible() != FALSE;
        EndDialog(1);
    }
    bool m_bHideInInit;
    bool m_bWasVisible = false;
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CVisibilityProbe, CTestDialog)
ON_WM_TIMER()
END_MESSAGE_MAP()

}  // namespace

TEST(Dialog, LoopShowsTheDialogUnlessItHidItself)
{
    CVisibilityProbe shown(false);
    ASSERT_EQ(shown.DoModal(), 1);
    EXPECT_TRUE(shown.m_bWasVisible);

    CVisibilityProbe hidden(true);
    ASSERT_EQ(hidden.DoModal(), 1);
    EXPECT_FALSE(hidden.m_bWasVisible);
}

namespace {

class CDestroysItself : public CTestDialog {
public:
    BOOL OnInitDialog() override
    {
        CTestDialog::OnInitDialog();
        PostMessage(WM_APP + 7);
        return TRUE;
    }
    LRESULT OnDestroyRequest(WPARAM, LPARAM)
    {
        DestroyWindow();
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CDestroysItself, CTestDialog)
ON_MESSAGE(WM_APP + 7, OnDestroyRequest)
END_MESSAGE_MAP()

class CClosesByDefault : public CTestDialog {
public:
    BOOL OnInitDialog() override
    {
        CTestDialog::OnInitDialog();
        PostMessage(WM_CLOSE);
        return TRUE;
    }
};

}  // namespace

TEST(Dialog, DestroyingTheWindowEndsTheLoop)
{
    CDestroysItself dialog;
    EXPECT_EQ(dialog.DoModal(), -1);
    EXPECT_EQ(dialog.m_hWnd, nullptr);
}

TEST(Dialog, CloseEndsThroughOnCancel)
{
    CClosesByDefault dialog;
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
}

TEST(Dialog, OwnerIsDisabledWhileModalAndEnabledAfter)
{
    class COwned : public CTestDialog {
    public:
        explicit COwned(CWnd* owner) : m_owner(owner) { m_pParentWnd = owner; }
        BOOL OnInitDialog() override
        {
            CTestDialog::OnInitDialog();
            m_bOwnerEnabledInside = m_owner->IsWindowEnabled() != FALSE;
            PostEnd(3);
            return TRUE;
        }
        CWnd* m_owner;
        bool m_bOwnerEnabledInside = true;
    };
    CWnd owner;
    ASSERT_TRUE(owner.CreateEx(0, AfxRegisterWndClass(0), L"owner", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr));
    COwned dialog(&owner);
    EXPECT_EQ(dialog.DoModal(), 3);
    EXPECT_FALSE(dialog.m_bOwnerEnabledInside);
    EXPECT_TRUE(owner.IsWindowEnabled());
}
