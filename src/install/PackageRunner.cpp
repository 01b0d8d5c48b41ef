#include "install/PackageRunner.h"

#include <msi.h>
#include <shlwapi.h>

#include <string>

#include "base/DecimalText.h"
#include "base/UserMessageBox.h"
#include "base/WinHandles.h"
#include "config/ProductConfiguration.h"
#include "config/RunSettings.h"
#include "install/HomePageCapture.h"
#include "install/InstallWorker.h"
#include "install/InstallerProperties.h"
#include "install/PrerequisiteCommand.h"
#include "log/RunLog.h"

using korvex::base::DecimalText;

using namespace korvex::config;
using namespace korvex::install;

namespace {

// Every message but the files-in-use ones, which the installer then handles itself.
constexpr DWORD kInstallerMessageFilter =
    INSTALLLOGMODE_FATALEXIT | INSTALLLOGMODE_ERROR | INSTALLLOGMODE_WARNING | INSTALLLOGMODE_USER |
    INSTALLLOGMODE_INFO | INSTALLLOGMODE_RESOLVESOURCE | INSTALLLOGMODE_OUTOFDISKSPACE | INSTALLLOGMODE_ACTIONSTART |
    INSTALLLOGMODE_ACTIONDATA | INSTALLLOGMODE_PROGRESS | INSTALLLOGMODE_COMMONDATA | INSTALLLOGMODE_INITIALIZE |
    INSTALLLOGMODE_TERMINATE | INSTALLLOGMODE_SHOWDIALOG | INSTALLLOGMODE_INSTALLEND;
static_assert(kInstallerMessageFilter == 0x08007FDF);

// Everything the Windows Installer can write to its own verbose log.
constexpr DWORD kVerboseLogModes =
    INSTALLLOGMODE_FATALEXIT | INSTALLLOGMODE_ERROR | INSTALLLOGMODE_WARNING | INSTALLLOGMODE_USER |
    INSTALLLOGMODE_INFO | INSTALLLOGMODE_RESOLVESOURCE | INSTALLLOGMODE_OUTOFDISKSPACE | INSTALLLOGMODE_ACTIONSTART |
    INSTALLLOGMODE_ACTIONDATA | INSTALLLOGMODE_COMMONDATA | INSTALLLOGMODE_PROPERTYDUMP | INSTALLLOGMODE_VERBOSE;

void LogPackage(const std::wstring& path, const std::wstring& how, const std::wstring& result)
{
    LogEvent(L"Package \"" + path + L"\": " + how + L"; " + result);
}

std::wstring ExitCodeText(HANDLE process)
{
    DWORD code = 0;
    if (!GetExitCodeProcess(process, &code)) return L"exit code unknown";
    return L"exit code " + DecimalText(code);
}

// The system folder, without a trailing backslash; empty when unknown.
std::wstring SystemFolder()
{
    wchar_t folder[MAX_PATH];
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return std::wstring();
    }
    return std::wstring(folder, length);
}

// The process and the cancel together: no polling, and a cancel ends the
// wait at once. A wait that fails cannot tell that the process ended.
PrerequisiteRun AwaitPrerequisite(HANDLE process, HANDLE hCancelEvent)
{
    const HANDLE handles[] = {process, hCancelEvent};
    const DWORD count = hCancelEvent != nullptr ? 2 : 1;
    const DWORD result = WaitForMultipleObjects(count, handles, FALSE, INFINITE);
    return result == WAIT_OBJECT_0 ? PrerequisiteRun::Ended : PrerequisiteRun::LeftRunning;
}

// transform: where the worker keeps the form of the transform's path that
// TRANSFORMS can name.
InstallerPropertyFacts CurrentPropertyFacts(TransformArgument& transform)
{
    const ProductConfiguration& configuration = g_productConfiguration;
    InstallerPropertyFacts facts;
    facts.m_bProductInstalled = g_runSettings.m_bProductInstalled;
    facts.m_strInstallFolder = configuration.m_strInstallFolder;
    facts.m_bInstallFolderExists = PathFileExistsW(configuration.m_strInstallFolder.c_str()) ? 1 : 0;
    facts.m_strInstallerProperties = g_runSettings.m_strInstallerProperties;
    facts.m_bLanguageChoice = configuration.m_bLanguageChoice;
    facts.m_nLanguageId = configuration.m_nLanguageId;
    const std::wstring transformPath =
        TransformPathFor(configuration.m_strTransformFolder, configuration.m_nLanguageId);
    if (configuration.m_bLanguageChoice && configuration.m_nLanguageId != 1033 &&
        PathFileExistsW(transformPath.c_str())) {
        facts.m_strTransformPath = transform.Prepare(transformPath);
    }
    facts.m_nAssociationLevel = configuration.m_nAssociationLevel;
    return facts;
}

int ShowInstallerMessage(InstallWorker& worker, LPCWSTR message, UINT style)
{
    const int answer =
        UserMessageBox(worker.OwnerWindow(), message, g_productConfiguration.m_manifest.m_strShortName.c_str(), style);
    if (answer == IDCANCEL) {
        worker.m_nErrorKind = InstallErrorUserCancel;
    }
    return answer;
}

int OnProgressRecord(InstallWorker& worker, LPCWSTR record)
{
    const ProgressRecordOutcome outcome = ApplyProgressRecord(worker.m_installerState, record);
    if (!outcome.m_bWellFormed) {
        return IDOK;
    }
    if (outcome.m_bAdvanced) {
        worker.Progress().Set(InstallPhase::Installing, worker.m_nInstallIndex,
                              worker.m_installerState.m_nRunningMaximum, worker.m_strCurrentPackage);
    }
    return worker.m_bCancelInstaller ? IDCANCEL : IDOK;
}

}  // namespace

