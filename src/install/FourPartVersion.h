#pragma once
// A product or client version of four dotted decimal numbers. The third
// number is carried but never compared: releases are told apart by the
// major, minor and fourth numbers only.

#include <cstdint>
#include <string_view>

namespace korvex::install {

struct FourPartVersion {
    std::uint32_t m_nMajor = 0;
    std::uint32_t m_nMinor = 0;
    std::uint32_t m_nThird = 0;
    std::uint32_t m_nFourth = 0;
};

// Texts shorter than seven characters, and texts that do not split into
// exactly four non-empty pieces at ".", read as 0.0.0.0. Each piece converts
// like the C library's decimal conversion ("-1" wraps to 4294967295).
FourPartVersion ParseVersion(std::wstring_view text);

// Same major, a minor at least as high, and a strictly higher fourth number.
bool IsNewerInSameMajor(const FourPartVersion& candidate, const FourPartVersion& base);

// A higher major, or newer within the same major.
bool IsNewer(const FourPartVersion& candidate, const FourPartVersion& base);

}  // namespace korvex::install
