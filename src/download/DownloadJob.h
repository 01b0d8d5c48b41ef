#pragma once

// One URL fetched into one local file on the install worker's thread, with
// progress going to a caller-supplied function. The job honours the owner's
// cancel and pause events and reports, in order: its own start (downloading,
// 0 bytes), every transfer report of the HTTP client, and its own record
// once more when the transfer is over.

#include <windows.h>

#include <cstdint>
#include <string>
#include <utility>

#include "download/DownloadStatus.h"

class CDownloadJob final : public IDownloadCallback {
public:
    CDownloadJob(std::wstring strUrl, std::wstring strLocalPath);
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

    std::wstring m_strUrl;
    std::wstring m_strLocalPath;
    std::int64_t m_nExpectedSize = 0;
    DownloadStatusFunction m_statusFunction;
};
