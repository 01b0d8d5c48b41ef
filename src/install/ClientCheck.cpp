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
#include "download/TransferRules.h"
#include "install/ClientTrust.h"
#include "install/FileSignatureWin.h"
#include "install/Registration.h"
#include "install/ServerManifest.h"
#include "log/RunLog.h"

using namespace korvex::config;
using namespace korvex::install;

using namespace korvex::download;

namespace {

// The validator's transfers are never cancelled. pnBytes, when given,
// receives the number of bytes stored.
bool DownloadIntoFile(const std::wstring& url, HANDLE file, std::uint64_t nLimit, DWORD* pnHttpStatus,
                      std::uint64_t* pnBytes = nullptr)
{
    FileByteSink output(file);
    const CancelRequest never;
    const bool bDownloaded = DownloadToStream(never, url, output, nLimit, pnHttpStatus);
    if (pnBytes != nullptr) {
        *pnBytes = output.BytesWritten();
    }
    return bDownloaded;
}

FileHandle CreateFileForWriting(const std::wstring& path, DWORD disposition)
{
    return FileHandle(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, disposition,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
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
    const std::wstring path = MakeComponentPath(L"version.xml");
    // A failed transfer (cut short, or grown past its limit) may still have
    // stored a prefix that reads as a manifest: it counts as no answer.
    bool bDownloaded = false;
    if (FileHandle file = CreateFileForWriting(path, CREATE_ALWAYS)) {
        bDownloaded = DownloadIntoFile(manifest.m_strVersionCheckUrl, file.get(), kServerManifestLimit, nullptr);
    }
    if (!bDownloaded || !ParseServerManifest(path)) {
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
    DWORD nHttpStatus = 0;
    std::uint64_t nBytes = 0;
    bool bDownloaded = false;
    if (FileHandle file = CreateFileForWriting(newClientPath, CREATE_NEW)) {
        bDownloaded = DownloadIntoFile(url, file.get(), kNewClientLimit, &nHttpStatus, &nBytes) && nHttpStatus >= 200 &&
                      nHttpStatus <= 299 && nBytes > 0;
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
