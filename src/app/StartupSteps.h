#pragma once
// The Windows side of start-up and exit, one function per step, so that the
// application object reads as the sequence and each step can be tried alone.

#include <windows.h>

#include <string>
#include <vector>

#include "app/CommandLineSwitches.h"

inline constexpr wchar_t kInstanceSemaphoreName[] = L"KorvexMasterInstaller";
inline constexpr wchar_t kMainWindowClassName[] = L"KorvexMasterInstallerClassName";

// The argument text in the thread's ANSI code page, as the switch table keys
// it; characters the code page lacks become '?', never a look-alike.
std::string NarrowForSwitchLookup(const std::wstring& argument);

// The program's argument vector (program path first), each element with its
// narrowed form. An empty vector when the command line cannot be split.
std::vector<korvex::app::CommandLineArgument> ReadCommandLineArguments(const wchar_t* commandLine);

// Opens the run log when "/log" named a file, and records the program's
// version, its command line and the switches read from it. A file that
// cannot be opened leaves the log closed; the run goes on.
void StartRunLog(const korvex::config::RunSettings& settings, const wchar_t* commandLine);

// Brings the first instance's main window to the front, restoring it when
// minimised. False when no such window exists.
bool BringFirstInstanceForward();

// Registers the main window class: the system dialog class under our name.
bool RegisterMainWindowClass();

// Starts a newer client the validator downloaded with the given parameters
// (HandOverParameters()); shows "The updater cannot be launched!" when the
// shell refuses. Nothing is shown for an empty path or a missing file. False
// when nothing started.
bool LaunchDownloadedClient(const std::wstring& path, const std::wstring& parameters, const wchar_t* caption);
