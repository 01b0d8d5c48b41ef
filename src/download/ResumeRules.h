#pragma once

// Resuming a file download whose entry names its SHA-256: the part that
// arrived stays in the work folder with a small record of our own beside it
// (which version of the file it belongs to, how much of it is there), and
// the next attempt, in this run or a later one, asks only for the rest.
//
// The record lies in a folder that others may write, so its text is parsed
// as hostile input: one fixed layout, every value checked, nothing that could
// reach a request header unchecked. A record that fails any check is no
// record. The final SHA-256 decides whatever the record said.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace korvex::download {

struct PartRecord {
    std::string m_strSha256;     // the entry's SHA-256, 64 lower-case hexadecimal digits
    std::string m_strValidator;  // a strong ETag (quoted) or a Last-Modified date
    std::uint64_t m_nReceived = 0;
    std::uint64_t m_nTotal = 0;  // the whole file's size

    bool operator==(const PartRecord&) const = default;
};

// The largest file a download may have: a Content-Length above it is unusable.
inline constexpr std::uint64_t kLargestFileSize = 2147483647;
// A record file is never longer than this.
inline constexpr std::size_t kPartRecordLimit = 1024;

// The record's text; only a record that would parse back is formatted
// (otherwise the result is empty and nothing should be written).
std::string FormatPartRecord(const PartRecord& record);
std::optional<PartRecord> ParsePartRecord(std::string_view text);

// 64 hexadecimal digits (either case) in lower case, or empty for anything else.
std::string Sha256RecordText(std::wstring_view sha256);

// What If-Range may name: the answer's strong ETag, else its Last-Modified
// date, else nothing (a part without a validator cannot be resumed). A weak
// ETag ("W/...") is no validator for If-Range.
std::string ChooseValidator(std::string_view etag, std::string_view lastModified);

// "Range: bytes=N-" and "If-Range: <validator>" header lines, each ended by CR LF.
std::string ResumeRequestHeaders(std::uint64_t nOffset, const std::string& validator);

struct ContentRange {
    std::uint64_t m_nFirst = 0;
    std::uint64_t m_nLast = 0;
    std::uint64_t m_nTotal = 0;
};

// "bytes FIRST-LAST/TOTAL" with FIRST <= LAST < TOTAL <= kLargestFileSize.
std::optional<ContentRange> ParseContentRange(std::string_view text);

enum class ResumeVerdict {
    Append,     // a 206 that continues the part at its end, for the same file
    StartOver,  // a 200: the whole file comes again
    Refused,    // anything else fails the attempt
};

// The answer to a request for the rest of a part of nOffset bytes of a file
// of nTotal bytes.
ResumeVerdict JudgeResumeAnswer(std::uint32_t nStatus, std::string_view contentRange, std::uint64_t nContentLength,
                                std::uint64_t nOffset, std::uint64_t nTotal);

}  // namespace korvex::download
