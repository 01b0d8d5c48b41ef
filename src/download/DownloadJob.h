#pragma once

// One URL fetched into one local file on the install worker's thread, in up
// to the manifest's number of attempts (TransferAttempts), progress going to
// a caller-supplied function. The job honours the owner's cancel and pause
// events and reports, in order: its own start (downloading, 0 bytes), every
// transfer report of the HTTP client for each attempt, and its own record
// once more when the transfer is over. Bytes received count a part resumed,
// so the progress of a retried file goes on where it was.
//
// A file is made anew (an existing file or link at the path is removed
// first, never written through), and while it is written nobody else may
// write or delete it. After a whole transfer it is reopened for reading with
// the same exclusion, checked to be the file written (not a link or a
// replacement) and, when a SHA-256 was given, to have that hash; a mismatch
// deletes it. The caller takes the open file and holds it for as long as the
// file must not change.
//
// With a SHA-256 an earlier file is put to use: a complete one that matches
// is held and not downloaded again (reused); a part left by a failed attempt
// or run, with its record beside it ("<file>.resume", ResumeRules.h), is
// continued with a request for the rest. A failed download leaves such a part
// and its record when the answer named a validator; anything else is
// removed. Without a SHA-256 nothing is resumed or reused.

#include <windows.h>

#include <cstdint>
#include <string>
#include <utility>

#include "base/WinHandles.h"
#include "download/CancelRequest.h"
#include "download/DownloadStatus.h"
#include "download/HttpClient.h"

class CDownloadJob final : public IDownloadCallback, public IDownloadTarget {
public:
    // strSha256: 64 hexadecimal digits, or empty for no check. nAttempts: how
    // often a passing failure is tried (1 to 10).
    CDownloadJob(std::wstring strUrl, std::wstring strLocalPath, std::wstring strSha256 = std::wstring(),
                 int nAttempts = 1);
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
    HANDLE OpenTargetFile(const FilePart& answer) override;

    // After a successful Run: the downloaded file, open for reading; others
    // can read it but neither write nor delete it until it is closed.
    FileHandle TakeDownloadedFile() { return std::move(m_file); }
    // After a successful Run: true when a complete earlier file was used.
    bool Reused() const { return m_bReused; }

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
    bool Download(const ICancelRequest& cancel);
    korvex::download::AttemptOutcome Attempt(const ICancelRequest& cancel);
    korvex::download::AttemptCause KeepDownloadedFile();
    // With a SHA-256: reuses a complete earlier file, or takes over a part
    // that its record describes. True when the file is reused.
    bool UseEarlierFile();
    bool TakeOverPart();
    // After a failed attempt: keeps what arrived as a part with its record,
    // or removes it.
    void KeepPartOrRemove(korvex::download::AttemptCause cause);
    void RemoveFileAndRecord();
    std::wstring RecordPath() const { return m_strLocalPath + L".resume"; }

    std::wstring m_strUrl;
    std::wstring m_strLocalPath;
    std::wstring m_strSha256;
    int m_nAttempts;
    std::int64_t m_nExpectedSize = 0;
    FileHandle m_file;
    // The part held (m_nOffset 0: none), and what the current answer brings.
    FilePart m_part;
    FilePart m_answer;
    bool m_bReused = false;
    DownloadStatusFunction m_statusFunction;
};
