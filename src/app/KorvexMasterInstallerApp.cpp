#include "app/KorvexMasterInstallerApp.h"

#include "app/CommandLineSwitches.h"
#include "app/RunSettings.h"
#include "app/StartupSteps.h"

#ifdef KORVEX_WITH_THEME
#include "ui/Theme.h"
#endif
#ifdef KORVEX_WITH_CONFIGURATION
#include "config/ProductConfiguration.h"
#endif
#ifdef KORVEX_WITH_WIZARD
#include <objbase.h>

#include "wizard/InstallGuide.h"
#include "wizard/RunOutcome.h"
#endif

CKorvexMasterInstallerApp::~CKorvexMasterInstallerApp()
{
    CloseInstanceSemaphore();
}

void CKorvexMasterInstallerApp::CloseInstanceSemaphore()
{
    UniqueKernelHandle semaphore(m_hInstanceSemaphore);
    m_hInstanceSemaphore = nullptr;
}

BOOL CKorvexMasterInstallerApp::InitInstance()
{
    m_hInstanceSemaphore = ::CreateSemaphoreW(nullptr, 0, 1, kInstanceSemaphoreName);
    if (m_hInstanceSemaphore && ::GetLastError() == ERROR_ALREADY_EXISTS) {
        BringFirstInstanceForward();
#ifdef KORVEX_WITH_WIZARD
        korvex::wizard::RecordRunOutcome(korvex::wizard::RunOutcome::SecondInstance);
#endif
        return FALSE;
    }

    CWinApp::InitInstance();

    const SwitchTable switches = BuildSwitchTable(g_runSettings);
    WalkSwitches(switches, ReadCommandLineArguments(::GetCommandLineW()));

    SetRegistryKey(L"Local AppWizard-Generated Applications");

    if (!RegisterMainWindowClass()) return FALSE;

#ifdef KORVEX_WITH_THEME
    InitThemePalette();
    CreateThemeFonts();
#endif
#ifdef KORVEX_WITH_CONFIGURATION
    LoadProductConfiguration();
#endif
#ifdef KORVEX_WITH_WIZARD
    if (!g_runSettings.m_bSkipClientCheck && !RunValidator()) return FALSE;
    RunInstallGuide();
#endif
    return FALSE;
}

#ifdef KORVEX_WITH_WIZARD
bool CKorvexMasterInstallerApp::RunValidator()
{
    m_clientValidator.m_newClientPath.clear();
    m_clientValidator.DoModal();
    return m_clientValidator.m_outcome == Proceed;
}

void CKorvexMasterInstallerApp::RunInstallGuide()
{
    const HRESULT com = ::CoInitialize(nullptr);
    {
        CInstallGuide guide;
        m_pMainWnd = &guide;
        guide.DoModal();
        m_pMainWnd = nullptr;
    }
    if (SUCCEEDED(com)) ::CoUninitialize();
}
#endif

int CKorvexMasterInstallerApp::ExitInstance()
{
#ifdef KORVEX_WITH_THEME
    DestroyThemeFonts();
#endif
    CloseInstanceSemaphore();
#ifdef KORVEX_WITH_WIZARD
    if (m_clientValidator.m_outcome == RunNewClient) {
        LaunchDownloadedClient(m_clientValidator.m_newClientPath, m_pszAppName);
    }
    CWinApp::ExitInstance();
    return korvex::wizard::ExitCodeOf(korvex::wizard::RecordedRunOutcome());
#else
    return CWinApp::ExitInstance();
#endif
}
