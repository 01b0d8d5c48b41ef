#pragma once
// Which names from a manifest may be joined onto a folder path, and how the
// product's full name becomes a file name. Pure: no file system is consulted.

#include <string>

namespace korvex::config {

// True for a plain file name: not empty, under 200 characters, no path
// separator, drive or stream colon, wildcard, quote, angle bracket, pipe or
// control character, not "." or "..", no trailing dot or space (Windows would
// drop them and write another name), and not a reserved device name (CON,
// NUL, COM1, LPT1, ... with or without an extension).
bool IsPlainFileName(const std::wstring& name);

// text with every character Windows forbids in a file name replaced by '_';
// a result that is empty or a device name gets a leading '_'.
std::wstring ToFileName(const std::wstring& text);

}  // namespace korvex::config
