#pragma once
// Starts the harness programs from a test and waits for them.

#include <windows.h>

#include <string>

#include "base/WinHandles.h"

std::wstring HarnessProgram(const wchar_t* name);     // <build>\bin\<name>
std::wstring TestScratchFolder(const wchar_t* name);  // a new, empty folder under %TEMP%
std::string ReadWholeFile(const std::wstring& path);
bool WriteWholeFile(const std::wstring& path, const std::string& bytes);
// Runs a command line to its end; false when it cannot start or outlasts the timeout.
bool RunToEnd(const std::wstring& commandLine, DWORD& exitCode, DWORD timeoutMilliseconds = 30000);

class ChildProcess {
public:
    ChildProcess() = default;
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    bool Start(const std::wstring& commandLine);
    // Exit code after waiting; STILL_ACTIVE when the wait timed out.
    DWORD Wait(DWORD timeoutMilliseconds);

private:
    KernelHandle m_hProcess;
    KernelHandle m_hThread;
};
