#pragma once

// Progress of one file download, as the HTTP client and the download job
// report it. Plain data without Windows types, so pure code can use it too.

#include <cstdint>
#include <functional>
#include <string>

namespace DownloadStatus {
inline constexpr std::int32_t Idle = 0;
inline constexpr std::int32_t Downloading = 2;
// The transfer ended; whether it succeeded is the operation's result.
inline constexpr std::int32_t Ended = 3;
inline constexpr std::int32_t Cancelled = 4;
// Not started because a cancel was already requested, or ended by an exception.
inline constexpr std::int32_t NotStarted = 5;
}  // namespace DownloadStatus

inline constexpr wchar_t kInternetConnectFailed[] = L"InternetConnect Failed.";
inline constexpr wchar_t kHttpOpenRequestFailed[] = L"HttpOpenRequest Failed.";
inline constexpr wchar_t kHttpSendRequestFailed[] = L"HttpSendRequest Failed.";
inline constexpr wchar_t kDownloadFileFailed[] = L"Internet download file Failed";

struct DownloadStatusInfo {
    std::int32_t m_nStatus = DownloadStatus::Idle;
    std::uint64_t m_nBytesReceived = 0;  // of the file so far: a part resumed counts
    std::uint64_t m_nExpectedSize = 0;   // the whole file's size; 0 when not known
    std::uint32_t m_nErrorCode = 0;      // the system's last error, or 0
    std::wstring m_strErrorText;
};

class IDownloadCallback {
public:
    // The record may be amended by the receiver before it is passed on.
    virtual void OnDownloadStatus(DownloadStatusInfo& status) = 0;

protected:
    ~IDownloadCallback() = default;
};

using DownloadStatusFunction = std::function<void(const DownloadStatusInfo&)>;
