#include "download/TransferRules.h"

namespace korvex::download {

bool IsSuccessStatus(std::uint32_t nStatus)
{
    return nStatus >= 200 && nStatus <= 299;
}

std::int64_t ParseContentLength(std::string_view text)
{
    constexpr std::int64_t kLargest = 2147483647;
    const auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && isBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isBlank(text.back())) {
        text.remove_suffix(1);
    }
    if (text.empty()) {
        return kUnusableLength;
    }
    std::int64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return kUnusableLength;
        }
        value = value * 10 + (c - '0');
        if (value > kLargest) {
            return kUnusableLength;
        }
    }
    return value;
}

bool IsBatchDue(std::size_t nHeld, std::size_t nLastRead)
{
    return nHeld + kFileReadSize > kFileBatchSize || nLastRead < kFileReadSize;
}

bool IsSha256Text(std::wstring_view text, const Sha256Digest& digest)
{
    if (text.size() != 2 * digest.size()) {
        return false;
    }
    const auto nibble = [](wchar_t c) -> int {
        if (c >= L'0' && c <= L'9') {
            return c - L'0';
        }
        if (c >= L'a' && c <= L'f') {
            return c - L'a' + 10;
        }
        if (c >= L'A' && c <= L'F') {
            return c - L'A' + 10;
        }
        return -1;
    };
    for (std::size_t i = 0; i < digest.size(); ++i) {
        const int high = nibble(text[2 * i]);
        const int low = nibble(text[2 * i + 1]);
        if (high < 0 || low < 0 || ((high << 4) | low) != digest[i]) {
            return false;
        }
    }
    return true;
}

}  // namespace korvex::download
