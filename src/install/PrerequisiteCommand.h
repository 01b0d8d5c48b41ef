#pragma once
// How a prerequisite is started. The installer runs elevated, so nothing is
// found by name or looked for in the installer's folder: a program is started
// by its full path with its own folder as working folder, a Windows Installer
// package through the system folder's msiexec with the system folder as
// working folder.

#include <string>

#include "install/InstallPlan.h"

namespace korvex::install {

struct PrerequisiteCommand {
    std::wstring m_strApplication;  // full path of the program started
    std::wstring m_strArguments;    // what follows the program on its command line
    std::wstring m_strCommandLine;  // the program, quoted, then the arguments
    std::wstring m_strWorkingFolder;
    bool m_bWindowsInstaller = false;
};

// systemFolder: the system folder without a trailing backslash.
PrerequisiteCommand PrerequisiteCommandFor(const InstallPlanItem& item, const std::wstring& systemFolder);

}  // namespace korvex::install
