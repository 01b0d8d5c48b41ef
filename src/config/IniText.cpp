#include "config/IniText.h"

#include <algorithm>

#include "xml/TextEncodings.h"

using namespace korvex::xml;

namespace korvex::config {

namespace {

bool IsBlank(wchar_t c)
{
    return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n';
}

std::wstring_view Trim(std::wstring_view text)
{
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

wchar_t FoldAscii(wchar_t c)
{
    return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

bool SameName(std::wstring_view a, std::wstring_view b)
{
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](wchar_t x, wchar_t y) { return FoldAscii(x) == FoldAscii(y); });
}

std::wstring_view Unquote(std::wstring_view value)
{
    if (value.size() >= 2 && (value.front() == L'"' || value.front() == L'\'') && value.back() == value.front()) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

}  // namespace

std::wstring DecodeIniBytes(std::string_view bytes)
{
    if (bytes.size() >= 2 && bytes[0] == '\xFF' && bytes[1] == '\xFE') {
        XmlString units;
        for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
            units += static_cast<XmlChar>(static_cast<unsigned char>(bytes[i]) |
                                          (static_cast<unsigned char>(bytes[i + 1]) << 8));
        }
        return ToWideString(units);
    }
    if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF") {
        bytes.remove_prefix(3);
    }
    XmlString units;
    if (ConvertText(KORVEX_XML_TEXT("utf-8"), KORVEX_XML_TEXT("utf-16"), bytes, units) < 0) {
        return std::wstring();
    }
    return ToWideString(units);
}

bool FindIniValue(std::wstring_view text, std::wstring_view section, std::wstring_view key, std::wstring& value)
{
    bool inSection = false;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find(L'\n', start);
        if (end == std::wstring_view::npos) {
            end = text.size();
        }
        const std::wstring_view line = Trim(text.substr(start, end - start));
        start = end + 1;
        if (!line.empty() && line.front() == L'[') {
            const std::size_t close = line.find(L']');
            const bool matches = close != std::wstring_view::npos && SameName(Trim(line.substr(1, close - 1)), section);
            if (inSection && !matches) {
                return false;
            }
            inSection = matches;
            continue;
        }
        const std::size_t equals = line.find(L'=');
        if (inSection && equals != std::wstring_view::npos && SameName(Trim(line.substr(0, equals)), key)) {
            value = std::wstring(Unquote(Trim(line.substr(equals + 1))));
            return true;
        }
    }
    return false;
}

}  // namespace korvex::config
