#include "log/LogText.h"

#include <algorithm>

#include "base/DecimalText.h"

using korvex::base::DecimalText;

namespace korvex::log {

namespace {

void AppendUtf8(std::string& out, char32_t code)
{
    if (code < 0x80) {
        out.push_back(static_cast<char>(code));
    } else if (code < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (code >> 6)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else if (code < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (code >> 12)));
        out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (code >> 18)));
        out.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    }
}

bool IsHighSurrogate(char32_t unit)
{
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool IsLowSurrogate(char32_t unit)
{
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

}  // namespace

std::string Utf8FromWide(std::wstring_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        // Only the low 16 bits count: the text is UTF-16 whatever wchar_t's width.
        const char32_t unit = static_cast<char32_t>(text[i]) & 0xFFFF;
        if (IsHighSurrogate(unit) && i + 1 < text.size() &&
            IsLowSurrogate(static_cast<char32_t>(text[i + 1]) & 0xFFFF)) {
            const char32_t low = static_cast<char32_t>(text[++i]) & 0xFFFF;
            AppendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
        } else if (IsHighSurrogate(unit) || IsLowSurrogate(unit)) {
            AppendUtf8(out, 0xFFFD);
        } else {
            AppendUtf8(out, unit);
        }
    }
    return out;
}

std::string FormatLogLine(const LogTime& time, std::wstring_view text)
{
    const std::string stamp = DecimalText<char>(time.year, 4) + "-" + DecimalText<char>(time.month, 2) + "-" +
                              DecimalText<char>(time.day, 2) + " " + DecimalText<char>(time.hour, 2) + ":" +
                              DecimalText<char>(time.minute, 2) + ":" + DecimalText<char>(time.second, 2) + "." +
                              DecimalText<char>(time.millisecond, 3) + " ";
    std::wstring flat;
    flat.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') continue;
        if (text[i] == L'\r' || text[i] == L'\n') {
            flat += L"\\n";
        } else {
            flat.push_back(text[i]);
        }
    }
    return stamp + Utf8FromWide(flat) + "\r\n";
}

std::wstring AnswerName(int answer)
{
    // IDOK (1) to IDNO (7), as winuser.h numbers them.
    static const wchar_t* const names[] = {L"OK", L"Cancel", L"Abort", L"Retry", L"Ignore", L"Yes", L"No"};
    if (answer >= 1 && answer <= 7) return names[answer - 1];
    return DecimalText(answer);
}

std::wstring WithoutCredentials(const std::wstring& url)
{
    const std::size_t scheme = url.find(L"://");
    if (scheme == std::wstring::npos) return url;
    const std::size_t hostStart = scheme + 3;
    const std::size_t hostEnd = std::min(url.find_first_of(L"/?#", hostStart), url.size());
    const std::size_t at = url.rfind(L'@', hostEnd == 0 ? 0 : hostEnd - 1);
    if (at == std::wstring::npos || at < hostStart) return url;
    return url.substr(0, hostStart) + L"***" + url.substr(at);
}

}  // namespace korvex::log
