#pragma once
// Installs one plan item on the worker's task thread: prerequisites by
// starting their installer program and waiting for it, packages in-process
// through the Windows Installer with a message handler that drives the
// progress bar, shows the installer's errors, answers Cancel once the user
// has cancelled, and captures the product's home page.
//
// A prerequisite, program or msiexec alike, is waited for until it has ended,
// so that nothing it runs collides with the next package (an msiexec still
// running makes the next installation fail with 1618). The wait also ends on
// the worker's cancel event: the prerequisite is then left to finish on its
// own, and closing the window never waits for it.

#include <windows.h>

#include "install/InstallPlan.h"

class InstallWorker;

enum class PrerequisiteRun {
    NotStarted,
    Ended,        // its exit code is logged, not examined
    LeftRunning,  // the cancel event (or a failed wait) ended the wait
};

// Starts the item as PrerequisiteCommandFor says and waits for it to end or
// for hCancelEvent (null: no cancel).
PrerequisiteRun RunPackageProcess(const korvex::install::InstallPlanItem& item, HANDLE hCancelEvent);

// True when the package installed, also when it asks for a reboot.
bool InstallPackage(InstallWorker& worker, const korvex::install::InstallPlanItem& item);

// The external user-interface handler; context is the InstallWorker.
INT WINAPI OnInstallerMessage(LPVOID context, UINT messageType, LPCWSTR message);
