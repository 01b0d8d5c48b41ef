// Custom actions of the test packages.
//
// ReportProgress sends progress records for about a second and gives up with
// ERROR_INSTALL_USEREXIT as soon as one of them is answered IDCANCEL, which is
// what the Windows Installer itself does with such an answer (Wine's does not,
// so the package does it for the tests). FailInstall reports an error through
// the installer's message handler and fails the installation. RequestRestart
// asks for a restart at the end, so the installation returns 3010. Linger
// keeps an installation that has done everything alive for two more seconds.

#include <windows.h>
#include <msi.h>
#include <msiquery.h>

namespace {

constexpr int kProgressRounds = 20;
constexpr DWORD kProgressIntervalMs = 50;

}  // namespace

extern "C" __declspec(dllexport) UINT __stdcall ReportProgress(MSIHANDLE hInstall)
{
    for (int round = 0; round < kProgressRounds; ++round) {
        PMSIHANDLE record = MsiCreateRecord(3);
        MsiRecordSetInteger(record, 1, 2);
        MsiRecordSetInteger(record, 2, 0);
        MsiRecordSetInteger(record, 3, 0);
        if (MsiProcessMessage(hInstall, INSTALLMESSAGE_PROGRESS, record) == IDCANCEL) {
            return ERROR_INSTALL_USEREXIT;
        }
        Sleep(kProgressIntervalMs);
    }
    return ERROR_SUCCESS;
}

extern "C" __declspec(dllexport) UINT __stdcall FailInstall(MSIHANDLE hInstall)
{
    PMSIHANDLE record = MsiCreateRecord(1);
    MsiRecordSetStringW(record, 0, L"[1]");
    MsiRecordSetStringW(record, 1, L"This package never installs: the engine test expects it to fail.");
    MsiProcessMessage(hInstall, static_cast<INSTALLMESSAGE>(INSTALLMESSAGE_ERROR | MB_OK | MB_ICONERROR), record);
    return ERROR_INSTALL_FAILURE;
}

extern "C" __declspec(dllexport) UINT __stdcall RequestRestart(MSIHANDLE hInstall)
{
    return MsiSetMode(hInstall, MSIRUNMODE_REBOOTATEND, TRUE);
}

extern "C" __declspec(dllexport) UINT __stdcall Linger(MSIHANDLE)
{
    Sleep(2000);
    return ERROR_SUCCESS;
}
