#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "mfc/AfxWin.h"

namespace {

class CRecordingApp : public CWinApp {
public:
    explicit CRecordingApp(bool runLoop) : m_bRunLoop(runLoop) {}
    BOOL InitInstance() override
    {
        m_steps.push_back(L"init");
        m_bAppWhileInit = AfxGetApp() == this;
        if (!m_bRunLoop) return FALSE;
        ::PostQuitMessage(3);
        return TRUE;
    }
    int ExitInstance() override
    {
        m_steps.push_back(L"exit");
        int result = CWinApp::ExitInstance();
        return m_bRunLoop ? result : 5;
    }
    bool m_bRunLoop;
    bool m_bAppWhileInit = false;
    std::vector<std::wstring> m_steps;
};

}  // namespace

TEST(WinApp, InitInstanceFalseGoesStraightToExitInstance)
{
    CRecordingApp app(false);
    int exitCode = AfxWinMain(::GetModuleHandleW(nullptr), nullptr, const_cast<wchar_t*>(L"/x"), SW_SHOW);
    EXPECT_EQ(exitCode, 5);
    EXPECT_EQ(app.m_steps, (std::vector<std::wstring>{L"init", L"exit"}));
    EXPECT_TRUE(app.m_bAppWhileInit);
    EXPECT_STREQ(app.m_lpCmdLine, L"/x");
    EXPECT_STREQ(app.m_pszExeName, L"mfc_tests");
    EXPECT_STREQ(app.m_pszAppName, L"mfc_tests");
}

TEST(WinApp, RunPumpsUntilQuitThenExitsWithItsCode)
{
    CRecordingApp app(true);
    int exitCode = AfxWinMain(::GetModuleHandleW(nullptr), nullptr, nullptr, SW_SHOW);
    EXPECT_EQ(exitCode, 3);
    EXPECT_EQ(app.m_steps, (std::vector<std::wstring>{L"init", L"exit"}));
}

TEST(WinApp, OnlyALiveAppIsCurrent)
{
    {
        CWinApp app(L"Named");
        EXPECT_EQ(AfxGetApp(), &app);
        app.SetRegistryKey(L"Local AppWizard-Generated Applications");
        EXPECT_STREQ(app.m_pszRegistryKey, L"Local AppWizard-Generated Applications");
    }
    EXPECT_EQ(AfxGetApp(), nullptr);
    EXPECT_EQ(AfxGetMainWnd(), nullptr);
}
