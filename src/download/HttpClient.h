#pragma once

// Blocking HTTP(S) GET transfers over one process-wide WinINet session.
//
// The session is opened once (the client validator at start-up, or the
// progress page before the install worker starts) and closed at exit; every
// operation connects through it and closes its own connection and request
// handles on every path. File writes of all downloads share one lock, so the
// seek and write of one batch never interleave with another download's.
// Operations run on background threads and never touch a window.

#include <windows.h>

#include <cstdint>
#include <iosfwd>
#include <string>

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

// Downloads url into hFile (open for writing, positioned at its start),
// reporting every read twice through callback and ending with one final
// report: status Ended, or Cancelled after a 500 ms wait. The result is true
// only when the body arrived whole: a failed read or write, or fewer bytes than
// nExpectedSize (or, when that is 0, than the response's own Content-Length),
// make it false with kDownloadFileFailed and the error code in the final
// report. Set-up failures report their own texts. Pause and cancel are
// observed between reads.
bool DownloadToFile(const ICancelRequest& cancel, const std::wstring& url, HANDLE hFile, IDownloadCallback& callback,
                    std::uint64_t nExpectedSize = 0);

// Downloads url into output whatever the response status (an error page is
// written too), sending the header "Content-Type: application/json". False
// when cancelled, when the request could not be made, or when the body did not
// arrive whole (failed read, short of its Content-Length, or output failed).
// pnHttpStatus, when given, receives the response status (0 when unknown).
bool DownloadToStream(const ICancelRequest& cancel, const std::wstring& url, std::ostream& output,
                      DWORD* pnHttpStatus = nullptr);
