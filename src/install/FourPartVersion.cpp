#include "install/FourPartVersion.h"

#include <array>
#include <cstddef>

#include "config/DecimalText.h"

using namespace korvex::config;

namespace korvex::install {

FourPartVersion ParseVersion(std::wstring_view text)
{
    if (text.size() < 7) {
        return {};
    }
    std::array<std::uint32_t, 4> pieces{};
    std::size_t count = 0;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find(L'.', start);
        if (end == std::wstring_view::npos) {
            end = text.size();
        }
        if (end > start) {
            if (count == pieces.size()) {
                return {};
            }
            pieces[count++] = static_cast<std::uint32_t>(DecimalTextToInt(text.substr(start, end - start)));
        }
        start = end + 1;
    }
    if (count != pieces.size()) {
        return {};
    }
    return FourPartVersion{pieces[0], pieces[1], pieces[2], pieces[3]};
}

bool IsNewerInSameMajor(const FourPartVersion& candidate, const FourPartVersion& base)
{
    return candidate.m_nMajor == base.m_nMajor && candidate.m_nMinor >= base.m_nMinor &&
           candidate.m_nFourth > base.m_nFourth;
}

bool IsNewer(const FourPartVersion& candidate, const FourPartVersion& base)
{
    return candidate.m_nMajor > base.m_nMajor || IsNewerInSameMajor(candidate, base);
}

}  // namespace korvex::install
