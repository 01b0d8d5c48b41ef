#pragma once

// Blocking HTTP(S) GET transfers over one process-wide WinINet session, one
// attempt each: whether to try again is the caller's (TransferAttempts).
//
// The session is opened once (by start-up before the client check, or by the
// progress page before the install worker starts; never during static
// initialisation) and closed at exit. It is asynchronous
// underneath so that every wait is bounded: 30 s to connect, 60 s without a
// byte sent or received, so a stalled server ends a transfer instead of the
// run, and a cancel ends a wait at once. Every operation connects through it
// and closes its own connection and request handles on every path. Every
// request is made by one function of HttpClient.cpp (OpenRequest), the place to
// observe requests. File writes of all downloads share one lock, so the seek
// and write of one batch never interleave with another download's. Operations
// run on background threads and never touch a window.

#include <windows.h>

#include <cstdint>
#include <string>

#include "download/AttemptRules.h"
#include "download/ByteSink.h"
#include "download/CancelRequest.h"
#include "download/DownloadStatus.h"

inline constexpr wchar_t kInternetUserAgent[] = L"Fenwyx Web Installer Client";

// Opens the session when none is open; true when one is open afterwards.
bool OpenInternetSession();
// Closes the session; operations started afterwards fail to connect. While a
// request that ended early is still being closed (InternetRequest.h), the
// session is left open to the process's end instead: closing it would wait.
void CloseInternetSession();

// Where a file's body starts and what it belongs to: for a request, the part
// already held (m_nOffset bytes of a file of m_nTotal, m_strValidator its
// If-Range validator; an offset of 0 asks for the whole file); for an answer,
// where its body goes in the file, the whole file's size and the answer's
// own validator (empty when it names none).
struct FilePart {
    std::uint64_t m_nOffset = 0;
    std::uint64_t m_nTotal = 0;
    std::string m_strValidator;
};

// Receives the body of a file download once its answer is accepted.
class IDownloadTarget {
public:
    // Called once with the accepted answer; returns the file open for writing
    // (the target keeps owning it), or INVALID_HANDLE_VALUE to fail the
    // download before a byte is read. The body is written from answer.m_nOffset.
    virtual HANDLE OpenTargetFile(const FilePart& answer) = 0;

protected:
    ~IDownloadTarget() = default;
};

// One attempt at a file: one GET of url, asking only for the rest of a held
// part when resume.m_nOffset is not 0 ("Range" with "If-Range"). The answer
// is accepted only with a 2xx status, a usable Content-Length above 0 and,
// for a part, a 206 that continues it or a 200 that starts the file over;
// otherwise the outcome says why, with no report and no file asked for.
// The body goes into the target's file, every read reported twice through
// callback (bytes received count the part already held; expected is the
// whole file), ending with one final report: status Ended, or Cancelled after
// a 500 ms wait. The outcome succeeds only when the body is exactly its
// Content-Length; a failed read or write, a short or a longer body fail it
// with kDownloadFileFailed in the final report. A failure to connect, open or
// send reports its own text. Pause and cancel are observed between reads; a
// cancel also ends a wait on a stalled server at once.
korvex::download::AttemptOutcome DownloadToFile(const ICancelRequest& cancel, const std::wstring& url,
                                                const FilePart& resume, IDownloadTarget& target,
                                                IDownloadCallback& callback);

struct StreamLimits {
    std::uint64_t m_nCap = 0;           // bytes the body may bring at most
    std::uint64_t m_nDeadlineTick = 0;  // GetTickCount64() past which it times out; 0: none
    bool m_bSuccessOnly = false;        // only a 2xx answer's body is written
};

// One attempt at a stream: url's body into output, sending the header
// "Content-Type: application/json". Whatever the status (unless
// m_bSuccessOnly), an answer's body is written and the outcome carries the
// status. It fails when cancelled, when the request could not be made, when
// the body did not arrive whole (a failed read, short of its Content-Length,
// or output failed), when its Content-Length is unusable, when it is longer
// than that length or the cap (nothing past the cap is written), or when the
// deadline passes.
korvex::download::AttemptOutcome DownloadToStream(const ICancelRequest& cancel, const std::wstring& url,
                                                  IByteSink& output, const StreamLimits& limits);
