#include "EngineTestSupport.h"

#include <gtest/gtest.h>

#include <msi.h>
#include <shlobj.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "config/RunSettings.h"
#include "install/InstallerProperties.h"

using namespace korvex::config;
using namespace korvex::install;

namespace {

std::wstring Widen(const char* text)
{
    return std::wstring(text, text + std::strlen(text));
}

std::wstring ServerFolder()
{
    return Widen(INSTALL_TEST_SERVER_DIR);
}

void RemoveTree(const std::wstring& folder)
{
    std::error_code ignored;
    std::filesystem::remove_all(std::filesystem::path(folder), ignored);
}

}  // namespace

std::wstring PackagePath(const wchar_t* name)
{
    return Widen(INSTALL_TEST_PACKAGES) + L"\\" + name;
}

std::wstring RecordingProgramPath()
{
    return Widen(KORVEX_BINARY_DIR) + L"\\bin\\install_recording_program.exe";
}

std::wstring ServerUrl(const std::wstring& path)
{
    std::ifstream portFile(std::filesystem::path(ServerFolder() + L"\\http\\port"));
    int port = 0;
    portFile >> port;
    return L"http://127.0.0.1:" + std::to_wstring(port) + path;
}

void PublishFile(const std::wstring& name, const std::wstring& source)
{
    const std::filesystem::path target(ServerFolder() + L"\\root\\" + name);
    std::error_code ignored;
    std::filesystem::create_directories(target.parent_path(), ignored);
    CopyFileW(source.c_str(), target.wstring().c_str(), FALSE);
}

void PublishText(const std::wstring& name, const std::string& text)
{
    std::ofstream(std::filesystem::path(ServerFolder() + L"\\root\\" + name), std::ios::binary) << text;
}

std::vector<std::string> ReceivedPaths()
{
    std::ifstream log(std::filesystem::path(ServerFolder() + L"\\http\\requests.jsonl"));
    std::vector<std::string> paths;
    std::string line;
    const std::string key = "\"path\": \"";
    while (std::getline(log, line)) {
        const std::size_t start = line.find(key);
        if (start != std::string::npos) {
            const std::size_t end = line.find('"', start + key.size());
            paths.push_back(line.substr(start + key.size(), end - start - key.size()));
        }
    }
    return paths;
}

void ClearRequests()
{
    // The server appends; truncating in place keeps its handle valid.
    std::ofstream(std::filesystem::path(ServerFolder() + L"\\http\\requests.jsonl"), std::ios::trunc);
}

