#include "install/HomePageCapture.h"

namespace {

constexpr std::wstring_view kServerPropertyPrefix = L"Property(S):";
constexpr std::wstring_view kHomePageProperty = L"InstallHomepageURL =";

wchar_t AsciiLower(wchar_t c) {
    return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

bool StartsWithIgnoringCase(std::wstring_view text, std::wstring_view prefix) {
    if (text.size() < prefix.size()) {
        return false;
    }
    for (std::wstring_view::size_type i = 0; i < prefix.size(); ++i) {
        if (AsciiLower(text[i]) != AsciiLower(prefix[i])) {
            return false;
        }
    }
    return true;
}

bool IsWhiteSpace(wchar_t c) {
    return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n' || c == L'\v' || c == L'\f';
}

std::wstring_view Trim(std::wstring_view text) {
    while (!text.empty() && IsWhiteSpace(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsWhiteSpace(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

}  // namespace

bool CaptureHomePageUrl(std::wstring_view message, std::wstring& found) {
    if (!found.empty() || !StartsWithIgnoringCase(message, kServerPropertyPrefix)) {
        return false;
    }
    const std::wstring_view property = Trim(message.substr(kServerPropertyPrefix.size()));
    if (!StartsWithIgnoringCase(property, kHomePageProperty)) {
        return false;
    }
    found = std::wstring(Trim(property.substr(kHomePageProperty.size())));
    return !found.empty();
}
