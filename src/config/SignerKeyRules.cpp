#include "config/SignerKeyRules.h"

namespace korvex::config {

namespace {

constexpr std::size_t kSignerKeyDigits = 64;

bool IsHexDigit(wchar_t c)
{
    return (c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'f') || (c >= L'A' && c <= L'F');
}

}  // namespace

bool IsSignerKeyText(const std::wstring& text)
{
    if (text.size() != kSignerKeyDigits) return false;
    for (const wchar_t c : text) {
        if (!IsHexDigit(c)) return false;
    }
    return true;
}

std::wstring LowerCaseSignerKey(const std::wstring& text)
{
    std::wstring lower = text;
    for (wchar_t& c : lower) {
        if (c >= L'A' && c <= L'F') c = static_cast<wchar_t>(c - L'A' + L'a');
    }
    return lower;
}

std::wstring SignerKeyText(const std::array<unsigned char, 32>& digest)
{
    static const wchar_t kDigits[] = L"0123456789abcdef";
    std::wstring text;
    for (const unsigned char byte : digest) {
        text += kDigits[byte >> 4];
        text += kDigits[byte & 0xF];
    }
    return text;
}

}  // namespace korvex::config
