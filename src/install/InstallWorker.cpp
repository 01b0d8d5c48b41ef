#include "config/ProductConfigurationWin.h"
#include "config/UiStringsWin.h"
#include "install/InstallWorker.h"

#include <shlwapi.h>

#include <exception>
#include <utility>

#include "base/UserMessageBox.h"
#include "config/ProductConfiguration.h"
#include "config/RunSettings.h"
#include "config/UiStrings.h"
#include "download/CancelRequest.h"
#include "download/DownloadJob.h"
#include "download/VerifiedFile.h"
#include "install/DependencyCheck.h"
#include "install/DownloadPercent.h"
#include "install/InstallerProperties.h"
#include "install/PackageRunner.h"
#include "install/MessageText.h"
#include "install/Registration.h"
#include "install/RunEnd.h"
#include "install/ServerManifest.h"
#include "install/ServerManifestFetch.h"
#include "log/RunLog.h"

using namespace korvex::config;
using namespace korvex::install;

namespace {

class MachinePlanSources final : public IInstallPlanSources {
public:
    bool IsDependencyPresent(const std::wstring& name) override { return ::IsDependencyPresent(name); }
    std::wstring MakeComponentPath(const std::wstring& fileName) override { return ::MakeComponentPath(fileName); }
    std::wstring MakeProgramPath(const std::wstring& fileName) override { return ::MakeProgramPath(fileName); }
    std::wstring MakeLanguagePackPath(int languageId) override { return ::MakeLanguagePackPath(languageId); }
    std::vector<int> GetInstalledLanguagePacks() override { return ::GetInstalledLanguagePacks(); }
};

const wchar_t* StandaloneCheckText(FileCheck check)
{
    switch (check) {
        case FileCheck::Missing:
            return L"missing";
        case FileCheck::Refused:
            return L"not a plain file";
        case FileCheck::Mismatch:
            return L"its SHA-256 differs";
        case FileCheck::Verified:
            break;
    }
    return L"held";
}

// The version decision's refusals share one look.
void ShowReleaseRefusal(HWND hOwner, const std::wstring& text)
{
    UserMessageBox(hOwner, text.c_str(), L"Windows Installer", MB_OKCANCEL | MB_ICONERROR);
}

}  // namespace

