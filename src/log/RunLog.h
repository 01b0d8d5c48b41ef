#pragma once
// The opt-in run log ("/log <file>"): what a deployment needs to read after a
// silent run on many machines. One process-wide instance; start-up opens it
// when the switch names a file, and every subsystem writes its events through
// LogEvent, from any thread. A log that cannot be opened is no error: the run
// goes on and nothing is written. Without the switch nothing is written
// anywhere.

#include <windows.h>

#include <mutex>
#include <string>
#include <string_view>

#include "base/WinHandles.h"

class RunLog {
public:
    RunLog() = default;
    RunLog(const RunLog&) = delete;
    RunLog& operator=(const RunLog&) = delete;

    // Creates (or empties) the file; false when it cannot be written, or
    // when it is a reparse point (a symbolic link) or has more than one
    // hard link: such a file is never written.
    bool Open(const std::wstring& path);
    bool IsOpen() const;

    // Appends one timestamped UTF-8 line; whole lines never interleave.
    void Write(std::wstring_view text);

    // Where the Windows Installer writes its own verbose log for the next
    // package: "<log>.<n>.msi.log", n counting from 1, made empty by the rule
    // of Open() and held until the next call, so the installer must append
    // to it. Empty when closed or when that file cannot be used (then that
    // package has no log).
    std::wstring NextMsiLogPath();

private:
    mutable std::mutex m_lock;
    FileHandle m_file;
    FileHandle m_msiLog;  // the current package's log, held against replacement
    std::wstring m_strPath;
    int m_nMsiLogs = 0;
};

// The run's log, closed until start-up opens it.
extern RunLog g_runLog;

inline void LogEvent(std::wstring_view text)
{
    g_runLog.Write(text);
}

// A box's text and answer as a log line; start-up makes it the message box
// observer when the log is open.
void LogMessageBox(const wchar_t* pszText, const wchar_t* pszCaption, int answer);
