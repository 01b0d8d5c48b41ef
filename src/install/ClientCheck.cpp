#include "config/ProductConfigurationWin.h"
#include "install/ClientCheck.h"

#include <windows.h>
#include <shlwapi.h>

#include "base/WinHandles.h"
#include "config/FileNameRules.h"
#include "config/ProductConfiguration.h"
#include "config/ProtectedFolder.h"
#include "config/RegistryKey.h"
#include "config/RunSettings.h"
#include "download/FileByteSink.h"
#include "download/HttpClient.h"
#include "download/TransferAttempts.h"
#include "download/TransferRules.h"
#include "install/ServerManifest.h"
#include "install/ServerManifestFetch.h"

using namespace korvex::config;
using namespace korvex::install;

using namespace korvex::download;

namespace {

constexpr int kNewClientFolderAttempts = 100;

// One attempt at the newer client: a 2xx answer with a body, written from
// the file's start (an earlier attempt's bytes go).
AttemptOutcome FetchClientOnce(const std::wstring& url, HANDLE hFile, std::uint64_t nDeadlineTick)
{
    const LARGE_INTEGER start{};
    if (!SetFilePointerEx(hFile, start, nullptr, FILE_BEGIN) || !SetEndOfFile(hFile)) {
        return AttemptOutcome{AttemptCause::LocalFile};
    }
    FileByteSink output(hFile);
    AttemptOutcome outcome =
        DownloadToStream(CancelRequest(), url, output, StreamLimits{kNewClientLimit, nDeadlineTick, true});
    if (outcome.Succeeded() && output.BytesWritten() == 0) {
        outcome.m_cause = AttemptCause::LengthUnusable;
    }
    return outcome;
}

// The validator's transfers are never cancelled.
bool DownloadClientInto(const std::wstring& url, HANDLE hFile)
{
    const std::uint64_t nDeadlineTick = GetTickCount64() + kNewClientDeadlineMs;
    const TransferAttempts attempts(CancelRequest(), url, g_productConfiguration.m_manifest.m_nDownloadAttempts,
                                    nDeadlineTick);
    return attempts.Run([&](int, bool) { return FetchClientOnce(url, hFile, nDeadlineTick); }).Succeeded();
}

// A folder of its own that did not exist before, so that nothing anyone put
// there beforehand is started; protected like the work folders when elevated.
std::wstring NewClientFolder()
{
    wchar_t temporaryFolder[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathW(MAX_PATH + 1, temporaryFolder);
    if (length == 0 || length > MAX_PATH) {
        return std::wstring();
    }
    const std::wstring stem =
        std::wstring(temporaryFolder) + L"KorvexWebInstaller_" + std::to_wstring(static_cast<int>(GetTickCount()));
    const ProtectedFolder folders(IsProcessElevated());
    for (int attempt = 0; attempt < kNewClientFolderAttempts; ++attempt) {
        const std::wstring folder = attempt == 0 ? stem : stem + L"_" + std::to_wstring(attempt);
        if (folders.CreateNew(folder)) {
            return folder;
        }
        if (GetLastError() != ERROR_ALREADY_EXISTS) {
            break;
        }
    }
    return std::wstring();
}

}  // namespace

int CheckClient()
{
    const ProductManifest& manifest = g_productConfiguration.m_manifest;
    if (manifest.m_bStandalone) {
        return EvaluateRelease();
    }
    // A failed transfer (cut short, or grown past its limit) may still have
    // stored a prefix that reads as a manifest: it counts as no answer.
    if (!FetchServerManifest(CancelRequest(), manifest.m_strVersionCheckUrl, MakeComponentPath(L"version.xml"))) {
        return CheckServerUnreachable;
    }
    return EvaluateRelease();
}

bool DownloadNewClient(std::wstring& newClientPath)
{
    const ProductManifest& manifest = g_productConfiguration.m_manifest;
    const std::wstring& url = g_runSettings.m_bProductInstalled ? manifest.m_patchInstall.m_strClientDownloadUrl
                                                                : manifest.m_freshInstall.m_strClientDownloadUrl;
    newClientPath.clear();
    if (url.empty()) {
        return false;
    }
    const std::wstring folder = NewClientFolder();
    if (folder.empty()) {
        return false;
    }
    newClientPath = folder + L"\\" + ToFileName(manifest.m_strFullName) + L".exe";
    bool bDownloaded = false;
    if (const FileHandle file(CreateFileW(newClientPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                                          FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
        file) {
        bDownloaded = DownloadClientInto(url, file.get());
    }
    if (!bDownloaded) {
        DeleteFileW(newClientPath.c_str());
        RemoveDirectoryW(folder.c_str());
        newClientPath.clear();
    }
    return bDownloaded;
}

std::wstring GetInstalledExecutablePath()
{
    const RegistryKey product(HKEY_LOCAL_MACHINE, g_productConfiguration.m_manifest.m_strRegistryKey);
    const std::unique_ptr<wchar_t[]> executable = product.QueryString(L"exe");
    if (!executable || executable[0] == L'\0' || !PathFileExistsW(executable.get())) {
        return std::wstring();
    }
    return executable.get();
}
