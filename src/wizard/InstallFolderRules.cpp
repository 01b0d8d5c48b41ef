#include "wizard/InstallFolderRules.h"

#include <algorithm>

namespace korvex::wizard {

std::wstring WithoutTrailingBackslash(std::wstring text)
{
    if (!text.empty() && text.back() == L'\\') text.pop_back();
    return text;
}

std::vector<std::wstring> FolderLevels(const std::wstring& path)
{
    std::vector<std::wstring> parts;
    std::size_t start = 0;
    while (start <= path.size()) {
        const std::size_t end = std::min(path.find(L'\\', start), path.size());
        if (end > start) parts.push_back(path.substr(start, end - start));
        start = end + 1;
    }

    std::vector<std::wstring> levels;
    std::wstring sofar;
    std::size_t first = 0;
    if (path.rfind(L"\\\\", 0) == 0) {
        // \\server\share is where a network path starts; neither can be made.
        if (parts.size() < 2) return levels;
        sofar = L"\\\\" + parts[0] + L"\\" + parts[1];
        first = 2;
    } else if (!path.empty() && path[0] == L'\\') {
        sofar = L"\\";
    }
    for (std::size_t i = first; i < parts.size(); ++i) {
        if (!sofar.empty() && sofar.back() != L'\\') sofar += L'\\';
        sofar += parts[i];
        if (sofar.back() != L':') levels.push_back(sofar);
    }
    return levels;
}

std::wstring BrowseStartFolder(std::wstring absolutePath, const std::function<bool(const std::wstring&)>& exists)
{
    const std::size_t length = absolutePath.size();
    if (length > 1 && absolutePath.back() == L'\\' && absolutePath[length - 2] != L':') absolutePath.pop_back();
    while (!exists(absolutePath)) {
        const std::size_t slash = absolutePath.rfind(L'\\');
        if (slash == std::wstring::npos) break;
        absolutePath.erase(slash);
    }
    return absolutePath;
}

}  // namespace korvex::wizard