PrerequisiteRun RunPackageProcess(const InstallPlanItem& item, HANDLE hCancelEvent)
{
    const std::wstring systemFolder = SystemFolder();
    if (systemFolder.empty()) {
        return PrerequisiteRun::NotStarted;
    }
    const PrerequisiteCommand command = PrerequisiteCommandFor(item, systemFolder);
    const std::wstring how = std::wstring(command.m_bWindowsInstaller ? L"msiexec" : L"program") + L", command line " +
                             command.m_strArguments + L", working folder \"" + command.m_strWorkingFolder + L"\"";
    std::wstring commandLine = command.m_strCommandLine;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    if (command.m_bWindowsInstaller) {
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = SW_HIDE;
    }
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(command.m_strApplication.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        command.m_strWorkingFolder.c_str(), &startup, &process)) {
        LogPackage(item.m_strLocalPath, how, L"not started, error " + DecimalText(GetLastError()));
        return PrerequisiteRun::NotStarted;
    }
    const KernelHandle processHandle(process.hProcess);
    const KernelHandle threadHandle(process.hThread);
    const PrerequisiteRun run = AwaitPrerequisite(processHandle.get(), hCancelEvent);
    LogPackage(item.m_strLocalPath, how,
               run == PrerequisiteRun::Ended ? ExitCodeText(processHandle.get()) : L"left running");
    return run;
}

bool InstallPackage(InstallWorker& worker, const InstallPlanItem& item)
{
    // The cancel flag is left as it is: a cancel that arrived just before
    // this package must still reach it.
    worker.m_installerState.ResetForPackage();
    worker.m_strCurrentPackage = item.m_strName;
    MsiSetInternalUI(static_cast<INSTALLUILEVEL>(INSTALLUILEVEL_NONE | INSTALLUILEVEL_SOURCERESONLY), nullptr);
    MsiSetExternalUIW(&OnInstallerMessage, kInstallerMessageFilter, &worker);

    const std::wstring properties = BuildInstallerProperties(CurrentPropertyFacts(worker.m_transformArgument));
    const std::wstring installerLog = g_runLog.NextMsiLogPath();
    if (!installerLog.empty()) {
        // Appended to: the run log made the file empty and holds it, and
        // replacing it would let another file take its name.
        MsiEnableLogW(kVerboseLogModes, installerLog.c_str(), INSTALLLOGATTRIBUTES_APPEND);
    } else if (g_runLog.IsOpen()) {
        // This package's log file cannot be used: it must not go to the last one's.
        MsiEnableLogW(0, nullptr, 0);
    }
    const UINT result =
        MsiInstallProductW(item.m_strLocalPath.c_str(), properties.empty() ? nullptr : properties.c_str());
    // The handler's context is this worker, which may go before the process.
    MsiSetExternalUIW(nullptr, 0, nullptr);
    LogPackage(item.m_strLocalPath, L"Windows Installer, properties " + properties,
               L"result " + DecimalText(result) + L", restart " +
                   (result == ERROR_SUCCESS_REBOOT_REQUIRED ? L"required" : L"not required") +
                   (installerLog.empty() ? L"" : L", installer log \"" + installerLog + L"\""));
    if (result == ERROR_SUCCESS) {
        return true;
    }
    if (result == ERROR_SUCCESS_REBOOT_REQUIRED) {
        worker.m_bRestartRequired = 1;
    }
    const std::wstring line =
        L"KESTO_DEBUG: MSI Installation failed. Error Code: " + DecimalText(static_cast<int>(result)) + L"\r\n";
    OutputDebugStringW(line.c_str());
    return result == ERROR_SUCCESS_REBOOT_REQUIRED;
}

INT WINAPI OnInstallerMessage(LPVOID context, UINT messageType, LPCWSTR message)
{
    InstallWorker& worker = *static_cast<InstallWorker*>(context);
    if (worker.m_installerState.m_bFirstMessage) {
        MsiSetInternalUI(INSTALLUILEVEL_BASIC, nullptr);
        worker.m_installerState.m_bFirstMessage = 0;
    }
    if (message == nullptr) {
        return 0;
    }
    OutputDebugStringW((L"\r\n " + std::wstring(message)).c_str());

    const UINT style = messageType & 0x00FFFFFF;
    switch (static_cast<INSTALLMESSAGE>(messageType & 0xFF000000)) {
        case INSTALLMESSAGE_FATALEXIT:
        case INSTALLMESSAGE_ERROR:
        case INSTALLMESSAGE_OUTOFDISKSPACE:
            return ShowInstallerMessage(worker, message, style);
        case INSTALLMESSAGE_INFO:
            CaptureHomePageUrl(message, worker.m_strHomePageUrlFound);
            CaptureInstallFolder(message, worker.m_strInstallFolderFound);
            return IDOK;
        case INSTALLMESSAGE_PROGRESS:
            return OnProgressRecord(worker, message);
        case INSTALLMESSAGE_WARNING:
        case INSTALLMESSAGE_USER:
        case INSTALLMESSAGE_ACTIONSTART:
        case INSTALLMESSAGE_ACTIONDATA:
        case INSTALLMESSAGE_COMMONDATA:
        case INSTALLMESSAGE_INITIALIZE:
        case INSTALLMESSAGE_TERMINATE:
        case INSTALLMESSAGE_SHOWDIALOG:
        case INSTALLMESSAGE_INSTALLEND:
            return IDOK;
        default:
            return 0;
    }
}
