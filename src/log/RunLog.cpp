#include "log/RunLog.h"

#include "base/DecimalText.h"
#include "log/LogText.h"

using korvex::base::DecimalText;

using namespace korvex::log;

RunLog g_runLog;

namespace {

constexpr DWORD kNotAPlainFile = FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY;

// The file at path made anew, or an existing one emptied; none when it is a
// reparse point or has another name too. Written as administrator, the log
// must never reach through a link into a file someone else chose. Wine shows
// a symbolic link to a file as that file; a dangling one fails CREATE_NEW.
FileHandle OpenPlainFile(const std::wstring& path, DWORD share)
{
    constexpr DWORD access = GENERIC_WRITE | FILE_READ_ATTRIBUTES;
    FileHandle file(CreateFileW(path.c_str(), access, share, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file || GetLastError() != ERROR_FILE_EXISTS) return file;
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & kNotAPlainFile)) return FileHandle();
    file.reset(CreateFileW(path.c_str(), access, share, nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    BY_HANDLE_FILE_INFORMATION information;
    if (!file || !GetFileInformationByHandle(file.get(), &information) ||
        (information.dwFileAttributes & kNotAPlainFile) || information.nNumberOfLinks != 1 ||
        !SetEndOfFile(file.get())) {
        return FileHandle();
    }
    return file;
}

}  // namespace

bool RunLog::Open(const std::wstring& path)
{
    std::lock_guard hold(m_lock);
    // The earlier files go first: reopening the same path must not meet our own handle.
    m_file.reset();
    m_msiLog.reset();
    m_file = OpenPlainFile(path, FILE_SHARE_READ);
    m_strPath = m_file ? path : std::wstring();
    m_nMsiLogs = 0;
    return static_cast<bool>(m_file);
}

bool RunLog::IsOpen() const
{
    std::lock_guard hold(m_lock);
    return static_cast<bool>(m_file);
}

void RunLog::Write(std::wstring_view text)
{
    std::lock_guard hold(m_lock);
    if (!m_file) return;
    SYSTEMTIME now;
    GetLocalTime(&now);
    const LogTime time{now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond, now.wMilliseconds};
    const std::string line = FormatLogLine(time, text);
    DWORD written = 0;
    WriteFile(m_file.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

std::wstring RunLog::NextMsiLogPath()
{
    std::lock_guard hold(m_lock);
    m_msiLog.reset();
    if (!m_file) return std::wstring();
    const std::wstring path = m_strPath + L"." + DecimalText(++m_nMsiLogs) + L".msi.log";
    // Held without delete sharing until the next package, so that the file
    // the Windows Installer opens by this name is the one prepared (it writes
    // sharing only writes, so the handle held writes too, and nothing else).
    m_msiLog = OpenPlainFile(path, FILE_SHARE_READ | FILE_SHARE_WRITE);
    return m_msiLog ? path : std::wstring();
}

void LogMessageBox(const wchar_t* pszText, const wchar_t* pszCaption, int answer)
{
    LogEvent(L"Message box \"" + std::wstring(pszCaption ? pszCaption : L"") + L"\": " + (pszText ? pszText : L"") +
             L" -> " + AnswerName(answer));
}
