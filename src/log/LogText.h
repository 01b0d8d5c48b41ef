#pragma once
// The text of the run log: one UTF-8 line per event, led by its local time.
// Pure, so the host build checks the encoding and the line rules under
// sanitizers; the file itself is RunLog's.

#include <string>
#include <string_view>

namespace korvex::log {

struct LogTime {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;
};

// UTF-16 text (held in wchar_t of either width) as UTF-8. A lone surrogate
// becomes U+FFFD rather than an invalid byte sequence.
std::string Utf8FromWide(std::wstring_view text);

// "YYYY-MM-DD hh:mm:ss.mmm text" and CR LF. Line breaks inside the text are
// written as "\n" so that one event stays one line.
std::string FormatLogLine(const LogTime& time, std::wstring_view text);

// The button a message box answer names ("OK", "Cancel", "Yes", ...), or the
// number when it is none of the standard ones.
std::wstring AnswerName(int answer);

// The address with any user name and password replaced by "***", so a log
// never holds credentials a manifest may carry.
std::wstring WithoutCredentials(const std::wstring& url);

}  // namespace korvex::log
