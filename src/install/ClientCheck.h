#pragma once
// The client check the validator window runs at start-up: fetch the server
// manifest, decide whether this client may install the current release, and
// fetch a newer client when it may not.

#include <string>

#include "base/WinHandles.h"

// A ClientCheckResult: CheckServerUnreachable when the server manifest could
// not be fetched or read, else the version decision.
int CheckClient();

// Downloads the newer client into a folder of its own in the temporary folder,
// made for it (protected when elevated), under the product's full name with
// the characters a file name cannot hold replaced by '_', and stores its path
// in newClientPath. The transfer may bring 1 GiB and take 30 minutes in all,
// in up to the manifest's download_attempts. An empty URL, a folder that
// cannot be made, a failed transfer, an answer outside 200 to 299, an empty
// body or one that differs from its Content-Length give false and an empty
// path: an error page is never kept as the new client.
bool DownloadNewClient(std::wstring& newClientPath);

// The installed product's executable as the installation recorded it, or
// empty when there is none or the file is gone.
std::wstring GetInstalledExecutablePath();

// Decides whether the newer client at newClientPath may start
// (JudgeNewClient, ClientTrust.h: its signature against this client's own
// signer and the manifest's client_signer keys) and logs the verdict with
// both signers. A refused client is deleted with its folder and
// newClientPath emptied: false, as for a failed download. When it may start,
// heldClient keeps it open, shared for reading only, so that nobody changes
// or replaces what was checked before it is started.
bool VerifyNewClient(std::wstring& newClientPath, FileHandle& heldClient);
