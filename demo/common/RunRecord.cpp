#include "RunRecord.h"

#include <windows.h>

#include <cstdio>
#include <vector>

namespace {

class FileHandle {
public:
    explicit FileHandle(HANDLE handle) : m_hFile(handle) {}
    ~FileHandle()
    {
        if (valid()) CloseHandle(m_hFile);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    bool valid() const { return m_hFile != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return m_hFile; }

private:
    HANDLE m_hFile;
};

std::string ToUtf8(const std::wstring& text)
{
    if (text.empty()) return {};
    int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), (int)text.size(), nullptr, 0, nullptr, nullptr);
    std::string out(size > 0 ? size : 0, '\0');
    if (size > 0) WideCharToMultiByte(CP_UTF8, 0, text.c_str(), (int)text.size(), out.data(), size, nullptr, nullptr);
    return out;
}

}  // namespace

std::wstring RunRecordPath(const wchar_t* environmentVariable, const wchar_t* fallbackSuffix)
{
    DWORD needed = GetEnvironmentVariableW(environmentVariable, nullptr, 0);
    if (needed > 1) {
        std::vector<wchar_t> value(needed);
        DWORD length = GetEnvironmentVariableW(environmentVariable, value.data(), needed);
        if (length > 0 && length < needed) return std::wstring(value.data(), length);
    }
    std::vector<wchar_t> module(MAX_PATH);
    for (;;) {
        DWORD length = GetModuleFileNameW(nullptr, module.data(), (DWORD)module.size());
        if (length == 0) return {};
        if (length < module.size()) return std::wstring(module.data(), length) + fallbackSuffix;
        module.resize(module.size() * 2);
    }
}

bool AppendRunRecord(const std::wstring& recordPath, const wchar_t* commandLine)
{
    if (recordPath.empty()) return false;
    SYSTEMTIME now;
    GetLocalTime(&now);
    wchar_t stamp[32];
    swprintf(stamp, 32, L"%04u-%02u-%02u %02u:%02u:%02u.%03u\t", now.wYear, now.wMonth, now.wDay, now.wHour,
             now.wMinute, now.wSecond, now.wMilliseconds);
    std::string line = ToUtf8(std::wstring(stamp) + (commandLine ? commandLine : L"") + L"\n");

    // Several starts may race (a test and a shell launch): append atomically.
    FileHandle file(CreateFileW(recordPath.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) return false;
    DWORD written = 0;
    return WriteFile(file.get(), line.data(), (DWORD)line.size(), &written, nullptr) && written == line.size();
}
