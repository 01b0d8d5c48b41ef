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

CKorvexMasterInstallerApp::~CKorvexMasterInstallerApp() { CloseInstanceSemaphore(); }

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
    return FALSE;
}

int CKorvexMasterInstallerApp::ExitInstance()
{
#ifdef KORVEX_WITH_THEME
    DestroyThemeFonts();
#endif
    CloseInstanceSemaphore();
    return CWinApp::ExitInstance();
}
