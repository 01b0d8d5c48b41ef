// A stand-in prerequisite package: it only records that it ran and succeeds.
// Like real redistributables it reads version information, so it imports
// version.dll, which Windows looks for beside the program first.
#include "RunRecord.h"

#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int)
{
    wchar_t path[MAX_PATH] = {};
    DWORD ignored = 0;
    if (GetModuleFileNameW(nullptr, path, MAX_PATH) != 0) GetFileVersionInfoSizeW(path, &ignored);
    AppendRunRecord(RunRecordPath(L"FENWYX_PREREQUISITE_RECORD", L".runs.log"), GetCommandLineW());
    return 0;
}
