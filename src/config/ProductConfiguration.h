#pragma once
// The process-wide product configuration: the product manifest read at
// start-up, the work folders beside the executable, an earlier installation
// and the user's choices. Plain records without Windows headers so pure code
// (plans, version rules) can use them on the host; the functions that touch
// the machine are implemented for the target only.

#include <string>
#include <vector>

#include "config/ConfigurationFailure.h"

namespace korvex::config {

struct LanguagePackInfo {
    int m_nLangId = 0;
    std::wstring m_strPid;
    std::wstring m_strName;
    std::wstring m_strFullUrl;
    std::wstring m_strSha256;  // empty: the download is not checked
};

struct TransformInfo {
    int m_nLangId = 0;
    std::wstring m_strName;
    std::wstring m_strFullUrl;
    std::wstring m_strSha256;
};

struct DependencyInfo {
    std::wstring m_strName;
    std::wstring m_strFullUrl;
    std::wstring m_strInstallCommandLine;
    std::wstring m_strSha256;
};

struct ReleaseInfo {
    std::wstring m_strProductVersion;
    std::wstring m_strMinClientVersion;
    std::wstring m_strClientDownloadUrl;
};

struct InstalledProductInfo {
    std::wstring m_strVersion;   // empty when the product is not installed
    std::wstring m_strReserved;  // always empty
};

struct LanguageChoice {
    std::wstring m_strName;
    int m_nLangId = 0;
};

struct ProductManifest {
    std::wstring m_strWebInstallerVersion;
    // client_signer: keys a newer client may be signed with (lower case).
    std::vector<std::wstring> m_clientSigners;
    std::wstring m_strProductCode;
    std::wstring m_strPid;
    std::wstring m_strFullName;
    std::wstring m_strShortName;
    std::wstring m_strRegistryKey;
    int m_bStandalone = 0;
    std::wstring m_strStandaloneVersion;
    std::wstring m_strVersionCheckUrl;
    std::wstring m_strServerProductCode;
    ReleaseInfo m_freshInstall;
    ReleaseInfo m_patchInstall;
    std::wstring m_strMainComponentName;
    std::wstring m_strMainComponentUrl;
    std::wstring m_strMainComponentSha256;
    std::vector<LanguagePackInfo> m_languagePacks;
    std::vector<DependencyInfo> m_dependencies;
    std::vector<TransformInfo> m_transforms;
    std::wstring m_strMainComponentExecutable;
    // How often each download is tried after a passing failure: 1 to 10.
    int m_nDownloadAttempts = 1;
};

inline constexpr int kMaxDownloadAttempts = 10;

struct ProductConfiguration {
    int m_bLoaded = 0;
    std::wstring m_strExeFolder;
    ProductManifest m_manifest;
    InstalledProductInfo m_installedProduct;
    std::wstring m_strManifestPath;
    std::wstring m_strComponentFolder;
    std::wstring m_strMsiFolder;
    std::wstring m_strTransformFolder;
    std::wstring m_strHomePageUrl;
    int m_nLanguageId = 1033;
    std::wstring m_strLanguageFolder;
    int m_bLanguageChoice = 1;
    std::vector<LanguageChoice> m_languages;
    std::wstring m_strInstallFolder = L"C:\\Program Files\\Korvex Systems";
    int m_nAssociationLevel = 0;
};

// The one instance, alive from program load to exit.
extern ProductConfiguration g_productConfiguration;

// Status of LoadProductConfiguration.
enum ProductConfigurationStatus : int {
    kConfigurationLoaded = 0,
    kManifestUnusable = 1,
    kWorkFoldersFailed = 2,
    kExecutablePathUnknown = 3,
};

// Where a downloaded file goes: the component folder and the file name, with
// the tick count between them unless the package is standalone.
std::wstring FormatComponentPath(const ProductConfiguration& configuration, int tickCount,
                                 const std::wstring& fileName);

}  // namespace korvex::config
