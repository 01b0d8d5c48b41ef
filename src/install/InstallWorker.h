#pragma once
// The installation run: one background sequence that fetches the server
// manifest and asks the version decision, downloads every planned file,
// installs every planned item, records the installation and leaves exactly
// one end phase (Finished, Failed or Cancelled) in its InstallProgress.
//
// The progress page builds the plan on the UI thread, starts Run on an
// asynchronous task, holds the transfers while it asks the cancel question
// and, when the user confirms, calls Cancel. The cancel crosses threads
// through the worker's two events (a transfer and the wait on a prerequisite
// stop on the cancel event; a transfer holds still while the proceed event
// is reset) and through the two flags the sequence and the installer's
// message handler read. A run that installed every item ends Finished, also
// when the cancel came after its last package.

#include <windows.h>

#include <atomic>
#include <thread>
#include <string>
#include <vector>

#include "base/WinHandles.h"
#include "download/DownloadStatus.h"
#include "install/InstallPlan.h"
#include "install/InstallProgress.h"
#include "install/MsiProgressRecord.h"
#include "install/TransformArgument.h"

// What failed, for the end of the run.
enum InstallErrorKind : int {
    InstallErrorNone = 0,
    InstallErrorDownload = 4,    // a download, or the server manifest, failed
    InstallErrorUserCancel = 5,  // Cancel pressed in one of the installer's boxes
};

class InstallWorker {
public:
    // The events are created here: cancel not signalled, proceed signalled.
    explicit InstallWorker(korvex::install::InstallProgress& progress = korvex::install::g_installProgress);
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
    // UI thread: running transfers hold still until ResumeTransfers (or a
    // Cancel) lets them go on.
    void HoldTransfers();
    void ResumeTransfers();
    bool TransfersHeld() const;

    // Owner of the boxes the run raises about the installation (the main
    // installer window); set before Start.
    void SetOwnerWindow(HWND hOwner) { m_hMainWindow = hOwner; }
    HWND OwnerWindow() const { return m_hMainWindow; }
    // A package installed but asked for a restart (3010); final once the
    // phase is Finished.
    bool RestartRequired() const { return m_bRestartRequired.load() != 0; }
    bool HasStarted() const { return m_task.joinable(); }
    korvex::install::InstallProgress& Progress() { return m_progress; }

    bool CheckServer();
    bool DownloadAll();
    // pHeldFile, when given, receives the downloaded file kept open (no
    // writer, no deletion) for as long as the caller holds it.
    bool DownloadItem(const std::wstring& url, const std::wstring& localPath, const std::wstring& sha256,
                      DownloadStatusFunction progress, FileHandle* pHeldFile = nullptr);
    // A standalone item's own file, held and checked like a download; false
    // when it is missing, not a plain file or its SHA-256 differs.
    bool HoldStandaloneFile(const korvex::install::InstallPlanItem& item, FileHandle& held);
    bool InstallAll();

    std::vector<korvex::install::InstallPlanItem> m_plan;
    // One per plan item, open from the end of its download until its
    // installation ended (transforms until the run ends: every package uses it).
    std::vector<FileHandle> m_heldFiles;
    // The files of prerequisites a cancel left running, held while they may
    // still read them, until the worker goes.
    std::vector<FileHandle> m_filesInUse;
    // The chosen language's transform as TRANSFORMS names it, for the run.
    TransformArgument m_transformArgument;
    int m_nInstallIndex = -1;
    korvex::install::MsiProgressState m_installerState;
    std::atomic<int> m_bCancelInstaller{0};
    std::wstring m_strCurrentPackage;
    std::atomic<int> m_bStop{0};
    std::wstring m_strHomePageUrlFound;
    int m_nErrorKind = InstallErrorNone;

private:
    // The download job and the installer runner work on the worker's state.
    friend class CDownloadJob;
    friend bool InstallPackage(InstallWorker& worker, const korvex::install::InstallPlanItem& item);
    friend INT WINAPI OnInstallerMessage(LPVOID context, UINT messageType, LPCWSTR message);

    // False when the run must stop: the package failed, or a cancel left a
    // prerequisite running.
    bool InstallItem(std::size_t index);
    void AdoptInstallFolderFromProperties();

    korvex::install::InstallProgress& m_progress;
    KernelHandle m_hCancelEvent;
    KernelHandle m_hProceedEvent;
    // The INSTALLDIR the main package reported, where it really installed.
    std::wstring m_strInstallFolderFound;
    std::atomic<int> m_bRestartRequired{0};
    HWND m_hMainWindow = nullptr;
    // Declared last so that it is waited for before anything else goes.
    std::thread m_task;
};
