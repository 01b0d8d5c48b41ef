#include "download/TransferRules.h"

bool IsSizeQueryStatusAccepted(std::uint32_t nStatus)
{
    if (nStatus == 403 || nStatus == 404) {
        return false;
    }
    return nStatus >= 200 && nStatus <= 500;
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
        return 0;
    }
    std::int64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return 0;
        }
        value = value * 10 + (c - '0');
        if (value > kLargest) {
            return 0;
        }
    }
    return value;
}

bool IsBatchDue(std::size_t nHeld, std::size_t nLastRead)
{
    return nHeld + kFileReadSize > kFileBatchSize || nLastRead < kFileReadSize;
}
