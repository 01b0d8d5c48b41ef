#pragma once
// After a first installation, records where the product went and, for a
// language other than English, which language it was installed in. The next
// run of the installer and the product itself read these values. An update
// writes nothing, and registry failures are ignored.

// Always true. Removes a trailing backslash from the chosen installation
// folder in place.
bool RegisterInstallation();
