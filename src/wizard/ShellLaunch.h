#pragma once
// Starting programs and web pages for the user. The installer runs elevated,
// so the installed product is started by the desktop shell (which runs with
// the user's ordinary rights) through its automation objects, not by us.

#include <shobjidl.h>

#include <string>

// The desktop's shell view, or null when there is no desktop shell. The
// caller releases it.
IShellView* GetDesktopShellView();

// Asks the desktop shell to start the program at path (no arguments, default
// verb). COM must be initialised on the calling thread. False when the shell
// could not be reached or refused: nothing starts.
bool LaunchUnelevated(const std::wstring& path);

// LaunchUnelevated inside its own COM initialisation, when the file exists.
void LaunchUnelevatedIfPresent(const std::wstring& path);

// Starts the installed product (InstalledProductExecutable: after an update
// from the earlier installation's folder, else from the installation folder,
// whose trailing backslash is removed in place first), when it is there.
void LaunchInstalledProduct();

// Opens an http:// or https:// address in the default browser through the
// desktop shell, so that the browser runs with the user's ordinary rights.
// Anything else is ignored. False when nothing was opened.
bool OpenWebAddress(const std::wstring& address);
