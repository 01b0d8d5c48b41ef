#include "install/TransformArgument.h"

#include <vector>

#include "config/ProtectedFolder.h"
#include "install/InstallerProperties.h"
#include "log/RunLog.h"

using namespace korvex::install;

const std::wstring& TransformArgument::Prepare(const std::wstring& path)
{
    if (path == m_strSource) {
        return m_strArgument;
    }
    Release();
    m_strSource = path;
    m_strArgument = path;
    if (CanNameInTransforms(path)) {
        return m_strArgument;
    }
    if (std::wstring shortForm = ShortForm(path); !shortForm.empty()) {
        m_strArgument = std::move(shortForm);
    } else if (std::wstring copy = CopiedForm(path); !copy.empty()) {
        m_strArgument = std::move(copy);
    }
    LogEvent(L"Transform \"" + path + L"\" holds ';': named as \"" + m_strArgument + L"\"");
    return m_strArgument;
}

void TransformArgument::Release()
{
    if (!m_strCopyFolder.empty()) {
        m_copy.reset();
        DeleteFileW(m_strArgument.c_str());
        RemoveDirectoryW(m_strCopyFolder.c_str());
        m_strCopyFolder.clear();
    }
    m_strSource.clear();
    m_strArgument.clear();
}

std::wstring TransformArgument::ShortForm(const std::wstring& path) const
{
    const DWORD needed = m_shortPath(path.c_str(), nullptr, 0);
    if (needed == 0) {
        return std::wstring();
    }
    std::vector<wchar_t> buffer(needed);
    const DWORD length = m_shortPath(path.c_str(), buffer.data(), needed);
    if (length == 0 || length >= needed) {
        return std::wstring();
    }
    std::wstring shortForm(buffer.data(), length);
    return CanNameInTransforms(shortForm) ? shortForm : std::wstring();
}

std::wstring TransformArgument::CopiedForm(const std::wstring& path)
{
    const std::wstring folder = NewTemporaryFolder();
    if (folder.empty()) {
        return std::wstring();
    }
    const std::size_t lastBackslash = path.rfind(L'\\');
    const std::wstring copy =
        folder + L"\\" + (lastBackslash == std::wstring::npos ? path : path.substr(lastBackslash + 1));
    // The source is held by the worker since its download, so this copies
    // what was checked.
    if (CanNameInTransforms(copy) && CopyFileW(path.c_str(), copy.c_str(), TRUE)) {
        m_copy.reset(CreateFileW(copy.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
        if (m_copy) {
            m_strCopyFolder = folder;
            return copy;
        }
    }
    DeleteFileW(copy.c_str());
    RemoveDirectoryW(folder.c_str());
    return std::wstring();
}
