#include "wizard/WebAddress.h"

#include <cwctype>

namespace korvex::wizard {

namespace {

// The length of a matching scheme prefix ("http://", "https://"), else 0.
std::size_t WebSchemeLength(const std::wstring& address)
{
    for (const std::wstring scheme : {L"http://", L"https://"}) {
        if (address.size() < scheme.size()) continue;
        std::size_t i = 0;
        while (i < scheme.size() && std::towlower(static_cast<wint_t>(address[i])) == static_cast<wint_t>(scheme[i])) {
            ++i;
        }
        if (i == scheme.size()) return i;
    }
    return 0;
}

}  // namespace

bool IsWebAddress(const std::wstring& address)
{
    const std::size_t schemeLength = WebSchemeLength(address);
    if (schemeLength == 0 || schemeLength == address.size()) return false;
    const wchar_t first = address[schemeLength];
    if (first == L'/' || first == L'\\' || first == L'?' || first == L'#') return false;
    for (const wchar_t c : address) {
        if (c <= 0x20 || c == 0x7F) return false;
    }
    return true;
}

}  // namespace korvex::wizard
