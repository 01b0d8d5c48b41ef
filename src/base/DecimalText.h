#pragma once
// Integers as decimal text. The C library's printf family (std::to_wstring
// and std::snprintf use it) would bring its whole formatting and
// floating-point machinery into the program people download.

#include <string>
#include <type_traits>

namespace korvex::base {

// At least minDigits digits, zeros in front; a minus sign before them.
template <class Char = wchar_t, class Integer>
std::basic_string<Char> DecimalText(Integer value, std::size_t minDigits = 1)
{
    static_assert(std::is_integral_v<Integer>, "integers only");
    using Unsigned = std::make_unsigned_t<Integer>;
    auto magnitude = static_cast<Unsigned>(value);
    bool negative = false;
    if constexpr (std::is_signed_v<Integer>) {
        if (value < 0) {
            negative = true;
            magnitude = static_cast<Unsigned>(Unsigned{0} - magnitude);
        }
    }
    std::basic_string<Char> text;
    do {
        text.insert(text.begin(), static_cast<Char>('0' + magnitude % 10));
        magnitude = static_cast<Unsigned>(magnitude / 10);
    } while (magnitude != 0);
    if (text.size() < minDigits) text.insert(0, minDigits - text.size(), static_cast<Char>('0'));
    if (negative) text.insert(text.begin(), static_cast<Char>('-'));
    return text;
}

}  // namespace korvex::base
