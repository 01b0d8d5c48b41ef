#pragma once
// Decimal text to int the way the C library's wide-string conversion reads
// it: leading white space and a sign are allowed, the leading digits count,
// anything without leading digits is 0. Out-of-range values saturate.

#include <string_view>

namespace korvex::config {

int DecimalTextToInt(std::wstring_view text);

}  // namespace korvex::config
