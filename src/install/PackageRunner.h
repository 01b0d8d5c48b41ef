#pragma once
// Installs one plan item on the worker's task thread: prerequisites by
// starting their installer program and waiting for it, packages in-process
// through the Windows Installer with a message handler that drives the
// progress bar, shows the installer's errors, answers Cancel once the user
// has cancelled, and captures the product's home page.

#include <windows.h>

#include "install/InstallPlan.h"

class InstallWorker;

// True when the program could be started; its exit code is not examined.
// A program is waited for to its end; an .msi goes through msiexec and is
// waited for at most 30 seconds.
bool RunPackageProcess(const korvex::install::InstallPlanItem& item);

// True when the package installed, also when it asks for a reboot.
bool InstallPackage(InstallWorker& worker, const korvex::install::InstallPlanItem& item);

// The external user-interface handler; context is the InstallWorker.
INT WINAPI OnInstallerMessage(LPVOID context, UINT messageType, LPCWSTR message);
