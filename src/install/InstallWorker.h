#pragma once
// The installation run: one background sequence that fetches the server
// manifest and asks the version decision, downloads every planned file,
// installs every planned item, records the installation and leaves exactly
// one end phase (Finished, Failed or Cancelled) in its InstallProgress.
//
// The progress page builds the plan on the UI thread, starts Run on an
// asynchronous task and, when the user confirms, calls Cancel. The cancel
// crosses threads through the two events (a transfer stops on the cancel
// event and holds still while the proceed event is reset) and through the
// two flags the sequence and the installer's message handler read.

#include <windows.h>

#include <atomic>
#include <future>
#include <string>
#include <vector>

#include "download/DownloadStatus.h"
#include "download/UniqueHandle.h"
#include "install/InstallPlan.h"
#include "install/InstallProgress.h"
#include "install/InstallerProgress.h"

// What failed, for the end of the run.
enum InstallErrorKind : int {
    InstallErrorNone = 0,
    InstallErrorDownload = 4,    // a download, or the server manifest, failed
    InstallErrorUserCancel = 5,  // Cancel pressed in one of the installer's boxes
};

class InstallWorker {
public:
    // The events are created here: cancel not signalled, proceed signalled.
    explicit InstallWorker(InstallProgress& progress = g_installProgress);
    // Waits for a running task.
    ~InstallWorker();
    InstallWorker(const InstallWorker&) = delete;
    InstallWorker& operator=(const InstallWorker&) = delete;

    // UI thread, once, before the task starts.
    void BuildPlan();
    // Starts Run on its own task and keeps the task's future.
    void Start();
    // The whole sequence; its outcome is the end phase it leaves.
    void Run();
    // UI thread, after the user confirmed the cancel.
    void Cancel();

    bool CheckServer();
    bool DownloadAll();
    bool DownloadItem(const std::wstring& url, const std::wstring& localPath, DownloadStatusFunction progress);
    bool InstallAll();

    InstallProgress& m_progress;
    std::vector<InstallPlanItem> m_plan;
    int m_nInstallIndex = -1;
    InstallerProgressState m_installerState;
    std::atomic<int> m_bCancelInstaller{0};
    std::wstring m_strCurrentPackage;
    KernelHandle m_hCancelEvent;
    KernelHandle m_hProceedEvent;
    std::atomic<int> m_bStop{0};
    std::wstring m_strHomePageUrlFound;
    // The INSTALLDIR the installer reported; used only when "/v" named one.
    std::wstring m_strInstallFolderFound;
    // Set when a package installed but asked for a restart (3010).
    int m_bRestartRequired = 0;
    int m_nErrorKind = InstallErrorNone;
    // Owner of the boxes the run raises about the installation; the page
    // sets it to the main installer window.
    HWND m_hMainWindow = nullptr;
    // Declared last so that it is waited for before anything else goes.
    std::future<void> m_task;

private:
    void ShowRunFailure();
    void AdoptInstallFolderFromProperties();
};
