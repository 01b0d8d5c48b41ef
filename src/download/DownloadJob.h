#pragma once

// One URL fetched into one local file on the install worker's thread, with
// one request, progress going to a caller-supplied function. The job honours
// the owner's cancel and pause events and reports, in order: its own start
// (downloading, 0 bytes), every transfer report of the HTTP client, and its
// own record once more when the transfer is over.
//
// The file is made anew (an existing file or link at the path is removed
// first, never written through), and while it is written nobody else may
// write or delete it. After a whole transfer it is reopened for reading with
// the same exclusion, checked to be the file written (not a link or a
// replacement) and, when a SHA-256 was given, to have that hash; a mismatch
// deletes it. The caller takes the open file and holds it for as long as the
// file must not change.

#include <windows.h>

#include <cstdint>
#include <string>
#include <utility>

#include "download/DownloadStatus.h"
#include "download/HttpClient.h"
#include "base/WinHandles.h"

class CDownloadJob final : public IDownloadCallback, public IDownloadTarget {
public:
    // strSha256: 64 hexadecimal digits, or empty for no check.
    CDownloadJob(std::wstring strUrl, std::wstring strLocalPath, std::wstring strSha256 = std::wstring());
    CDownloadJob(const CDownloadJob&) = delete;
    CDownloadJob& operator=(const CDownloadJob&) = delete;

    // pOwner is the install worker, or anything else that exposes its cancel
    // and proceed events as the public members m_hCancelEvent and
    // m_hProceedEvent (raw handles or owners with get()). Without an owner the
    // job does nothing and fails.
    template <class Owner>
    bool Run(Owner* pOwner, DownloadStatusFunction statusFunction)
    {
        if (pOwner == nullptr) {
            return false;
        }
        return RunWithEvents(RawHandle(pOwner->m_hCancelEvent), RawHandle(pOwner->m_hProceedEvent),
                             std::move(statusFunction));
    }

    void OnDownloadStatus(DownloadStatusInfo& status) override;
    HANDLE OpenTargetFile(std::uint64_t nSize) override;

    // After a successful Run: the downloaded file, open for reading; others
    // can read it but neither write nor delete it until it is closed.
    FileHandle TakeDownloadedFile() { return std::move(m_file); }

private:
    template <class Event>
    static HANDLE RawHandle(const Event& event)
    {
        if constexpr (requires { event.get(); }) {
            return event.get();
        } else {
            return event;
        }
    }

    bool RunWithEvents(HANDLE hCancelEvent, HANDLE hProceedEvent, DownloadStatusFunction statusFunction);
    bool KeepDownloadedFile();

    std::wstring m_strUrl;
    std::wstring m_strLocalPath;
    std::wstring m_strSha256;
    std::int64_t m_nExpectedSize = 0;
    FileHandle m_file;
    DownloadStatusFunction m_statusFunction;
};
