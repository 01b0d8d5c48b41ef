#pragma once
// The server manifest names the current product release and, for a fresh
// installation and for an update, the oldest installer client that may still
// install it. Together with an earlier installation it decides whether this
// client proceeds, offers the installed product, or makes way for a newer
// client.

#include <string>
#include <string_view>

#include "config/ProductConfiguration.h"

namespace korvex::install {

// Outcomes of the client check.
enum ClientCheckResult : int {
    CheckOk = 0,
    CheckProductInstalled = 1,    // an installed copy is not older than the release
    CheckClientOutdated = 2,      // this client is too old for the release
    CheckNoInstalledVersion = 3,  // installed, yet without a version
    CheckServerUnreachable = 4,
};

// The result in words, for the run log.
const wchar_t* ClientCheckResultName(int result);

// Reads a server manifest's bytes (decoded as a file's would be) into
// manifest; the patch release's product version also becomes the standalone
// version. Missing elements leave their fields alone. False when the bytes
// are no well-formed XML or their document element is not korvexwebinstaller
// (an error page, a proxy's answer): nothing is read then.
bool ParseServerManifest(std::string_view bytes, config::ProductManifest& manifest);
bool ParseServerManifest(std::string_view bytes);

// The decision from the model alone: CheckOk, CheckProductInstalled,
// CheckClientOutdated or CheckNoInstalledVersion.
int EvaluateRelease(const config::ProductManifest& manifest, int bProductInstalled,
                    const std::wstring& installedVersion);
int EvaluateRelease();

}  // namespace korvex::install
