// A DLL that stands in for a system DLL planted beside a program: when the
// loader maps it, it writes "<its own path>.loaded" so that a test can tell
// that the planted copy, not the system's, was loaded. It exports nothing.
#include <windows.h>

#include <string>

#include "base/WinHandles.h"

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason != DLL_PROCESS_ATTACH) return TRUE;
    wchar_t path[MAX_PATH];
    const DWORD length = ::GetModuleFileNameW(instance, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return TRUE;
    const std::wstring record = std::wstring(path, length) + L".loaded";
    // Creating the file is the record; it is closed again at once.
    const FileHandle file(
        ::CreateFileW(record.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    return TRUE;
}
