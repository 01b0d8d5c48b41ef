#pragma once
// The application object: single-instance guard, command line into the run
// settings (g_runSettings), window class, theme and product configuration,
// then the windows. It never runs a message loop of its own: InitInstance
// always returns FALSE and the framework goes straight to ExitInstance.

#include "base/WinHandles.h"
#include "mfc/AfxWin.h"
#include "wizard/ClientValidator.h"

class CKorvexMasterInstallerApp : public CWinApp {
public:
    CKorvexMasterInstallerApp() = default;

    BOOL InitInstance() override;
    int ExitInstance() override;

    // The named single-instance semaphore; owned here, closed at exit.
    KernelHandle m_hInstanceSemaphore;
    // Lives with the application, so its verdict and the downloaded client's
    // path are still there at exit.
    CClientValidator m_clientValidator;

private:
    // Loads the product configuration; false, after telling the user why,
    // when it cannot be used.
    bool LoadConfiguration();
    // Start-up steps 10 and 11: false when the validator stopped the run.
    bool RunValidator();
    void RunInstallGuide();
};
