#pragma once

// A file already in a work folder, taken as a download would be: a complete
// download of an earlier run, or a standalone package's own file. It is
// opened for reading so that others can read it but neither write nor delete
// it while it is held, and, when the entry names a SHA-256, checked against
// it from that open handle. A reparse point (a link to anywhere) is never
// followed. Called on the install worker's thread.

#include <windows.h>

#include <string>

#include "base/WinHandles.h"

enum class FileCheck {
    Missing,   // nothing at the path
    Refused,   // a reparse point, a folder, or it cannot be opened
    Mismatch,  // its SHA-256 differs
    Verified,  // held, and its SHA-256 matches (or none was named)
};

FileCheck OpenVerifiedFile(const std::wstring& path, const std::wstring& sha256, FileHandle& held);

// True for a plain file with one name: neither a reparse point nor a folder,
// and no second hard link through which writing it would change another file.
bool IsPlainSingleFile(HANDLE hFile);
