#pragma once
// The property text handed to the Windows Installer with every package of a
// run: repair switches for an installed product or the installation folder
// for a first one, the chosen language's transform, the file-association
// level, then the user's own properties from the command line.

#include <string>

namespace korvex::install {

struct InstallerPropertyFacts {
    int m_bProductInstalled = 0;
    std::wstring m_strInstallFolder;
    int m_bInstallFolderExists = 0;
    std::wstring m_strInstallerProperties;  // "/v" text
    int m_bLanguageChoice = 0;
    int m_nLanguageId = 1033;
    // The chosen language's transform as TRANSFORMS can name it; empty when
    // there is none (a package would fail to open a missing one).
    std::wstring m_strTransformPath;
    int m_nAssociationLevel = 0;
};

inline constexpr wchar_t kRepairProperties[] = L"REINSTALL=ALL REINSTALLMODE=vomus REBOOT=ReallySuppress";

// "All", "Free" or "None" for levels 0 to 2; empty for any other level.
const wchar_t* AssociationLevelName(int level);

// False when path holds a ';', which TRANSFORMS takes as a separator.
bool CanNameInTransforms(const std::wstring& path);

// A path without one trailing backslash; a drive root such as "C:\" keeps it.
std::wstring WithoutTrailingBackslash(std::wstring path);

std::wstring BuildInstallerProperties(const InstallerPropertyFacts& facts);

}  // namespace korvex::install
