#pragma once
// The application object: single-instance guard, command line into the run
// settings (g_runSettings), window class, theme and product configuration,
// then the windows. It never runs a message loop of its own: InitInstance
// always returns FALSE and the framework goes straight to ExitInstance.

#include "mfc/AfxWin.h"

class CKorvexMasterInstallerApp : public CWinApp {
public:
    CKorvexMasterInstallerApp() = default;
    ~CKorvexMasterInstallerApp() override;

    BOOL InitInstance() override;
    int ExitInstance() override;

    // The named single-instance semaphore; owned here, closed at exit.
    HANDLE m_hInstanceSemaphore = nullptr;

private:
    void CloseInstanceSemaphore();
};
