#pragma once

// Blocking HTTP(S) GET transfers over one process-wide WinINet session.
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

#include "download/ByteSink.h"
#include "download/CancelRequest.h"
#include "download/DownloadStatus.h"

inline constexpr wchar_t kInternetUserAgent[] = L"Fenwyx Web Installer Client";

// Opens the session when none is open; true when one is open afterwards.
bool OpenInternetSession();
// Closes the session; operations started afterwards fail to connect.
void CloseInternetSession();

// Size of the body at url, or 0 when the server cannot be reached, refuses
// the request (403, 404, below 200, above 500) or sends no usable
// Content-Length. The body is not read.
std::int64_t QueryContentLength(const std::wstring& url);

// Receives the body of a file download once its response is accepted.
class IDownloadTarget {
public:
    // Called once with the response's Content-Length; returns a file open for
    // writing at its start (the target keeps owning it), or
    // INVALID_HANDLE_VALUE to fail the download before a byte is read.
    virtual HANDLE OpenTargetFile(std::uint64_t nSize) = 0;

protected:
    ~IDownloadTarget() = default;
};

// Downloads url with one request: its response must pass the size query's
// rules (status and Content-Length, as QueryContentLength), or the result is
// false with no report and no file asked for. Otherwise the body goes into
// the target's file, reporting every read twice through callback and ending
// with one final report: status Ended, or Cancelled after a 500 ms wait. The
// result is true only when the body arrived whole: a failed read or write, or
// fewer bytes than the Content-Length, make it false with kDownloadFileFailed
// and the error code in the final report. A failure to connect, open or send
// reports its own text. Pause and cancel are observed between reads; a cancel
// also ends a wait on a stalled server at once.
bool DownloadToFile(const ICancelRequest& cancel, const std::wstring& url, IDownloadTarget& target,
                    IDownloadCallback& callback);

// Downloads url into output whatever the response status (an error page is
// written too), sending the header "Content-Type: application/json". False
// when cancelled, when the request could not be made, when the body did not
// arrive whole (failed read, short of its Content-Length, or output failed),
// or when it grew past nLimit bytes (nothing past the limit is written).
// pnHttpStatus, when given, receives the response status (0 when unknown).
bool DownloadToStream(const ICancelRequest& cancel, const std::wstring& url, IByteSink& output, std::uint64_t nLimit,
                      DWORD* pnHttpStatus = nullptr);
