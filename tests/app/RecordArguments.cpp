// Test helper: writes its own command line (UTF-16) to the file named by
// KORVEX_RECORD_FILE, so a test can see how it was started.
#include <windows.h>

int wmain()
{
    wchar_t path[MAX_PATH] = {};
    if (!::GetEnvironmentVariableW(L"KORVEX_RECORD_FILE", path, MAX_PATH)) return 2;
    HANDLE file = ::CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 3;
    const wchar_t* commandLine = ::GetCommandLineW();
    DWORD written = 0;
    BOOL ok =
        ::WriteFile(file, commandLine, static_cast<DWORD>(lstrlenW(commandLine) * sizeof(wchar_t)), &written, nullptr);
    ::CloseHandle(file);
    return ok ? 0 : 4;
}
