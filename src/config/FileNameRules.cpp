#include "config/FileNameRules.h"

#include <cwctype>

namespace korvex::config {

namespace {

constexpr std::size_t kMaximumNameLength = 200;

bool IsForbiddenInFileName(wchar_t c)
{
    return c < 0x20 || c == L'\\' || c == L'/' || c == L':' || c == L'*' || c == L'?' || c == L'"' || c == L'<' ||
           c == L'>' || c == L'|';
}

bool IsDeviceDigit(wchar_t c)
{
    // Windows also reserves COM and LPT with superscript one to three.
    return (c >= L'1' && c <= L'9') || c == L'\u00B9' || c == L'\u00B2' || c == L'\u00B3';
}

bool EqualsUpper(const std::wstring& text, const wchar_t* upper)
{
    std::size_t i = 0;
    for (; i < text.size() && upper[i] != L'\0'; ++i) {
        if (std::towupper(static_cast<wint_t>(text[i])) != static_cast<wint_t>(upper[i])) return false;
    }
    return i == text.size() && upper[i] == L'\0';
}

// The device name rule looks at the part before the first dot, without
// trailing spaces: "nul.txt" and "COM1 .log" open devices too.
bool IsDeviceName(const std::wstring& name)
{
    std::wstring stem = name.substr(0, name.find(L'.'));
    while (!stem.empty() && stem.back() == L' ') stem.pop_back();
    for (const wchar_t* device : {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"}) {
        if (EqualsUpper(stem, device)) return true;
    }
    return stem.size() == 4 && (EqualsUpper(stem.substr(0, 3), L"COM") || EqualsUpper(stem.substr(0, 3), L"LPT")) &&
           IsDeviceDigit(stem[3]);
}

}  // namespace

bool IsPlainFileName(const std::wstring& name)
{
    if (name.empty() || name.size() >= kMaximumNameLength || name == L"." || name == L"..") return false;
    if (name.back() == L'.' || name.back() == L' ') return false;
    for (const wchar_t c : name) {
        if (IsForbiddenInFileName(c)) return false;
    }
    return !IsDeviceName(name);
}

std::wstring ToFileName(const std::wstring& text)
{
    std::wstring name = text;
    for (wchar_t& c : name) {
        if (IsForbiddenInFileName(c)) c = L'_';
    }
    if (name.empty() || IsDeviceName(name)) name.insert(name.begin(), L'_');
    return name;
}

}  // namespace korvex::config
