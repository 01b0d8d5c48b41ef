#include "download/AttemptRules.h"

#include <algorithm>

namespace korvex::download {

namespace {

constexpr std::uint32_t kLongestBackOffSeconds = 30;
constexpr std::int32_t kLongestRetryAfterSeconds = 60;

std::string_view TrimBlanks(std::string_view text)
{
    const auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && isBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

}  // namespace

bool IsTransientStatus(std::uint32_t nStatus)
{
    return nStatus == 408 || nStatus == 429 || (nStatus >= 500 && nStatus <= 599);
}

bool IsRetryable(const AttemptOutcome& outcome)
{
    switch (outcome.m_cause) {
        case AttemptCause::NoConnection:
        case AttemptCause::CutShort:
        case AttemptCause::TimedOut:
        case AttemptCause::RangeMismatch:
        case AttemptCause::JoinedMismatch:
            return true;
        case AttemptCause::RefusedStatus:
            return IsTransientStatus(outcome.m_nHttpStatus);
        default:
            return false;
    }
}

std::uint32_t RetryWaitSeconds(int nFailedAttempts, std::int32_t nRetryAfterSeconds)
{
    if (nRetryAfterSeconds >= 0 && nRetryAfterSeconds <= kLongestRetryAfterSeconds) {
        return static_cast<std::uint32_t>(nRetryAfterSeconds);
    }
    // 2^5 already passes the longest wait; the shift never grows past it.
    const int nDoublings = std::clamp(nFailedAttempts - 1, 0, 5);
    return std::min<std::uint32_t>(1u << nDoublings, kLongestBackOffSeconds);
}

std::int32_t ParseRetryAfter(std::string_view text)
{
    text = TrimBlanks(text);
    if (text.empty() || text.size() > 9) {
        return kNoRetryAfter;
    }
    std::int32_t nSeconds = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return kNoRetryAfter;
        }
        nSeconds = nSeconds * 10 + (c - '0');
    }
    return nSeconds;
}

const wchar_t* AttemptCauseText(AttemptCause cause)
{
    switch (cause) {
        case AttemptCause::None:
            return L"succeeded";
        case AttemptCause::UrlRejected:
            return L"the address cannot be used";
        case AttemptCause::NoConnection:
            return L"no connection";
        case AttemptCause::CertificateRefused:
            return L"the server's certificate is not trusted";
        case AttemptCause::CutShort:
            return L"the transfer was cut short";
        case AttemptCause::TimedOut:
            return L"timed out";
        case AttemptCause::RefusedStatus:
            return L"the server refused";
        case AttemptCause::LengthUnusable:
            return L"no usable Content-Length";
        case AttemptCause::TooLong:
            return L"the body was longer than allowed";
        case AttemptCause::RangeMismatch:
            return L"the partial answer did not continue the part";
        case AttemptCause::HashMismatch:
            return L"the SHA-256 differs";
        case AttemptCause::JoinedMismatch:
            return L"the resumed file's SHA-256 differs";
        case AttemptCause::LocalFile:
            return L"the local file could not be written";
        case AttemptCause::Cancelled:
            return L"cancelled";
    }
    return L"unknown";
}

}  // namespace korvex::download
