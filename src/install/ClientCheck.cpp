#include "config/ProductConfigurationWin.h"
#include "install/ClientCheck.h"

#include <windows.h>
#include <shlwapi.h>

#include "base/WinHandles.h"
#include "config/FileNameRules.h"
#include "config/ProductConfiguration.h"
#include "config/ProtectedFolder.h"
#include "config/RunSettings.h"
#include "download/FileByteSink.h"
#include "download/HttpClient.h"
#include "download/TransferAttempts.h"
#include "download/TransferRules.h"
#include "install/ClientTrust.h"
#include "install/FileSignatureWin.h"
#include "install/Registration.h"
#include "install/ServerManifest.h"
#include "install/ServerManifestFetch.h"
#include "log/RunLog.h"

using namespace korvex::config;
using namespace korvex::install;

using namespace korvex::download;

namespace {

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
// there beforehand is started.
std::wstring NewClientFolder()
{
    return NewTemporaryFolder();
}

std::wstring RunningClientPath()
{
    wchar_t path[1024];
    const DWORD length = GetModuleFileNameW(nullptr, path, ARRAYSIZE(path));
    return length == 0 || length >= ARRAYSIZE(path) ? std::wstring() : std::wstring(path, length);
}

void DiscardNewClient(std::wstring& newClientPath)
{
    DeleteFileW(newClientPath.c_str());
    RemoveDirectoryW(newClientPath.substr(0, newClientPath.rfind(L'\\')).c_str());
    newClientPath.clear();
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
    const std::wstring executable = RecordedProductExecutable();
    if (executable.empty() || !PathFileExistsW(executable.c_str())) {
        return std::wstring();
    }
    return executable;
}

bool VerifyNewClient(std::wstring& newClientPath, FileHandle& heldClient)
{
    FileHandle client(CreateFileW(newClientPath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    const DWORD openError = client ? ERROR_SUCCESS : GetLastError();
    const FileSignature running = CheckFileSignature(RunningClientPath(), nullptr);
    FileSignature candidate;
    if (client) {
        candidate = CheckFileSignature(newClientPath, client.get());
    } else {
        candidate.m_nStatus = static_cast<std::uint32_t>(HRESULT_FROM_WIN32(openError));
    }
    const std::vector<std::wstring> accepted =
        AcceptedSigners(running, g_productConfiguration.m_manifest.m_clientSigners);
    // A client that cannot even be read here could not be started either.
    const ClientVerdict verdict = client ? JudgeNewClient(accepted, candidate) : ClientVerdict::Refuse;
    for (const std::wstring& line : DescribeClientTrust(running, accepted, candidate, verdict)) LogEvent(line);
    if (verdict == ClientVerdict::Refuse) {
        client.reset();
        DiscardNewClient(newClientPath);
        return false;
    }
    heldClient = std::move(client);
    return true;
}
