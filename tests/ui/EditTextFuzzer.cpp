// Feeds arbitrary text and limits to the edit box's text rules: nothing may
// read or write out of bounds, and the results must stay well formed.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "ui/EditNumeric.h"

using namespace korvex::ui;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 4) return 0;
    const int decimals = static_cast<std::int8_t>(data[0]);
    const bool group = data[1] & 1;
    const bool useMin = data[1] & 2;
    const bool useMax = data[1] & 4;
    std::wstring text;
    for (std::size_t i = 4; i < size; ++i) text.push_back(static_cast<wchar_t>(data[i]));

    const std::wstring grouped = GroupThousands(text);
    if (grouped.size() < text.size() || grouped.size() > text.size() + 1) __builtin_trap();
    ParseEditInteger(text);
    ParseEditDecimal(text);
    const int limit = static_cast<std::int16_t>(data[2] | (data[3] << 8));
    StepInteger(text, data[1] & 8, IntegerLimits{-limit, limit, useMin, useMax});
    StepDecimal(text, data[1] & 16, DecimalLimits{-limit / 10.0, limit * 10.0, useMin, useMax, decimals, group});
    for (std::size_t i = 4; i < size; ++i) EditAcceptsChar(data[1] % 3, group, static_cast<wchar_t>(data[i]));
    return 0;
}
