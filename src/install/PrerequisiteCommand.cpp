#include "install/PrerequisiteCommand.h"

#include "install/InstallerProperties.h"

namespace korvex::install {

namespace {

std::wstring Quoted(const std::wstring& text)
{
    return L"\"" + text + L"\"";
}

// The folder a path lies in; a drive root keeps its backslash, since "C:"
// alone names the drive's current folder.
std::wstring FolderOf(const std::wstring& path, const std::wstring& fallback)
{
    const std::size_t lastBackslash = path.rfind(L'\\');
    if (lastBackslash == std::wstring::npos) {
        return fallback;
    }
    return WithoutTrailingBackslash(path.substr(0, lastBackslash + 1));
}

}  // namespace

PrerequisiteCommand PrerequisiteCommandFor(const InstallPlanItem& item, const std::wstring& systemFolder)
{
    PrerequisiteCommand command;
    command.m_bWindowsInstaller = IsWindowsInstallerFile(item.m_strLocalPath);
    if (command.m_bWindowsInstaller) {
        command.m_strApplication = systemFolder + L"\\msiexec.exe";
        command.m_strArguments = L"/i " + Quoted(item.m_strLocalPath) + L" " + item.m_strCommandLine;
        command.m_strWorkingFolder = systemFolder;
    } else {
        // Quoted, so that the program's own argument parsing keeps a path
        // with spaces whole.
        command.m_strApplication = item.m_strLocalPath;
        command.m_strArguments = item.m_strCommandLine;
        command.m_strWorkingFolder = FolderOf(item.m_strLocalPath, systemFolder);
    }
    command.m_strCommandLine = Quoted(command.m_strApplication) + L" " + command.m_strArguments;
    return command;
}

}  // namespace korvex::install
