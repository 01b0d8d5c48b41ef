#include "install/Registration.h"

#include <windows.h>

#include <string>

#include "base/DecimalText.h"
#include "config/ProductConfiguration.h"
#include "config/RegistryKey.h"
#include "config/RunSettings.h"
#include "install/InstallerProperties.h"
#include "install/ProductLocation.h"
#include "log/RunLog.h"

using korvex::base::DecimalText;

using namespace korvex::config;
using namespace korvex::install;

namespace {

void SetDword(const RegistryKey& key, const wchar_t* valueName, int value)
{
    if (key.WriteHandle() == nullptr) {
        return;
    }
    const DWORD data = static_cast<DWORD>(value);
    RegSetValueExW(key.WriteHandle(), valueName, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof(data));
}

void LogValue(const std::wstring& key, const std::wstring& name, const std::wstring& data)
{
    LogEvent(L"Registry " + key + L": " + name + L" = \"" + data + L"\"");
}

}  // namespace

bool RegisterInstallation()
{
    ProductConfiguration& configuration = g_productConfiguration;
    if (g_runSettings.m_bProductInstalled) {
        LogEvent(L"Registry: an update records nothing");
        return true;
    }
    configuration.m_strInstallFolder = WithoutTrailingBackslash(configuration.m_strInstallFolder);
    const std::wstring executable =
        ExecutableInFolder(configuration.m_strInstallFolder, configuration.m_manifest.m_strMainComponentExecutable);
    const std::size_t lastBackslash = executable.rfind(L'\\');
    const bool bHasFolder = lastBackslash != std::wstring::npos && lastBackslash > 0;
    const std::wstring executableFolder = bHasFolder ? executable.substr(0, lastBackslash + 1) : std::wstring();
    const std::wstring& registryKey = configuration.m_manifest.m_strRegistryKey;

    if (bHasFolder) {
        RegistryKey product(HKEY_LOCAL_MACHINE, registryKey);
        product.SetString(L"InstallDir", executableFolder);
        product.SetString(L"exe", executable);
        LogValue(L"HKLM\\" + registryKey, L"InstallDir", executableFolder);
        LogValue(L"HKLM\\" + registryKey, L"exe", executable);
    }
    const int languageId = configuration.m_nLanguageId;
    if (configuration.m_bLanguageChoice && languageId != 1033) {
        const RegistryKey languagePacks(HKEY_LOCAL_MACHINE, registryKey + L"\\LanguagePacks");
        SetDword(languagePacks, L"InitialLangID", languageId);
        const RegistryKey userProduct(HKEY_CURRENT_USER, registryKey);
        SetDword(userProduct, L"ApplicationLanguage", languageId);
        LogValue(L"HKLM\\" + registryKey + L"\\LanguagePacks", L"InitialLangID", DecimalText(languageId));
        LogValue(L"HKCU\\" + registryKey, L"ApplicationLanguage", DecimalText(languageId));
        if (bHasFolder) {
            RegistryKey resourceLanguages(HKEY_CURRENT_USER, L"SOFTWARE\\Korvex Systems\\ResourceLangID\\");
            resourceLanguages.SetString((executableFolder + L"Tessulo2.exe").c_str(), DecimalText(languageId));
            LogValue(L"HKCU\\SOFTWARE\\Korvex Systems\\ResourceLangID", executableFolder + L"Tessulo2.exe",
                     DecimalText(languageId));
        }
    }
    return true;
}

std::wstring RecordedProductExecutable()
{
    const ProductManifest& manifest = g_productConfiguration.m_manifest;
    const RegistryKey product(HKEY_LOCAL_MACHINE, manifest.m_strRegistryKey);
    const std::unique_ptr<wchar_t[]> exe = product.QueryString(L"exe");
    const std::unique_ptr<wchar_t[]> installDir = product.QueryString(L"InstallDir");
    return RecordedExecutable(exe ? exe.get() : L"", installDir ? installDir.get() : L"",
                              manifest.m_strMainComponentExecutable);
}

std::wstring InstalledProductExecutable()
{
    const ProductConfiguration& configuration = g_productConfiguration;
    if (g_runSettings.m_bProductInstalled) {
        if (std::wstring recorded = RecordedProductExecutable(); !recorded.empty()) {
            return recorded;
        }
    }
    return ExecutableInFolder(configuration.m_strInstallFolder, configuration.m_manifest.m_strMainComponentExecutable);
}