std::wstring ReadFileText(const std::wstring& path)
{
    std::ifstream file(std::filesystem::path(path), std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    const std::string bytes = text.str();
    return std::wstring(bytes.begin(), bytes.end());
}

bool FileExists(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring ReadRegistryString(HKEY root, const std::wstring& key, const wchar_t* value)
{
    wchar_t buffer[1024] = {};
    DWORD size = sizeof(buffer) - sizeof(wchar_t);
    if (RegGetValueW(root, key.c_str(), value, RRF_RT_REG_SZ, nullptr, buffer, &size) != ERROR_SUCCESS) {
        return L"<missing>";
    }
    return buffer;
}

long long ReadRegistryDword(HKEY root, const std::wstring& key, const wchar_t* value)
{
    DWORD data = 0;
    DWORD size = sizeof(data);
    if (RegGetValueW(root, key.c_str(), value, RRF_RT_REG_DWORD, nullptr, &data, &size) != ERROR_SUCCESS) {
        return -1;
    }
    return data;
}

void UninstallProduct(const wchar_t* productCode)
{
    if (!IsProductInstalled(productCode)) {
        return;
    }
    MsiSetExternalUIW(nullptr, 0, nullptr);
    MsiSetInternalUI(INSTALLUILEVEL_NONE, nullptr);
    MsiConfigureProductW(productCode, INSTALLLEVEL_DEFAULT, INSTALLSTATE_ABSENT);
}

bool IsProductInstalled(const wchar_t* productCode)
{
    return MsiQueryProductStateW(productCode) == INSTALLSTATE_DEFAULT;
}

EngineTestRun::EngineTestRun()
{
    wchar_t temporary[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, temporary);
    m_strBaseFolder = std::wstring(temporary) + L"korvex install engine\\";
    RemoveTree(m_strBaseFolder);
    for (const wchar_t* folder : {L"component", L"msi", L"transform", L"Fenwyx Pro"}) {
        SHCreateDirectoryExW(nullptr, (m_strBaseFolder + folder).c_str(), nullptr);
    }

    ProductConfiguration configuration;
    configuration.m_bLoaded = 1;
    configuration.m_strExeFolder = WithoutTrailingBackslash(m_strBaseFolder);
    configuration.m_strComponentFolder = m_strBaseFolder + L"component\\";
    configuration.m_strMsiFolder = m_strBaseFolder + L"msi\\";
    configuration.m_strTransformFolder = m_strBaseFolder + L"transform\\";
    configuration.m_strInstallFolder = InstallFolder();
    ProductManifest& manifest = configuration.m_manifest;
    manifest.m_strWebInstallerVersion = L"18.0.0.5";
    manifest.m_strProductCode = kProductCode;
    manifest.m_strPid = L"FNWXPRO-EN";
    manifest.m_strFullName = L"Fenwyx Pro Engine Test";
    manifest.m_strShortName = L"Fenwyx Pro";
    manifest.m_strRegistryKey = kTestRegistryKey;
    manifest.m_strStandaloneVersion = L"1.2.0.5";
    manifest.m_strVersionCheckUrl = ServerUrl(L"/version.xml");
    manifest.m_strMainComponentName = L"Product.msi";
    manifest.m_strMainComponentUrl = ServerUrl(L"/Product.msi");
    manifest.m_strMainComponentExecutable = L"bin\\Product.exe";
    g_productConfiguration = configuration;
    g_runSettings = RunSettings();

    PublishFile(L"Product.msi", PackagePath(L"Product.msi"));
    PublishFile(L"LanguagePack.msi", PackagePath(L"LanguagePack.msi"));
    PublishFile(L"Failing.msi", PackagePath(L"Failing.msi"));
    PublishFile(L"prerequisite.exe", RecordingProgramPath());
    PublishText(L"version.xml", ServerManifestText("1.2.0.5"));
}

EngineTestRun::~EngineTestRun()
{
    UninstallProduct(kProductCode);
    UninstallProduct(kLanguagePackCode);
    UninstallProduct(kFailingCode);
    RegDeleteKeyValueW(HKEY_CURRENT_USER, kResourceLanguageKey, (InstallFolder() + L"\\bin\\Tessulo2.exe").c_str());
    RemoveTree(m_strBaseFolder);
    g_productConfiguration = ProductConfiguration();
    g_runSettings = RunSettings();
}

std::wstring EngineTestRun::InstallFolder() const
{
    return m_strBaseFolder + L"Fenwyx Pro";
}

std::string ServerManifestText(const std::string& patchProductVersion)
{
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<korvexwebinstaller>\n"
           "  <product_code>{6C1B4A52-0E3A-4B8E-9D51-2F0A6E1D7C11}</product_code>\n"
           "  <fresh_install><product_version>1.2.0.5</product_version>"
           "<min_web_installer_version>18.0.0.1</min_web_installer_version>"
           "<web_installer_download_url>/client.exe</web_installer_download_url></fresh_install>\n"
           "  <patch_install><product_version>" +
           patchProductVersion +
           "</product_version><min_web_installer_version>18.0.0.1</min_web_installer_version>"
           "<web_installer_download_url>/client.exe</web_installer_download_url></patch_install>\n"
           "</korvexwebinstaller>\n";
}
