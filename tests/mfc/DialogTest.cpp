#include <gtest/gtest.h>

#include "mfc/AfxWin.h"
#include "mfc/TestDialogs.h"

namespace {

// Ends the dialog it is started in if a test forgets to, so a failure
// cannot hang the run.
constexpr UINT_PTR kWatchdogTimer = 77;

class CTimedDialog : public CDialog {
public:
    explicit CTimedDialog(UINT templateId = IDD_TEST_DIALOG) : CDialog(templateId) {}
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        SetTimer(kWatchdogTimer, 5000);
        return TRUE;
    }
    void OnTimer(UINT_PTR id)
    {
        if (id == kWatchdogTimer) EndDialog(-2);
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CTimedDialog, CDialog)
    ON_WM_TIMER()
END_MESSAGE_MAP()

class CEndsAtOnce : public CTimedDialog {
public:
    BOOL OnInitDialog() override
    {
        CTimedDialog::OnInitDialog();
        m_bInitialised = m_hWnd != nullptr && ::IsWindow(m_hWnd);
        PostMessage(WM_APP);
        return TRUE;
    }
    LRESULT OnEnd(WPARAM, LPARAM)
    {
        EndDialog(42);
        return 0;
    }
    bool m_bInitialised = false;
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CEndsAtOnce, CTimedDialog)
    ON_MESSAGE(WM_APP, OnEnd)
END_MESSAGE_MAP()

}  // namespace

TEST(Dialog, RunsModallyFromTemplateUntilEndDialog)
{
    CEndsAtOnce dialog;
    EXPECT_EQ(dialog.DoModal(), 42);
    EXPECT_TRUE(dialog.m_bInitialised);
    EXPECT_EQ(dialog.m_hWnd, nullptr);
}
