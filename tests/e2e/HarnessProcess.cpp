#include "HarnessProcess.h"

#include <vector>

#include "base/WinHandles.h"

std::wstring HarnessProgram(const wchar_t* name)
{
    std::string binary = KORVEX_BINARY_DIR;
    return std::wstring(binary.begin(), binary.end()) + L"\\bin\\" + name;
}

std::wstring TestScratchFolder(const wchar_t* name)
{
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, temp);
    // Wine hands out the same small process ids run after run: count up to a
    // folder that did not exist, so no file of an earlier run is found.
    std::wstring base = std::wstring(temp) + L"korvex-e2e-" + name + L"-" + std::to_wstring(GetTickCount());
    for (int attempt = 0;; ++attempt) {
        std::wstring folder = base + L"-" + std::to_wstring(attempt);
        if (CreateDirectoryW(folder.c_str(), nullptr)) return folder;
        if (GetLastError() != ERROR_ALREADY_EXISTS || attempt > 1000) return folder;
    }
}

std::string ReadWholeFile(const std::wstring& path)
{
    const FileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return {};
    std::string bytes;
    char buffer[8192];
    DWORD got = 0;
    while (ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
    return bytes;
}

bool WriteWholeFile(const std::wstring& path, const std::string& bytes)
{
    const FileHandle file(
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    DWORD written = 0;
    return WriteFile(file.get(), bytes.data(), (DWORD)bytes.size(), &written, nullptr) && written == bytes.size();
}

bool ChildProcess::Start(const std::wstring& commandLine)
{
    std::vector<wchar_t> line(commandLine.begin(), commandLine.end());
    line.push_back(L'\0');
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        return false;
    }
    m_hProcess.reset(process.hProcess);
    m_hThread.reset(process.hThread);
    return true;
}

DWORD ChildProcess::Wait(DWORD timeoutMilliseconds)
{
    if (!m_hProcess || WaitForSingleObject(m_hProcess.get(), timeoutMilliseconds) != WAIT_OBJECT_0) return STILL_ACTIVE;
    DWORD exitCode = STILL_ACTIVE;
    GetExitCodeProcess(m_hProcess.get(), &exitCode);
    return exitCode;
}

bool RunToEnd(const std::wstring& commandLine, DWORD& exitCode, DWORD timeoutMilliseconds)
{
    ChildProcess child;
    if (!child.Start(commandLine)) return false;
    exitCode = child.Wait(timeoutMilliseconds);
    return exitCode != STILL_ACTIVE;
}
