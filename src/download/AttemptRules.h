#pragma once

// Why one attempt of a download ended, and what follows from it: whether the
// download is tried again, and after how long. Every download of a run (the
// server manifest, the newer client, every planned file) goes through these
// rules, so that a dropped connection or a busy server costs a short wait
// instead of the installation, while an answer that will not change (403,
// 404, a file whose hash differs) ends the download at once.

#include <cstdint>
#include <string_view>

namespace korvex::download {

enum class AttemptCause {
    None,                // the attempt succeeded
    UrlRejected,         // the address cannot be parsed
    NoConnection,        // no connection, or the request could not be sent
    CertificateRefused,  // the server's certificate is not trusted: the next attempt meets the same one
    CutShort,            // a reset, a failed read, or a body short of its length
    TimedOut,            // silence past the time-out, or the transfer's deadline
    RefusedStatus,       // a final status that is no success (see m_nHttpStatus)
    LengthUnusable,      // a missing or unusable Content-Length
    TooLong,             // more than the Content-Length, or past the transfer's cap
    RangeMismatch,       // a partial answer that does not continue the part
    HashMismatch,        // the whole body arrived, its SHA-256 differs
    JoinedMismatch,      // a part and its rest joined, their SHA-256 differs: start over
    LocalFile,           // the local file could not be made or written
    Cancelled,
};

inline constexpr std::int32_t kNoRetryAfter = -1;

struct AttemptOutcome {
    AttemptCause m_cause = AttemptCause::None;
    std::uint32_t m_nHttpStatus = 0;                    // 0 when no answer came
    std::int32_t m_nRetryAfterSeconds = kNoRetryAfter;  // the answer's Retry-After in seconds

    bool Succeeded() const { return m_cause == AttemptCause::None; }
};

// 408, 429 and 500 to 599: the server may answer otherwise a moment later.
bool IsTransientStatus(std::uint32_t nStatus);

// True when another attempt may succeed where this one failed: no
// connection, a reset or cut-short body, a time-out, a transient status, or a
// partial answer that did not fit the part, or a part and its rest that do
// not make the file (the next attempt starts over).
bool IsRetryable(const AttemptOutcome& outcome);

// Seconds to wait before the attempt after nFailedAttempts failures (1 for
// the first retry): 1, 2, 4, ... at most 30, unless the server named 0 to 60
// seconds in its Retry-After.
std::uint32_t RetryWaitSeconds(int nFailedAttempts, std::int32_t nRetryAfterSeconds);

// A Retry-After header's delay in seconds (decimal, blanks around allowed),
// or kNoRetryAfter for anything else (an HTTP date, a sign, overflow).
std::int32_t ParseRetryAfter(std::string_view text);

// The cause in words for the run log ("the connection was cut short").
const wchar_t* AttemptCauseText(AttemptCause cause);

}  // namespace korvex::download
