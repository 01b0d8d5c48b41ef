#pragma once
// The ordered installation plan: missing prerequisites, the main package, the
// chosen language's transform, then language packs, each with a download
// weight (when it is downloaded) and an install weight. Built from the product
// configuration and the run settings; what the plan needs to know about the
// machine comes through IInstallPlanSources, so the plan is pure.
//
// A prerequisite program is downloaded into a folder of its own: a program
// looks for its DLLs beside itself first, and anyone who can write the
// installer's folder could have left one in the component folder.

#include <cstdint>
#include <string>
#include <vector>

#include "config/ProductConfiguration.h"
#include "config/RunSettings.h"

namespace korvex::install {

struct InstallPlanItem {
    std::wstring m_strName;  // the component's file name; progress text
    std::wstring m_strUrl;
    std::wstring m_strSha256;       // the download's hash, or empty for no check
    std::wstring m_strLocalPath;    // where it is downloaded to and installed from
    std::wstring m_strCommandLine;  // arguments for an item started as a process
    int m_bDownload = 0;
    int m_bRunAsProcess = 0;  // 0: through the Windows Installer
    // A transform is no package: it takes its install slot and is applied
    // through the main package's TRANSFORMS property.
    int m_bTransform = 0;
};

struct InstallPlan {
    std::vector<InstallPlanItem> m_items;
    std::vector<std::uint32_t> m_downloadWeights;  // one per downloaded item, not normalised
    std::vector<std::uint32_t> m_installWeights;   // one per item, not normalised
};

class IInstallPlanSources {
public:
    virtual bool IsDependencyPresent(const std::wstring& name) = 0;
    virtual std::wstring MakeComponentPath(const std::wstring& fileName) = 0;
    // fileName in a folder made for it inside the component folder; empty
    // when the folder could not be made (its download then fails).
    virtual std::wstring MakeProgramPath(const std::wstring& fileName) = 0;
    virtual std::wstring MakeLanguagePackPath(int languageId) = 0;
    virtual std::vector<int> GetInstalledLanguagePacks() = 0;

protected:
    ~IInstallPlanSources() = default;
};

inline constexpr std::uint32_t kDependencyWeight = 40;
inline constexpr std::uint32_t kMainPackageWeight = 50;
inline constexpr std::uint32_t kTransformWeight = 5;
inline constexpr std::uint32_t kLanguagePackWeight = 5;

// True when the file is a Windows Installer package (".msi" in any case):
// such a prerequisite goes through msiexec, anything else is a program.
bool IsWindowsInstallerFile(const std::wstring& path);

// "<transform folder><language id>.mst": where the chosen language's
// transform is stored, and what the TRANSFORMS property names.
std::wstring TransformPathFor(const std::wstring& transformFolder, int languageId);

InstallPlan BuildInstallPlan(const config::ProductConfiguration& configuration, const config::RunSettings& settings,
                             IInstallPlanSources& sources);

}  // namespace korvex::install
