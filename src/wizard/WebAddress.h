#pragma once
// Which links the installer may hand to the desktop shell. The home page
// comes from the package and the links from the language files, so anything
// else a shell would run (a program path, a network share, another protocol)
// must never reach it. Pure: builds on the host.

#include <string>

namespace korvex::wizard {

// True for an http:// or https:// address (scheme in any case) with a host
// part and no space or control character anywhere.
bool IsWebAddress(const std::wstring& address);

}  // namespace korvex::wizard
