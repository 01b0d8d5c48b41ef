#pragma once
// The Authenticode check of one file with the system's WinVerifyTrust
// (WINTRUST_ACTION_GENERIC_VERIFY_V2): no window, no revocation check and
// nothing fetched from the network while it runs. The signer is taken from
// the verification state and identified by the SHA-256 of its certificate's
// SubjectPublicKeyInfo. Under Wine the check covers the file's digest and the
// signature, not the certificate chain; on Windows the chain is checked too.
// Called on the validator's task; wintrust and crypt32 are delay-loaded, so
// they come from System32 only.

#include <windows.h>

#include <string>

#include "install/ClientTrust.h"

// Checks the file at path; file, when not null, is that file open for
// reading, and the check reads through it.
korvex::install::FileSignature CheckFileSignature(const std::wstring& path, HANDLE file);
