#include "install/ProductLocation.h"

namespace korvex::install {

std::wstring ExecutableInFolder(const std::wstring& folder, const std::wstring& relativeExecutable)
{
    const bool bEndsInBackslash = !folder.empty() && folder.back() == L'\\';
    return folder + (bEndsInBackslash ? L"" : L"\\") + relativeExecutable;
}

std::wstring RecordedExecutable(const std::wstring& exe, const std::wstring& installDir,
                                const std::wstring& relativeExecutable)
{
    if (!exe.empty()) {
        return exe;
    }
    if (installDir.empty()) {
        return std::wstring();
    }
    const std::size_t lastBackslash = relativeExecutable.rfind(L'\\');
    const std::wstring fileName =
        lastBackslash == std::wstring::npos ? relativeExecutable : relativeExecutable.substr(lastBackslash + 1);
    return ExecutableInFolder(installDir, fileName);
}

}  // namespace korvex::install
