// Stands in for a prerequisite's installer program: appends its command line
// (UTF-8) to "<its own path>.ran" and exits. A copy placed where an unquoted path
// would lead shows whether the wrong program was started.

#include <windows.h>

#include <cstdio>
#include <string>

int wmain()
{
    wchar_t modulePath[MAX_PATH] = {};
    if (GetModuleFileNameW(nullptr, modulePath, MAX_PATH) == 0) {
        return 1;
    }
    const std::wstring record = std::wstring(modulePath) + L".ran";
    const std::wstring line = std::wstring(GetCommandLineW()) + L"\n";
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), utf8.data(), size, nullptr, nullptr);
    FILE* file = _wfopen(record.c_str(), L"ab");
    if (file == nullptr) {
        return 1;
    }
    std::fwrite(utf8.data(), 1, utf8.size(), file);
    std::fclose(file);
    return 0;
}
