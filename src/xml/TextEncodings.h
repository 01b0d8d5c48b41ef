#pragma once
// Encoding names, code pages and conversions between them. Code pages are
// Windows numbers: 0 is the system ANSI page, 1200 UTF-16, 65001 UTF-8, and
// 65005 an internal number for the built-in UTF-32 conversions.

#include "xml/XmlDocument.h"

#include <string>
#include <string_view>

namespace korvex::xml {

struct EncodingName {
    const char* m_szName;  // lower case
    int m_nCodePage;
};

constexpr int kCodePageAnsi = 0;
constexpr int kCodePageUnknown = -1;
constexpr int kCodePageUtf16 = 1200;
constexpr int kCodePageUtf8 = 65001;
constexpr int kCodePageUtf32 = 65005;

// 365 names of 111 code pages, sorted by name.
extern const EncodingName EncodingTable[365];

int CodePageOfEncoding(XmlStringView name);

// Pages whose units are not single bytes: not for the 8-bit conversions.
bool IsWideCodePage(int codePage);

// The byte sequence rules of the UTF-8 test: true when the bytes up to the
// first 0 (or the end) are well-formed sequences.
bool PassesUtf8Test(std::string_view bytes);

// The code point at text[pos], joining a surrogate pair (pos then points at
// its second half); a lone surrogate comes back as itself.
char32_t ReadCodePoint(XmlStringView text, size_t& pos);
void AppendUtf8(std::string& out, char32_t value);

// Converts text between two named encodings; each overload serves one pair
// of unit kinds (bytes of an 8-bit page, UTF-16, UTF-32). Returns the length
// of the result in units of the target, or -1 when the pair of names does
// not fit the overload or the platform refuses the conversion. `usedDefault`
// receives whether a character had no mapping in the target page.
int ConvertText(XmlStringView from, XmlStringView to, std::string_view source, XmlString& target);
int ConvertText(XmlStringView from, XmlStringView to, std::string_view source, std::string& target,
                bool* usedDefault = nullptr);
int ConvertText(XmlStringView from, XmlStringView to, XmlStringView source, std::string& target,
                bool* usedDefault = nullptr);
int ConvertText(XmlStringView from, XmlStringView to, XmlStringView source, std::u32string& target);
int ConvertText(XmlStringView from, XmlStringView to, std::string_view source, std::u32string& target);
int ConvertText(XmlStringView from, XmlStringView to, std::u32string_view source, std::string& target);
int ConvertText(XmlStringView from, XmlStringView to, std::u32string_view source, XmlString& target);

}  // namespace korvex::xml
