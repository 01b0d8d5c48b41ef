#pragma once
// Where the product's executable is: in an installation folder, or where an
// earlier installation recorded it. An update starts the product from the
// earlier installation's folder, which need not be the folder this run
// proposes.

#include <string>

namespace korvex::install {

// folder + "\" + relativeExecutable; a folder with a trailing backslash (a
// drive root) gets no second one.
std::wstring ExecutableInFolder(const std::wstring& folder, const std::wstring& relativeExecutable);

// The executable an installation recorded: its "exe" value, else its
// "InstallDir" (the executable's folder) and the executable's file name;
// empty when neither was recorded.
std::wstring RecordedExecutable(const std::wstring& exe, const std::wstring& installDir,
                                const std::wstring& relativeExecutable);

}  // namespace korvex::install
