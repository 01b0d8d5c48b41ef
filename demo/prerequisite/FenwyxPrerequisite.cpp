// A stand-in prerequisite package: it only records that it ran and succeeds.
#include "RunRecord.h"

#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int)
{
    AppendRunRecord(RunRecordPath(L"FENWYX_PREREQUISITE_RECORD", L".runs.log"), GetCommandLineW());
    return 0;
}
