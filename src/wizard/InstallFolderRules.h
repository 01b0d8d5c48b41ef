#pragma once
// The rules for the installation folder the user types on the settings page:
// how long it may be, the trailing backslash, and which folders must be made
// (level by level, below the drive or the network share) before it exists.

#include <functional>
#include <string>
#include <vector>

namespace korvex::wizard {

// Folder texts must fit a classic path buffer with its terminator.
inline constexpr std::size_t kMaxFolderTextLength = 259;

// The text with one trailing backslash removed.
std::wstring WithoutTrailingBackslash(std::wstring text);

// The folders to make, shortest first, so that path exists afterwards. The
// drive ("C:"), a network path's server and share, and empty parts are never
// made: they must already be there.
std::vector<std::wstring> FolderLevels(const std::wstring& path);

// The folder the browser opens on: the absolute path without its trailing
// backslash (unless it is a drive root or a single character), cut back at
// backslashes until exists accepts it or no backslash is left.
std::wstring BrowseStartFolder(std::wstring absolutePath, const std::function<bool(const std::wstring&)>& exists);

}  // namespace korvex::wizard
