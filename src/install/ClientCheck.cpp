#include "install/ClientCheck.h"

#include <windows.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <filesystem>
#include <fstream>

#include "config/ProductConfiguration.h"
#include "config/RegistryKey.h"
#include "config/RunSettings.h"
#include "download/HttpClient.h"
#include "install/ServerManifest.h"

namespace {

// The validator's transfers are never cancelled.
bool DownloadToFilePath(const std::wstring& url, const std::wstring& path, DWORD* pnHttpStatus)
{
    std::ofstream output(std::filesystem::path(path), std::ios::binary | std::ios::trunc);
    if (!output) {
        return false;
    }
    const CancelRequest never;
    return DownloadToStream(never, url, output, pnHttpStatus);
}

std::wstring NewClientFolder()
{
    wchar_t temporaryFolder[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathW(MAX_PATH + 1, temporaryFolder);
    if (length == 0 || length > MAX_PATH) {
        return std::wstring();
    }
    const std::wstring folder =
        std::wstring(temporaryFolder) + L"KorvexWebInstaller_" + std::to_wstring(static_cast<int>(GetTickCount()));
    if (PathIsDirectoryW(folder.c_str()) || SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr) == ERROR_SUCCESS) {
        return folder;
    }
    return std::wstring();
}

std::uintmax_t FileSize(const std::wstring& path)
{
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(std::filesystem::path(path), error);
    return error ? 0 : size;
}

}  // namespace

int CheckClient()
{
    const ProductManifest& manifest = g_productConfiguration.m_manifest;
    if (manifest.m_bStandalone) {
        return EvaluateRelease();
    }
    const std::wstring path = MakeComponentPath(L"version.xml");
    // The transfer's own result does not matter: an unreadable file does.
    DownloadToFilePath(manifest.m_strVersionCheckUrl, path, nullptr);
    if (!ParseServerManifest(path)) {
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
    newClientPath = folder + L"\\" + manifest.m_strFullName + L".exe";
    DWORD nHttpStatus = 0;
    const bool bDownloaded = DownloadToFilePath(url, newClientPath, &nHttpStatus) && nHttpStatus >= 200 &&
                             nHttpStatus <= 299 && FileSize(newClientPath) > 0;
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
