#include "app/KorvexMasterInstallerApp.h"

#include <objbase.h>

#include "app/CommandLineSwitches.h"
#include "app/StartupSteps.h"
#include "config/ProductConfiguration.h"
#include "config/RunSettings.h"
#include "ui/Theme.h"
#include "wizard/InstallGuide.h"
#include "wizard/RunOutcome.h"

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
        korvex::wizard::RecordRunOutcome(korvex::wizard::RunOutcome::SecondInstance);
        return FALSE;
    }

    CWinApp::InitInstance();

    const SwitchTable switches = BuildSwitchTable(g_runSettings);
    WalkSwitches(switches, ReadCommandLineArguments(::GetCommandLineW()));

    SetRegistryKey(L"Local AppWizard-Generated Applications");

    if (!RegisterMainWindowClass()) return FALSE;

    InitThemePalette();
    CreateThemeFonts();
    LoadProductConfiguration();
    if (!g_runSettings.m_bSkipClientCheck && !RunValidator()) return FALSE;
    RunInstallGuide();
    return FALSE;
}

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

int CKorvexMasterInstallerApp::ExitInstance()
{
    DestroyThemeFonts();
    CloseInstanceSemaphore();
    if (m_clientValidator.m_outcome == RunNewClient) {
        LaunchDownloadedClient(m_clientValidator.m_newClientPath, HandOverParameters(g_runSettings), m_pszAppName);
    }
    CWinApp::ExitInstance();
    return korvex::wizard::ExitCodeOf(korvex::wizard::RecordedRunOutcome());
}
