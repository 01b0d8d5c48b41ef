#include "config/ProductConfigurationWin.h"

#include <windows.h>

#include "base/DecimalText.h"
#include "config/DecimalText.h"
#include "config/EmbeddedFileNames.h"
#include "config/EmbeddedFilesWin.h"
#include "config/InstalledProduct.h"
#include "config/LanguageList.h"
#include "config/LanguageListWin.h"
#include "config/ManifestReader.h"
#include "config/ProductConfiguration.h"
#include "config/ProtectedFolder.h"
#include "config/RegistryKey.h"
#include "config/RunSettings.h"
#include "config/Table.h"
#include "log/RunLog.h"

using korvex::base::DecimalText;

using namespace korvex::config;

namespace {

constexpr wchar_t kReplacementManifestKey[] = L"SOFTWARE\\Korvex Systems\\Fenwyx Professional\\180";
constexpr int kEnglish = 1033;

bool IsFolder(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsFile(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// A registry replacement for the manifest applies to packages that are not
// standalone. Returns false when the named file exists but cannot be read.
bool ApplyReplacementManifest(ProductConfiguration& configuration)
{
    RegistryKey key(HKEY_CURRENT_USER, kReplacementManifestKey);
    const std::unique_ptr<wchar_t[]> path = key.QueryString(L"WebInstallerManifest");
    if (!path || path[0] == L'\0' || !IsFile(path.get())) {
        return true;
    }
    configuration.m_strManifestPath = path.get();
    ProductManifest replacement;
    if (!ReadManifest(configuration.m_strManifestPath, replacement)) {
        return false;
    }
    configuration.m_manifest = std::move(replacement);
    return true;
}

// The manifest beside the executable when that file exists, else the one
// the executable carries; m_strManifestPath then names the executable.
bool ReadOwnManifest(ProductConfiguration& configuration, const std::wstring& executablePath, ProductManifest& manifest)
{
    std::string_view embedded;
    if (IsFile(configuration.m_strManifestPath) || !FindEmbeddedFile(kEmbeddedManifestName, embedded)) {
        return ReadManifest(configuration.m_strManifestPath, manifest);
    }
    configuration.m_strManifestPath = executablePath;
    return ReadManifestBytes(embedded, manifest);
}

int InitialLanguageOfInstallation(const std::wstring& registryKey)
{
    RegistryKey key(HKEY_LOCAL_MACHINE, registryKey + L"\\LanguagePacks");
    DWORD value = 0;
    DWORD size = sizeof(value);
    if (!key.ReadHandle() || RegGetValueW(key.ReadHandle(), nullptr, L"InitialLangID", RRF_RT_REG_DWORD, nullptr,
                                          &value, &size) != ERROR_SUCCESS) {
        return kEnglish;
    }
    return static_cast<int>(value);
}

// Empty when the work folders are ready, else the one that cannot be used.
// A work folder that is a reparse point is refused before anything touches
// it: a junction there would send downloads anywhere on the machine.
std::wstring PrepareWorkFolders(ProductConfiguration& configuration)
{
    configuration.m_strComponentFolder = configuration.m_strExeFolder + L"\\component\\";
    configuration.m_strMsiFolder = configuration.m_strExeFolder + L"\\msi\\";
    configuration.m_strTransformFolder = configuration.m_strExeFolder + L"\\transform\\";
    for (const std::wstring* folder :
         {&configuration.m_strComponentFolder, &configuration.m_strMsiFolder, &configuration.m_strTransformFolder}) {
        if (ProtectedFolder::IsReparsePoint(*folder)) {
            return *folder;
        }
    }
    const ProtectedFolder folders(IsProcessElevated());
    if (!configuration.m_manifest.m_bStandalone) {
        // Only an empty folder goes: downloads from an earlier run are kept.
        if (IsFolder(configuration.m_strComponentFolder)) {
            RemoveDirectoryW(configuration.m_strComponentFolder.c_str());
        }
        if (!folders.Ensure(configuration.m_strComponentFolder)) {
            return configuration.m_strComponentFolder;
        }
    }
    for (const std::wstring* folder : {&configuration.m_strMsiFolder, &configuration.m_strTransformFolder}) {
        if (!folders.Ensure(*folder)) {
            return *folder;
        }
    }
    return std::wstring();
}

// The first required value the manifest lacks.
ConfigurationFault MissingRequiredValue(const ProductManifest& manifest)
{
    if (manifest.m_strPid.empty()) {
        return ConfigurationFault::PidMissing;
    }
    if (manifest.m_strRegistryKey.empty()) {
        return ConfigurationFault::RegistryKeyMissing;
    }
    if (manifest.m_strMainComponentUrl.empty()) {
        return ConfigurationFault::MainPackageUrlMissing;
    }
    return ConfigurationFault::None;
}

int Fail(ConfigurationFailure* failure, ConfigurationFault fault, const std::wstring& path)
{
    if (failure) {
        *failure = ConfigurationFailure{fault, path};
    }
    return fault == ConfigurationFault::ExecutablePathUnknown    ? kExecutablePathUnknown
           : fault == ConfigurationFault::WorkFolderNotCreatable ? kWorkFoldersFailed
                                                                 : kManifestUnusable;
}

ConfigurationFault UnreadableManifestFault(const std::wstring& path)
{
    return IsFile(path) ? ConfigurationFault::ManifestNotXml : ConfigurationFault::ManifestMissing;
}

}  // namespace

int LoadProductConfigurationFor(const std::wstring& executablePath, ConfigurationFailure* failure)
{
    ProductConfiguration& configuration = g_productConfiguration;
    const std::size_t lastBackslash = executablePath.rfind(L'\\');
    if (lastBackslash == std::wstring::npos || lastBackslash == 0) {
        return Fail(failure, ConfigurationFault::ExecutablePathUnknown, std::wstring());
    }
    configuration.m_strExeFolder = executablePath.substr(0, lastBackslash);
    configuration.m_strManifestPath = configuration.m_strExeFolder + L"\\config\\manifestPro.xml";

    ProductManifest manifest;
    if (!ReadOwnManifest(configuration, executablePath, manifest)) {
        return Fail(failure, UnreadableManifestFault(configuration.m_strManifestPath), configuration.m_strManifestPath);
    }
    configuration.m_manifest = std::move(manifest);
    if (!configuration.m_manifest.m_bStandalone && !ApplyReplacementManifest(configuration)) {
        return Fail(failure, UnreadableManifestFault(configuration.m_strManifestPath), configuration.m_strManifestPath);
    }
    const ProductManifest& loaded = configuration.m_manifest;
    if (const ConfigurationFault missing = MissingRequiredValue(loaded); missing != ConfigurationFault::None) {
        return Fail(failure, missing, configuration.m_strManifestPath);
    }

    BuildLanguageList();

    configuration.m_installedProduct = QueryInstalledProduct(loaded.m_strProductCode);
    if (!configuration.m_installedProduct.m_strVersion.empty()) {
        g_runSettings.m_bProductInstalled = 1;
        const int initialLanguage = InitialLanguageOfInstallation(loaded.m_strRegistryKey);
        if (initialLanguage != kEnglish) {
            configuration.m_nLanguageId = initialLanguage;
        }
    }

    if (const std::wstring blocked = PrepareWorkFolders(configuration); !blocked.empty()) {
        return Fail(failure, ConfigurationFault::WorkFolderNotCreatable, blocked);
    }
    configuration.m_bLoaded = 1;
    return kConfigurationLoaded;
}

int LoadProductConfiguration(ConfigurationFailure* failure)
{
    // A path that filled the whole buffer may have been cut: better no
    // folder than the wrong one.
    wchar_t path[512];
    const DWORD length = GetModuleFileNameW(nullptr, path, ARRAYSIZE(path));
    if (length == 0 || length >= ARRAYSIZE(path)) {
        return Fail(failure, ConfigurationFault::ExecutablePathUnknown, std::wstring());
    }
    return LoadProductConfigurationFor(std::wstring(path, length), failure);
}

std::vector<int> GetInstalledLanguagePacks()
{
    RegistryKey key(HKEY_LOCAL_MACHINE, g_productConfiguration.m_manifest.m_strRegistryKey + L"\\LanguagePacks");
    Table names;
    key.EnumSubkeys(names);
    std::vector<int> languages;
    for (std::size_t i = 0; i < names.Count(); ++i) {
        const wchar_t* name = names.At(i);
        if (name[0] != L'\0') {
            languages.push_back(DecimalTextToInt(name));
        }
    }
    return languages;
}

std::wstring MakeComponentPath(const std::wstring& fileName)
{
    return FormatComponentPath(g_productConfiguration, static_cast<int>(GetTickCount()), fileName);
}

std::wstring MakeProgramPath(const std::wstring& fileName)
{
    const std::wstring folder =
        ProtectedFolder(IsProcessElevated())
            .CreateUnique(g_productConfiguration.m_strComponentFolder + DecimalText(static_cast<int>(GetTickCount())));
    if (folder.empty()) {
        LogEvent(L"No folder could be made for \"" + fileName + L"\" in \"" +
                 g_productConfiguration.m_strComponentFolder + L"\"");
        return std::wstring();
    }
    return folder + L"\\" + fileName;
}

std::wstring MakeLanguagePackPath(int languageId)
{
    return MakeComponentPath(L"language_pack_" + DecimalText(languageId) + L".exe");
}
