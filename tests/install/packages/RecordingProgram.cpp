// Stands in for a prerequisite's installer program: appends its command line
// (UTF-8) to "<its own path>.ran", writes its working folder to
// "<its own path>.cwd" and exits; with "/linger" on its command line it first
// waits 6 seconds, a prerequisite that takes its time. A copy placed where an
// unquoted path would lead shows whether the wrong program was started.

#include <windows.h>

#include <cstdio>
#include <string>

namespace {

bool WriteUtf8(const std::wstring& path, const wchar_t* mode, const std::wstring& text)
{
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), utf8.data(), size, nullptr, nullptr);
    FILE* file = _wfopen(path.c_str(), mode);
    if (file == nullptr) {
        return false;
    }
    std::fwrite(utf8.data(), 1, utf8.size(), file);
    std::fclose(file);
    return true;
}

}  // namespace

int wmain()
{
    wchar_t modulePath[MAX_PATH] = {};
    if (GetModuleFileNameW(nullptr, modulePath, MAX_PATH) == 0) {
        return 1;
    }
    const std::wstring commandLine = GetCommandLineW();
    if (commandLine.find(L" /linger") != std::wstring::npos) {
        Sleep(6000);
    }
    wchar_t workingFolder[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, workingFolder);
    if (!WriteUtf8(std::wstring(modulePath) + L".cwd", L"wb", workingFolder)) {
        return 1;
    }
    return WriteUtf8(std::wstring(modulePath) + L".ran", L"ab", commandLine + L"\n") ? 0 : 1;
}
