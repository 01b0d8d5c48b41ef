// Started by the launch test through the desktop shell: records that it ran,
// and the command line it got, in "<its own path>.ran".
#include <windows.h>

#include <string>

#include "base/WinHandles.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int)
{
    wchar_t self[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return 1;
    const std::wstring record = std::wstring(self) + L".ran";
    const FileHandle file(
        ::CreateFileW(record.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return 1;
    const std::wstring commandLine = ::GetCommandLineW();
    DWORD written = 0;
    ::WriteFile(file.get(), commandLine.data(), static_cast<DWORD>(commandLine.size() * sizeof(wchar_t)), &written,
                nullptr);
    return 0;
}
