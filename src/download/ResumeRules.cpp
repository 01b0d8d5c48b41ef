#include "download/ResumeRules.h"

namespace korvex::download {

namespace {

constexpr std::string_view kRecordHeader = "KorvexPart 1";
constexpr std::size_t kLongestValidator = 200;

// Printable ASCII only, so a validator can never end a header line or
// start another one.
bool IsValidatorText(std::string_view text)
{
    if (text.empty() || text.size() > kLongestValidator) {
        return false;
    }
    for (const char c : text) {
        if (c < 0x20 || c > 0x7E) {
            return false;
        }
    }
    return true;
}

bool IsLowerSha256(std::string_view text)
{
    if (text.size() != 64) {
        return false;
    }
    for (const char c : text) {
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) {
            return false;
        }
    }
    return true;
}

// Decimal digits only, no sign, blank or leading zero, at most kLargestFileSize.
std::optional<std::uint64_t> ParseSize(std::string_view text)
{
    if (text.empty() || text.size() > 10 || (text.size() > 1 && text.front() == '0')) {
        return std::nullopt;
    }
    std::uint64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
    }
    if (value > kLargestFileSize) {
        return std::nullopt;
    }
    return value;
}

bool IsUsable(const PartRecord& record)
{
    return IsLowerSha256(record.m_strSha256) && IsValidatorText(record.m_strValidator) && record.m_nReceived > 0 &&
           record.m_nReceived < record.m_nTotal && record.m_nTotal <= kLargestFileSize;
}

// The next "key value\n" line of text, or nothing when it is not exactly that.
std::optional<std::string_view> TakeLine(std::string_view& text, std::string_view key)
{
    const std::size_t end = text.find('\n');
    if (end == std::string_view::npos) {
        return std::nullopt;
    }
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end + 1);
    if (line.size() <= key.size() || line.substr(0, key.size()) != key || line[key.size()] != ' ') {
        return std::nullopt;
    }
    return line.substr(key.size() + 1);
}

}  // namespace

std::string FormatPartRecord(const PartRecord& record)
{
    if (!IsUsable(record)) {
        return std::string();
    }
    std::string text(kRecordHeader);
    text.append("\nsha256 ").append(record.m_strSha256);
    text.append("\nvalidator ").append(record.m_strValidator);
    text.append("\nreceived ").append(std::to_string(record.m_nReceived));
    text.append("\ntotal ").append(std::to_string(record.m_nTotal)).append("\n");
    return text;
}

std::optional<PartRecord> ParsePartRecord(std::string_view text)
{
    if (text.size() > kPartRecordLimit || text.substr(0, kRecordHeader.size() + 1) != "KorvexPart 1\n") {
        return std::nullopt;
    }
    text.remove_prefix(kRecordHeader.size() + 1);
    const auto sha256 = TakeLine(text, "sha256");
    const auto validator = TakeLine(text, "validator");
    const auto received = TakeLine(text, "received");
    const auto total = TakeLine(text, "total");
    if (!sha256 || !validator || !received || !total || !text.empty()) {
        return std::nullopt;
    }
    PartRecord record;
    record.m_strSha256 = *sha256;
    record.m_strValidator = *validator;
    const auto nReceived = ParseSize(*received);
    const auto nTotal = ParseSize(*total);
    if (!nReceived || !nTotal) {
        return std::nullopt;
    }
    record.m_nReceived = *nReceived;
    record.m_nTotal = *nTotal;
    if (!IsUsable(record)) {
        return std::nullopt;
    }
    return record;
}

std::string Sha256RecordText(std::wstring_view sha256)
{
    if (sha256.size() != 64) {
        return std::string();
    }
    std::string text;
    for (const wchar_t c : sha256) {
        if ((c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'f')) {
            text.push_back(static_cast<char>(c));
        } else if (c >= L'A' && c <= L'F') {
            text.push_back(static_cast<char>(c - L'A' + L'a'));
        } else {
            return std::string();
        }
    }
    return text;
}

std::string ChooseValidator(std::string_view etag, std::string_view lastModified)
{
    if (etag.size() >= 2 && etag.front() == '"' && etag.back() == '"' && IsValidatorText(etag)) {
        return std::string(etag);
    }
    if (IsValidatorText(lastModified)) {
        return std::string(lastModified);
    }
    return std::string();
}

std::string ResumeRequestHeaders(std::uint64_t nOffset, const std::string& validator)
{
    std::string text = "Range: bytes=";
    text.append(std::to_string(nOffset)).append("-\r\nIf-Range: ").append(validator).append("\r\n");
    return text;
}

std::optional<ContentRange> ParseContentRange(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
        text.remove_suffix(1);
    }
    if (text.substr(0, 6) != "bytes ") {
        return std::nullopt;
    }
    text.remove_prefix(6);
    const std::size_t dash = text.find('-');
    const std::size_t slash = text.find('/');
    if (dash == std::string_view::npos || slash == std::string_view::npos || slash < dash) {
        return std::nullopt;
    }
    const std::optional<std::uint64_t> first = ParseSize(text.substr(0, dash));
    const std::optional<std::uint64_t> last = ParseSize(text.substr(dash + 1, slash - dash - 1));
    const std::optional<std::uint64_t> total = ParseSize(text.substr(slash + 1));
    if (!first || !last || !total || *first > *last || *last >= *total) {
        return std::nullopt;
    }
    return ContentRange{*first, *last, *total};
}

ResumeVerdict JudgeResumeAnswer(std::uint32_t nStatus, std::string_view contentRange, std::uint64_t nContentLength,
                                std::uint64_t nOffset, std::uint64_t nTotal)
{
    if (nStatus == 200) {
        return ResumeVerdict::StartOver;
    }
    if (nStatus != 206) {
        return ResumeVerdict::Refused;
    }
    const std::optional<ContentRange> range = ParseContentRange(contentRange);
    if (!range || range->m_nFirst != nOffset || range->m_nTotal != nTotal || range->m_nLast + 1 != nTotal ||
        nContentLength != nTotal - nOffset) {
        return ResumeVerdict::Refused;
    }
    return ResumeVerdict::Append;
}

}  // namespace korvex::download
