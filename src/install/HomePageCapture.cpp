#include "install/HomePageCapture.h"

namespace korvex::install {

namespace {

constexpr std::wstring_view kServerPropertyPrefix = L"Property(S):";
constexpr std::wstring_view kHomePageProperty = L"InstallHomepageURL =";
constexpr std::wstring_view kInstallFolderProperty = L"INSTALLDIR =";

wchar_t AsciiLower(wchar_t c)
{
    return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

bool StartsWithIgnoringCase(std::wstring_view text, std::wstring_view prefix)
{
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

bool IsWhiteSpace(wchar_t c)
{
    return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n' || c == L'\v' || c == L'\f';
}

std::wstring_view Trim(std::wstring_view text)
{
    while (!text.empty() && IsWhiteSpace(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsWhiteSpace(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

// The first value wins: later packages of the run report their own.
bool CaptureServerProperty(std::wstring_view message, std::wstring_view property, std::wstring& found)
{
    if (!found.empty() || !StartsWithIgnoringCase(message, kServerPropertyPrefix)) {
        return false;
    }
    const std::wstring_view line = Trim(message.substr(kServerPropertyPrefix.size()));
    if (!StartsWithIgnoringCase(line, property)) {
        return false;
    }
    found = std::wstring(Trim(line.substr(property.size())));
    return !found.empty();
}

}  // namespace

bool CaptureHomePageUrl(std::wstring_view message, std::wstring& found)
{
    return CaptureServerProperty(message, kHomePageProperty, found);
}

bool CaptureInstallFolder(std::wstring_view message, std::wstring& found)
{
    return CaptureServerProperty(message, kInstallFolderProperty, found);
}

}  // namespace korvex::install
