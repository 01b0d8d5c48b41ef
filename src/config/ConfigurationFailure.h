#pragma once
// Why the product configuration could not be loaded, and the English text
// start-up shows for it before the run ends. The text is fixed English: the
// language files are found through the very configuration that failed.

#include <string>

namespace korvex::config {

enum class ConfigurationFault : int {
    None = 0,
    ExecutablePathUnknown,
    ManifestMissing,
    ManifestNotXml,
    PidMissing,
    RegistryKeyMissing,
    MainPackageUrlMissing,
    WorkFolderNotCreatable,
};

struct ConfigurationFailure {
    ConfigurationFault m_fault = ConfigurationFault::None;
    // The manifest that was read, or the work folder that could not be made;
    // empty when the executable's own path is unknown.
    std::wstring m_strPath;
};

// One sentence on what is wrong, naming the path, and that the run ends.
std::wstring ConfigurationFailureText(const ConfigurationFailure& failure);

}  // namespace korvex::config
