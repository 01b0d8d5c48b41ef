#include "log/RunLog.h"

#include "log/LogText.h"

using namespace korvex::log;

RunLog g_runLog;

bool RunLog::Open(const std::wstring& path)
{
    std::lock_guard hold(m_lock);
    // The earlier file goes first: reopening the same path must not meet our own handle.
    m_file.reset();
    m_file.reset(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr));
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
    if (!m_file) return std::wstring();
    return m_strPath + L"." + std::to_wstring(++m_nMsiLogs) + L".msi.log";
}

void LogMessageBox(const wchar_t* pszText, const wchar_t* pszCaption, int answer)
{
    LogEvent(L"Message box \"" + std::wstring(pszCaption ? pszCaption : L"") + L"\": " + (pszText ? pszText : L"") +
             L" -> " + AnswerName(answer));
}
