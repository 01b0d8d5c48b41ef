#pragma once
// Fetching the server manifest, for the client check at start-up and for the
// install worker before it downloads: the same transfer and the same checks
// for both. The body is written to a file made anew (whatever stood at the
// path, a link included, is removed first, never written through) and read
// back from the handle that wrote it, so what is parsed is what arrived. It
// may bring 1 MiB and take 120 s in all, in up to the manifest's
// download_attempts; its status is not examined, except that a passing one
// (408, 429, 5xx) is tried again while attempts remain.

#include <string>

#include "download/CancelRequest.h"

// True when the manifest arrived whole and reads as a server manifest (its
// document element is korvexwebinstaller); its values are then in the
// process's product manifest. False means an unreachable server.
bool FetchServerManifest(const ICancelRequest& cancel, const std::wstring& url, const std::wstring& path);
