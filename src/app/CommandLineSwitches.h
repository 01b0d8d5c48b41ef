#pragma once
// The start-up switches and their walk over the argument vector. Pure, so
// the host build tests the very functions start-up calls; the conversion of
// each wide argument to the narrow text the table is keyed by happens at the
// caller (the thread's ANSI code page on Windows).

#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include "config/RunSettings.h"

namespace korvex::app {

// One element of the argument vector: as given, and narrowed for the lookup.
struct CommandLineArgument {
    std::string m_narrow;
    std::wstring m_wide;
};

// Keyed by the exact switch text; each handler takes the switch's argument.
using SwitchTable = std::unordered_map<std::string, std::function<void(const std::wstring&)>>;

// The six switches, writing into settings.
SwitchTable BuildSwitchTable(config::RunSettings& settings);

// One line for the run log: every switch and the value it left.
std::wstring DescribeSwitches(const config::RunSettings& settings);

// Looks every element, the program path included, up in the table. A switch's
// argument is the next element unless there is none, it is empty or it
// begins with a backslash (then the empty text); the next element is still
// examined as a switch itself.
void WalkSwitches(const SwitchTable& table, const std::vector<CommandLineArgument>& arguments);

// One argument as a command line carries it, so that the system's split
// (CommandLineToArgvW, the C runtime) gives it back unchanged: quoted when
// empty or holding white space or quotes, with backslashes doubled where a
// quote follows them.
std::wstring QuoteArgument(const std::wstring& argument);

// The parameters a newer client is started with: "/n", then the switches of
// this run ("/s", "/l", "/lang X", "/v X") so that it runs as this one would.
std::wstring HandOverParameters(const config::RunSettings& settings);

}  // namespace korvex::app
