#include "app/StartupSteps.h"

#include <shellapi.h>
#include <shlwapi.h>

#include "base/UserMessageBox.h"
#include "base/WinHandles.h"
#include "log/RunLog.h"

#include "KorvexVersion.h"

using namespace korvex::app;
using namespace korvex::config;

std::string NarrowForSwitchLookup(const std::wstring& argument)
{
    if (argument.empty()) return std::string();
    // No best-fit look-alikes: a fullwidth solidus must not turn into "/".
    const DWORD flags = WC_NO_BEST_FIT_CHARS;
    int length = ::WideCharToMultiByte(CP_THREAD_ACP, flags, argument.data(), static_cast<int>(argument.size()),
                                       nullptr, 0, nullptr, nullptr);
    if (length <= 0) return std::string();
    std::string narrow(static_cast<size_t>(length), '\0');
    ::WideCharToMultiByte(CP_THREAD_ACP, flags, argument.data(), static_cast<int>(argument.size()), narrow.data(),
                          length, nullptr, nullptr);
    return narrow;
}

std::vector<CommandLineArgument> ReadCommandLineArguments(const wchar_t* commandLine)
{
    std::vector<CommandLineArgument> arguments;
    int count = 0;
    LPWSTR* vector = ::CommandLineToArgvW(commandLine ? commandLine : L"", &count);
    const LocalMemory owner(vector);
    if (!vector) return arguments;
    for (int index = 0; index < count; ++index) {
        std::wstring wide(vector[index]);
        arguments.push_back({NarrowForSwitchLookup(wide), wide});
    }
    return arguments;
}

void StartRunLog(const RunSettings& settings, const wchar_t* commandLine)
{
    if (settings.m_strLogFile.empty() || !g_runLog.Open(settings.m_strLogFile)) return;
    SetUserMessageBoxObserver(&LogMessageBox);
    LogEvent(L"KorvexMasterInstaller " KORVEX_VERSION_TEXT L" started: " +
             std::wstring(commandLine ? commandLine : L""));
    LogEvent(DescribeSwitches(settings));
}

bool BringFirstInstanceForward()
{
    HWND window = ::FindWindowW(kMainWindowClassName, nullptr);
    if (!window) return false;
    if (::IsIconic(window)) ::ShowWindow(window, SW_RESTORE);
    ::SetForegroundWindow(window);
    return true;
}

bool RegisterMainWindowClass()
{
    WNDCLASSW windowClass = {};
    if (!::GetClassInfoW(nullptr, MAKEINTATOM(32770), &windowClass)) return false;
    windowClass.lpszClassName = kMainWindowClassName;
    return ::RegisterClassW(&windowClass) != 0;
}

bool LaunchDownloadedClient(const std::wstring& path, const std::wstring& parameters, const wchar_t* caption)
{
    if (path.empty() || !::PathFileExistsW(path.c_str())) return false;
    HINSTANCE result = ::ShellExecuteW(nullptr, L"open", path.c_str(), parameters.c_str(), nullptr, SW_SHOWNORMAL);
    if (reinterpret_cast<INT_PTR>(result) > 32) return true;
    UserMessageBox(nullptr, L"The updater cannot be launched!", caption, MB_ICONERROR);
    return false;
}
