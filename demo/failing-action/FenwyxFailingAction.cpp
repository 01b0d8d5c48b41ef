// The custom action of the sample's failing package: it reports an error the
// way real packages do, through the Windows Installer's message channel (so
// the installer's user-interface handler shows it), then fails the
// installation.
#include <windows.h>
#include <msi.h>
#include <msiquery.h>

extern "C" __declspec(dllexport) UINT __stdcall ReportFailure(MSIHANDLE install)
{
    MSIHANDLE record = MsiCreateRecord(0);
    if (record) {
        MsiRecordSetStringW(record, 0,
                            L"Fenwyx Pro cannot be installed on this computer: the sample's custom action failed.");
        MsiProcessMessage(install, INSTALLMESSAGE(INSTALLMESSAGE_ERROR | MB_OK | MB_ICONERROR), record);
        MsiCloseHandle(record);
    }
    return ERROR_INSTALL_FAILURE;
}
