#pragma once

// Shared pieces of the download tests: the loopback servers that ctest
// started for them, served files, the servers' request records, and a
// thread-safe recorder of status reports.

#include <windows.h>

#include <chrono>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "base/WinHandles.h"
#include "download/DownloadStatus.h"
#include "support/TestEvents.h"

enum class TestServer { Http, WrongName, Expired, Untrusted };

// Base URL such as "http://127.0.0.1:41234", or empty when the server's port
// file is missing.
std::wstring ServerBase(TestServer server);
std::wstring ServerUrl(TestServer server, const std::string& path);

// Rules for the plain server ("PATH=ITEMS" lines), replacing earlier ones.
void WriteServerRules(const std::vector<std::string>& rules);
void WriteServedFile(const std::string& path, const std::string& bytes);
// Request records (JSON lines) of one server whose path is exactly path.
std::vector<std::string> RecordedRequests(TestServer server, const std::string& path);

std::string RandomBytes(std::size_t nCount, unsigned nSeed);
// The SHA-256 of bytes in 64 lower-case hexadecimal digits.
std::wstring Sha256Hex(const std::string& bytes);
std::string TestPath(const std::string& name);  // Windows path of a local output file
std::wstring Widen(const std::string& text);
bool ReadLocalFile(const std::string& path, std::string& bytes);
bool LocalFileExists(const std::string& path);

// A port nothing listens on (bound once, then released).
unsigned short ClosedPort();

struct TimedStatus {
    DownloadStatusInfo info;
    std::chrono::steady_clock::time_point when;
};

class StatusRecorder final : public IDownloadCallback {
public:
    void OnDownloadStatus(DownloadStatusInfo& status) override;
    DownloadStatusFunction Function();
    std::vector<TimedStatus> Snapshot() const;
    std::size_t Count() const;
    std::uint64_t LastBytes() const;

private:
    void Add(const DownloadStatusInfo& status);
    mutable std::mutex m_lock;
    std::vector<TimedStatus> m_reports;
};
