#pragma once

// The SHA-256 of a whole file, computed with the system's CNG (BCrypt).

#include <windows.h>

#include <string_view>

// Reads hFile (open for reading) from its start to its end; true when its
// SHA-256 is expectedHex (64 hexadecimal digits, either case). A read or
// hashing failure is a mismatch.
bool FileMatchesSha256(HANDLE hFile, std::wstring_view expectedHex);
