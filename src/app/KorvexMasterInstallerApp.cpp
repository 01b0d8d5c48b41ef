#include "app/KorvexMasterInstallerApp.h"

#include "app/CommandLineSwitches.h"
#include "app/StartupSteps.h"
#include "base/ComInitialization.h"
#include "base/DecimalText.h"
#include "base/UserMessageBox.h"
#include "config/ConfigurationSummary.h"
#include "config/ProductConfiguration.h"
#include "config/ProductConfigurationWin.h"
#include "config/RunSettings.h"
#include "download/HttpClient.h"
#include "log/RunLog.h"
#include "ui/Direct2D.h"
#include "ui/Theme.h"
#include "wizard/InstallGuide.h"
#include "wizard/RunOutcome.h"

using korvex::base::DecimalText;

using namespace korvex::config;
using namespace korvex::wizard;

using namespace korvex::app;

BOOL CKorvexMasterInstallerApp::InitInstance()
{
    m_hInstanceSemaphore.reset(::CreateSemaphoreW(nullptr, 0, 1, kInstanceSemaphoreName));
    if (m_hInstanceSemaphore && ::GetLastError() == ERROR_ALREADY_EXISTS) {
        BringFirstInstanceForward();
        RecordRunOutcome(RunOutcome::SecondInstance);
        return FALSE;
    }

    CWinApp::InitInstance();

    const SwitchTable switches = BuildSwitchTable(g_runSettings);
    WalkSwitches(switches, ReadCommandLineArguments(::GetCommandLineW()));
    StartRunLog(g_runSettings, ::GetCommandLineW());
    // The wizard's first drawing, prepared while the manifest loads and the
    // client check runs; a silent run draws nothing.
    if (!g_runSettings.m_bSilent) StartDirect2DWarmUp();

    SetRegistryKey(L"Local AppWizard-Generated Applications");

    if (!RegisterMainWindowClass()) return FALSE;

    InitThemePalette();
    CreateThemeFonts();
    if (!LoadConfiguration()) return FALSE;
    if (!g_runSettings.m_bSkipClientCheck && !RunValidator()) return FALSE;
    RunInstallGuide();
    return FALSE;
}

bool CKorvexMasterInstallerApp::LoadConfiguration()
{
    ConfigurationFailure failure;
    if (LoadProductConfiguration(&failure) == kConfigurationLoaded) {
        for (const std::wstring& line : SummarizeConfiguration(g_productConfiguration)) LogEvent(line);
        return true;
    }
    // Without a manifest there is nothing to download into or install from.
    const std::wstring text = ConfigurationFailureText(failure);
    UserMessageBox(nullptr, text.c_str(), m_pszAppName, MB_ICONERROR);
    RecordRunOutcome(RunOutcome::Failed);
    return false;
}

bool CKorvexMasterInstallerApp::RunValidator()
{
    // Opened here, never at program load: a global's constructor would run
    // before the session's own and the DLL search limit.
    OpenInternetSession();
    m_clientValidator.m_newClientPath.clear();
    m_clientValidator.DoModal();
    // The task posted the close as its last step; nothing of it outlives the window.
    if (m_clientValidator.m_task.joinable()) m_clientValidator.m_task.join();
    return m_clientValidator.m_outcome == Proceed;
}

void CKorvexMasterInstallerApp::RunInstallGuide()
{
    const ComInitialization com;
    CInstallGuide guide;
    m_pMainWnd = &guide;
    guide.DoModal();
    m_pMainWnd = nullptr;
}

int CKorvexMasterInstallerApp::ExitInstance()
{
    DestroyThemeFonts();
    m_hInstanceSemaphore.reset();
    // A hand-over that starts nothing is a failed run, not a success.
    if (m_clientValidator.m_outcome == RunNewClient &&
        !LaunchDownloadedClient(m_clientValidator.m_newClientPath, HandOverParameters(g_runSettings), m_pszAppName)) {
        RecordRunOutcome(RunOutcome::Failed);
    }
    m_clientValidator.m_newClientFile.reset();
    // Every transfer has ended: the validator's task and the wizard's worker
    // are waited for before their windows go.
    CloseInternetSession();
    CWinApp::ExitInstance();
    const int exitCode = ExitCodeOf(RecordedRunOutcome());
    LogEvent(L"Run ended: exit code " + DecimalText(exitCode));
    return exitCode;
}
