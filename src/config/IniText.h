#pragma once
// Reads values from the text of an initialisation file held in memory, the
// way the system reads one from disk: "[section]" lines, "key=value" lines,
// section and key names compared without regard to ASCII case, white space
// around names and values dropped, one pair of matching quotes around a value
// removed, the first matching key of the first matching section used. Pure:
// builds on the host.

#include <string>
#include <string_view>

namespace korvex::config {

// The text of a file's bytes: UTF-16 LE after its byte-order mark, else
// UTF-8 (a byte-order mark skipped; a malformed sequence yields U+FFFD).
std::wstring DecodeIniBytes(std::string_view bytes);

// False when the section or the key is missing; value is then unchanged.
bool FindIniValue(std::wstring_view text, std::wstring_view section, std::wstring_view key, std::wstring& value);

}  // namespace korvex::config
