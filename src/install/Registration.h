#pragma once
// After a first installation, records where the product went and, for a
// language other than English, which language it was installed in. The next
// run of the installer and the product itself read these values. An update
// writes nothing, and registry failures are ignored.

#include <string>

// Always true. Removes a trailing backslash from the chosen installation
// folder in place.
bool RegisterInstallation();

// The executable an earlier installation recorded under the manifest's
// registry key in HKEY_LOCAL_MACHINE (RecordedExecutable of its "exe" and
// "InstallDir"); empty when it recorded neither.
std::wstring RecordedProductExecutable();

// The executable to start after this run: for an update the recorded one,
// else (and when nothing was recorded) the installation folder's.
std::wstring InstalledProductExecutable();