InstallWorker::InstallWorker(InstallProgress& progress)
    : m_progress(progress),
      m_hCancelEvent(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
      m_hProceedEvent(CreateEventW(nullptr, TRUE, TRUE, nullptr))
{}

InstallWorker::~InstallWorker()
{
    if (m_task.joinable()) {
        m_task.join();
    }
}

void InstallWorker::BuildPlan()
{
    MachinePlanSources sources;
    InstallPlan plan = BuildInstallPlan(g_productConfiguration, g_runSettings, sources);
    m_plan = std::move(plan.m_items);
    m_progress.SetWeights(std::move(plan.m_downloadWeights), std::move(plan.m_installWeights));
}

void InstallWorker::Start()
{
    m_task = std::thread(&InstallWorker::Run, this);
}

void InstallWorker::Run()
{
    bool bInstalled = false;
    // Nothing may escape the task: the page waits for an end phase.
    try {
        bInstalled = CheckServer() && DownloadAll() && InstallAll();
    } catch (...) {
        bInstalled = false;
    }
    m_heldFiles.clear();
    m_transformArgument.Release();
    const RunEnd end = DecideRunEnd(
        RunEndFacts{bInstalled, m_progress.Phase() == InstallPhase::Cancelling, m_nErrorKind == InstallErrorDownload});
    try {
        if (end.m_bRegister) {
            AdoptInstallFolderFromProperties();
            RegisterInstallation();
            g_productConfiguration.m_strHomePageUrl = m_strHomePageUrlFound;
        }
        if (end.m_bShowConnectError) {
            const std::wstring text = LoadUiString(IDS_ERR_CONNECT_DOWNLOAD_SERVER);
            UserMessageBox(nullptr, text.c_str(), g_productConfiguration.m_manifest.m_strShortName.c_str(),
                           MB_ICONERROR);
        }
    } catch (...) {
        // The end phase still ends the run.
    }
    m_progress.End(end.m_phase);
    LogEvent(L"Installation ended: phase " + std::wstring(PhaseName(m_progress.Phase())) +
             (m_bRestartRequired ? L", restart required" : L""));
}

void InstallWorker::AdoptInstallFolderFromProperties()
{
    // The package may have gone elsewhere than the folder proposed ("/v"
    // named one, or the proposed one did not exist): registration and the
    // launch follow the package.
    if (!m_strInstallFolderFound.empty()) {
        g_productConfiguration.m_strInstallFolder = WithoutTrailingBackslash(m_strInstallFolderFound);
    }
}

void InstallWorker::Cancel()
{
    if (m_hCancelEvent && m_hProceedEvent) {
        m_progress.EnterCancelling();
        SetEvent(m_hCancelEvent.get());
        SetEvent(m_hProceedEvent.get());
    } else {
        m_progress.EnterCancelled();
    }
    m_bCancelInstaller = 1;
    m_bStop = 1;
}

void InstallWorker::HoldTransfers()
{
    ResetEvent(m_hProceedEvent.get());
}

void InstallWorker::ResumeTransfers()
{
    SetEvent(m_hProceedEvent.get());
}

bool InstallWorker::TransfersHeld() const
{
    return WaitForSingleObject(m_hProceedEvent.get(), 0) == WAIT_TIMEOUT;
}

bool InstallWorker::CheckServer()
{
    const ProductManifest& manifest = g_productConfiguration.m_manifest;
    if (!manifest.m_bStandalone && !manifest.m_strVersionCheckUrl.empty()) {
        const CancelRequest cancel(m_hCancelEvent.get(), m_hProceedEvent.get());
        if (!FetchServerManifest(cancel, manifest.m_strVersionCheckUrl, MakeComponentPath(L"version.xml"))) {
            m_nErrorKind = InstallErrorDownload;
            return false;
        }
    }
    const int verdict = EvaluateRelease();
    LogEvent(L"Server manifest verdict: " + std::wstring(ClientCheckResultName(verdict)));
    switch (verdict) {
        case CheckOk:
            return true;
        case CheckProductInstalled:
            ShowReleaseRefusal(m_hMainWindow,
                               FillMessageText(LoadUiString(IDS_ERR_INSTALLED_ALREADY), manifest.m_strShortName));
            return false;
        case CheckClientOutdated:
            ShowReleaseRefusal(m_hMainWindow, LoadUiString(IDS_ERR_CLIENT_TOO_OLD));
            return false;
        default:
            return false;
    }
}

bool InstallWorker::DownloadAll()
{
    std::int32_t nDownloaded = 0;
    m_heldFiles.resize(m_plan.size());
    for (std::size_t i = 0; i < m_plan.size(); ++i) {
        const InstallPlanItem& item = m_plan[i];
        if (m_bStop) {
            return false;
        }
        const bool bHeld = item.m_bDownload
                               ? DownloadItem(item.m_strUrl, item.m_strLocalPath, item.m_strSha256,
                                              MakeItemProgressFunction(m_progress, nDownloaded, item), &m_heldFiles[i])
                               : HoldStandaloneFile(item, m_heldFiles[i]);
        if (!bHeld) {
            m_nErrorKind = InstallErrorDownload;
            return false;
        }
        nDownloaded += item.m_bDownload;
    }
    return true;
}

bool InstallWorker::DownloadItem(const std::wstring& url, const std::wstring& localPath, const std::wstring& sha256,
                                 DownloadStatusFunction progress, FileHandle* pHeldFile)
{
    CDownloadJob job(url, localPath, sha256, g_productConfiguration.m_manifest.m_nDownloadAttempts);
    if (!job.Run(this, std::move(progress))) {
        return false;
    }
    if (pHeldFile != nullptr) {
        *pHeldFile = job.TakeDownloadedFile();
    }
    return true;
}

bool InstallWorker::HoldStandaloneFile(const InstallPlanItem& item, FileHandle& held)
{
    const FileCheck check = OpenVerifiedFile(item.m_strLocalPath, item.m_strSha256, held);
    LogEvent(L"Standalone file \"" + item.m_strLocalPath + L"\": " + StandaloneCheckText(check));
    return check == FileCheck::Verified;
}

bool InstallWorker::InstallAll()
{
    m_nInstallIndex = 0;
    m_heldFiles.resize(m_plan.size());
    for (std::size_t i = 0; i < m_plan.size(); ++i) {
        const InstallPlanItem& item = m_plan[i];
        // A transform installs nothing: a cancel after the last package has
        // nothing left to stop.
        if (m_bStop && !item.m_bTransform) {
            return false;
        }
        if (!PathFileExistsW(item.m_strLocalPath.c_str())) {
            continue;
        }
        m_progress.Set(InstallPhase::Installing, m_nInstallIndex, 0, item.m_strName);
        if (!InstallItem(i)) {
            return false;
        }
        m_progress.Set(InstallPhase::Installing, m_nInstallIndex, 100, item.m_strName);
        ++m_nInstallIndex;
    }
    return true;
}

bool InstallWorker::InstallItem(std::size_t index)
{
    const InstallPlanItem& item = m_plan[index];
    // The transform is applied through TRANSFORMS and held to the end.
    if (item.m_bTransform) {
        return true;
    }
    if (!item.m_bRunAsProcess) {
        const bool bInstalled = InstallPackage(*this, item);
        m_heldFiles[index].reset();
        return bInstalled;
    }
    // A prerequisite that could not be started does not stop the run.
    if (RunPackageProcess(item, m_hCancelEvent.get()) == PrerequisiteRun::LeftRunning) {
        // It may still read its file: held for as long as this worker lives.
        m_filesInUse.push_back(std::move(m_heldFiles[index]));
        return false;
    }
    m_heldFiles[index].reset();
    return true;
}
