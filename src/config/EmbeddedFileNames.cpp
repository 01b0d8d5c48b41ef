#include "config/EmbeddedFileNames.h"

#include <algorithm>

#include "base/DecimalText.h"

using korvex::base::DecimalText;

namespace korvex::config {

namespace {

bool IsNameCharacter(wchar_t c)
{
    return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z') || (c >= L'0' && c <= L'9') || c == L' ' || c == L'-' ||
           c == L'_' || c == L'.';
}

wchar_t ToUpperAscii(wchar_t c)
{
    return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c;
}

bool IsSafePart(std::wstring_view part)
{
    return !part.empty() && part != L"." && part != L".." && std::all_of(part.begin(), part.end(), IsNameCharacter);
}

bool StartsWith(std::wstring_view text, std::wstring_view prefix)
{
    return text.substr(0, prefix.size()) == prefix;
}

bool EndsWith(std::wstring_view text, std::wstring_view suffix)
{
    return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

}  // namespace

std::wstring EmbeddedFileName(std::wstring_view relativePath)
{
    std::wstring name;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = relativePath.find_first_of(L"\\/", start);
        const std::wstring_view part = relativePath.substr(start, end == std::wstring_view::npos ? end : end - start);
        if (!IsSafePart(part)) {
            return std::wstring();
        }
        if (!name.empty()) {
            name += L'/';
        }
        std::transform(part.begin(), part.end(), std::back_inserter(name), ToUpperAscii);
        if (end == std::wstring_view::npos) {
            return name;
        }
        start = end + 1;
    }
}

std::wstring EmbeddedLanguageFileName(int languageId, std::wstring_view fileName)
{
    return EmbeddedFileName(L"language/" + DecimalText(languageId) + L"/" + std::wstring(fileName));
}

std::vector<std::wstring> EmbeddedSlideNames(const std::vector<std::wstring>& names, int languageId, int scale)
{
    const std::wstring folder =
        EmbeddedFileName(L"language/" + DecimalText(languageId) + L"/slidesPro/" + DecimalText(scale)) + L"/";
    std::vector<std::wstring> slides;
    for (const std::wstring& name : names) {
        const std::wstring_view rest = std::wstring_view(name).substr(std::min(name.size(), folder.size()));
        if (StartsWith(name, folder) && rest.find(L'/') == std::wstring_view::npos && EndsWith(rest, L".JPG") &&
            rest.size() > 4) {
            slides.push_back(name);
        }
    }
    std::sort(slides.begin(), slides.end());
    return slides;
}

}  // namespace korvex::config
