// Test helper: writes its own command line (UTF-16) to the file named by
// KORVEX_RECORD_FILE, so a test can see how it was started.
#include <windows.h>

#include "base/WinHandles.h"

int wmain()
{
    wchar_t path[MAX_PATH] = {};
    if (!::GetEnvironmentVariableW(L"KORVEX_RECORD_FILE", path, MAX_PATH)) return 2;
    const FileHandle file(
        ::CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return 3;
    const wchar_t* commandLine = ::GetCommandLineW();
    DWORD written = 0;
    const BOOL ok = ::WriteFile(file.get(), commandLine, static_cast<DWORD>(lstrlenW(commandLine) * sizeof(wchar_t)),
                                &written, nullptr);
    return ok ? 0 : 4;
}
