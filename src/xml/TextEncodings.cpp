#include "xml/TextEncodings.h"

#include "xml/XmlEntities.h"
#include "xml/XmlPlatform.h"

#include <algorithm>
#include <cstring>

namespace korvex::xml {

const EncodingName EncodingTable[365] = {
    {"437", 437},
    {"850", 850},
    {"852", 852},
    {"855", 855},
    {"857", 857},
    {"860", 860},
    {"861", 861},
    {"862", 862},
    {"863", 863},
    {"865", 865},
    {"866", 866},
    {"869", 869},
    {"ansi_x3.4-1968", 20127},
    {"ansi_x3.4-1986", 20127},
    {"arabic", 28596},
    {"ascii", 20127},
    {"asmo-708", 708},
    {"big5", 950},
    {"big5-hkscs", 950},
    {"ccsid00858", 858},
    {"chinese", 936},
    {"cn-big5", 950},
    {"cp00858", 858},
    {"cp01140", 1140},
    {"cp01141", 1141},
    {"cp01142", 1142},
    {"cp01143", 1143},
    {"cp01144", 1144},
    {"cp01145", 1145},
    {"cp01146", 1146},
    {"cp01147", 1147},
    {"cp01148", 1148},
    {"cp01149", 1149},
    {"cp037", 37},
    {"cp1026", 1026},
    {"cp1250", 1250},
    {"cp1251", 1251},
    {"cp1252", 1252},
    {"cp1253", 1253},
    {"cp1254", 1254},
    {"cp1255", 1255},
    {"cp1256", 1256},
    {"cp1257", 1257},
    {"cp1258", 1258},
    {"cp154", 154},
    {"cp273", 20273},
    {"cp278", 20278},
    {"cp280", 20280},
    {"cp284", 20284},
    {"cp285", 20285},
    {"cp297", 20297},
    {"cp367", 20127},
    {"cp420", 20420},
    {"cp424", 20424},
    {"cp437", 437},
    {"cp500", 500},
    {"cp775", 775},
    {"cp819", 28591},
    {"cp850", 850},
    {"cp852", 852},
    {"cp855", 855},
    {"cp857", 857},
    {"cp860", 860},
    {"cp861", 861},
    {"cp862", 862},
    {"cp863", 863},
    {"cp864", 864},
    {"cp865", 865},
    {"cp866", 866},
    {"cp869", 869},
    {"cp870", 870},
    {"cp871", 20871},
    {"cp875", 875},
    {"cp936", 936},
    {"cp949", 949},
    {"cp950", 950},
    {"csascii", 20127},
    {"csbig5", 950},
    {"cseuckr", 51949},
    {"cseucpkdfmtjapanese", 51932},
    {"csgb2312", 936},
    {"csgb231280", 936},
    {"csibmthai", 20838},
    {"csiso2022jp", 50220},
    {"csiso2022jp-1", 50221},
    {"csiso2022kr", 50225},
    {"csiso58gb231280", 936},
    {"csisolatin1", 28591},
    {"csisolatin2", 28592},
    {"csisolatin3", 28593},
    {"csisolatin4", 28594},
    {"csisolatin5", 28599},
    {"csisolatin9", 28605},
    {"csisolatinarabic", 28596},
    {"csisolatincyrillic", 28595},
    {"csisolatingreek", 28597},
    {"csisolatinhebrew", 28598},
    {"cskoi8r", 20866},
    {"csksc56011987", 949},
    {"csmacintosh", 10000},
    {"cspc775baltic", 775},
    {"cspc850multilingual", 850},
    {"cspc862latinhebrew", 862},
    {"cspc8codepage437", 437},
    {"cspcp852", 852},
    {"csptcp154", 154},
    {"csshiftjis", 932},
    {"csunicode", 1200},
    {"csunicode11utf7", 65000},
    {"cswindows31j", 932},
    {"cyrillic", 28595},
    {"cyrillic-asian", 154},
    {"dos-720", 720},
    {"dos-862", 862},
    {"dos-874", 874},
    {"ebcdic-cp-ar1", 20420},
    {"ebcdic-cp-be", 500},
    {"ebcdic-cp-ca", 37},
    {"ebcdic-cp-ch", 500},
    {"ebcdic-cp-dk", 20277},
    {"ebcdic-cp-es", 20284},
    {"ebcdic-cp-fi", 20278},
    {"ebcdic-cp-fr", 20297},
    {"ebcdic-cp-gb", 20285},
    {"ebcdic-cp-he", 20424},
    {"ebcdic-cp-is", 20871},
    {"ebcdic-cp-it", 20280},
    {"ebcdic-cp-nl", 37},
    {"ebcdic-cp-no", 20277},
    {"ebcdic-cp-roece", 870},
    {"ebcdic-cp-se", 20278},
    {"ebcdic-cp-us", 37},
    {"ebcdic-cp-wt", 37},
    {"ebcdic-cp-yu", 870},
    {"ebcdic-de-273+euro", 1141},
    {"ebcdic-dk-277+euro", 1142},
    {"ebcdic-es-284+euro", 1145},
    {"ebcdic-fi-278+euro", 1143},
    {"ebcdic-fr-297+euro", 1147},
    {"ebcdic-gb-285+euro", 1146},
    {"ebcdic-international-500+euro", 1148},
    {"ebcdic-is-871+euro", 1149},
    {"ebcdic-it-280+euro", 1144},
    {"ebcdic-no-277+euro", 1142},
    {"ebcdic-se-278+euro", 1143},
    {"ebcdic-us-37+euro", 1140},
    {"ecma-114", 28596},
    {"ecma-118", 28597},
    {"elot_928", 28597},
    {"euc-cn", 51936},
    {"euc-jp", 20932},
    {"euc-kr", 51949},
    {"extended_unix_code_packed_format_for_japanese", 51932},
    {"gb18030", 54936},
    {"gb2312", 936},
    {"gb231280", 936},
    {"gb_2312-80", 936},
    {"gbk", 936},
    {"greek", 28597},
    {"greek8", 28597},
    {"hebrew", 28598},
    {"hz-gb-2312", 52936},
    {"ibm-thai", 20838},
    {"ibm00858", 858},
    {"ibm01140", 1140},
    {"ibm01141", 1141},
    {"ibm01142", 1142},
    {"ibm01143", 1143},
    {"ibm01144", 1144},
    {"ibm01145", 1145},
    {"ibm01146", 1146},
    {"ibm01147", 1147},
    {"ibm01148", 1148},
    {"ibm01149", 1149},
    {"ibm037", 37},
    {"ibm1026", 1026},
    {"ibm273", 20273},
    {"ibm277", 20277},
    {"ibm278", 20278},
    {"ibm280", 20280},
    {"ibm284", 20284},
    {"ibm285", 20285},
    {"ibm297", 20297},
    {"ibm367", 20127},
    {"ibm420", 20420},
    {"ibm424", 20424},
    {"ibm437", 437},
    {"ibm500", 500},
    {"ibm737", 737},
    {"ibm775", 775},
    {"ibm819", 28591},
    {"ibm850", 850},
    {"ibm852", 852},
    {"ibm855", 855},
    {"ibm857", 857},
    {"ibm860", 860},
    {"ibm861", 861},
    {"ibm862", 862},
    {"ibm863", 863},
    {"ibm864", 864},
    {"ibm865", 865},
    {"ibm866", 866},
    {"ibm869", 869},
    {"ibm870", 870},
    {"ibm871", 20871},
    {"iso-10646-ucs-2", 1200},
    {"iso-2022-jp", 50220},
    {"iso-2022-jp-1", 50221},
    {"iso-2022-jp-2", 50222},
    {"iso-2022-kr", 50225},
    {"iso-8859-1", 28591},
    {"iso-8859-11", 874},
    {"iso-8859-13", 28603},
    {"iso-8859-15", 28605},
    {"iso-8859-2", 28592},
    {"iso-8859-3", 28593},
    {"iso-8859-4", 28594},
    {"iso-8859-5", 28595},
    {"iso-8859-6", 28596},
    {"iso-8859-7", 28597},
    {"iso-8859-8", 28598},
    {"iso-8859-8 visual", 28598},
    {"iso-8859-8-i", 38598},
    {"iso-8859-9", 28599},
    {"iso-ir-100", 28591},
    {"iso-ir-101", 28592},
    {"iso-ir-109", 28593},
    {"iso-ir-110", 28594},
    {"iso-ir-126", 28597},
    {"iso-ir-127", 28596},
    {"iso-ir-138", 28598},
    {"iso-ir-144", 28595},
    {"iso-ir-148", 28599},
    {"iso-ir-149", 949},
    {"iso-ir-58", 936},
    {"iso-ir-6", 20127},
    {"iso646-us", 20127},
    {"iso8859-1", 28591},
    {"iso8859-15", 28605},
    {"iso8859-2", 28592},
    {"iso_646.irv:1991", 20127},
    {"iso_8859-1", 28591},
    {"iso_8859-15", 28605},
    {"iso_8859-1:1987", 28591},
    {"iso_8859-2", 28592},
    {"iso_8859-2:1987", 28592},
    {"iso_8859-3", 28593},
    {"iso_8859-3:1988", 28593},
    {"iso_8859-4", 28594},
    {"iso_8859-4:1988", 28594},
    {"iso_8859-5", 28595},
    {"iso_8859-5:1988", 28595},
    {"iso_8859-6", 28596},
    {"iso_8859-6:1987", 28596},
    {"iso_8859-7", 28597},
    {"iso_8859-7:1987", 28597},
    {"iso_8859-8", 28598},
    {"iso_8859-8:1988", 28598},
    {"iso_8859-9", 28599},
    {"iso_8859-9:1989", 28599},
    {"johab", 1361},
    {"koi", 20866},
    {"koi8", 20866},
    {"koi8-r", 20866},
    {"koi8-ru", 21866},
    {"koi8-u", 21866},
    {"koi8r", 20866},
    {"korean", 949},
    {"ks_c_5601", 949},
    {"ks_c_5601-1987", 949},
    {"ks_c_5601-1989", 949},
    {"ks_c_5601_1987", 949},
    {"ksc5601", 949},
    {"ksc_5601", 949},
    {"l1", 28591},
    {"l2", 28592},
    {"l3", 28593},
    {"l4", 28594},
    {"l5", 28599},
    {"l9", 28605},
    {"latin-9", 28605},
    {"latin1", 28591},
    {"latin2", 28592},
    {"latin3", 28593},
    {"latin4", 28594},
    {"latin5", 28599},
    {"logical", 28598},
    {"mac", 10000},
    {"macintosh", 10000},
    {"ms936", 936},
    {"ms_kanji", 932},
    {"pc-multilingual-850+euro", 858},
    {"pt154", 154},
    {"ptcp154", 154},
    {"shift-jis", 932},
    {"shift_jis", 932},
    {"sjis", 932},
    {"tis-620", 874},
    {"ucs-2", 1200},
    {"unicode", 1200},
    {"unicode-1-1-utf-7", 65000},
    {"unicode-1-1-utf-8", 65001},
    {"unicode-2-0-utf-7", 65000},
    {"unicode-2-0-utf-8", 65001},
    {"unicodefffe", 1201},
    {"us", 20127},
    {"us-ascii", 20127},
    {"utf-16", 1200},
    {"utf-16be", 1201},
    {"utf-16le", 1200},
    {"utf-32", 12000},
    {"utf-32be", 12001},
    {"utf-32le", 12000},
    {"utf-7", 65000},
    {"utf-8", 65001},
    {"utf16", 1200},
    {"utf8", 65001},
    {"visual", 28598},
    {"windows-1250", 1250},
    {"windows-1251", 1251},
    {"windows-1252", 1252},
    {"windows-1253", 1253},
    {"windows-1254", 1254},
    {"windows-1255", 1255},
    {"windows-1256", 1256},
    {"windows-1257", 1257},
    {"windows-1258", 1258},
    {"windows-31j", 932},
    {"windows-874", 874},
    {"windows-936", 936},
    {"windows-949", 949},
    {"x-ansi", 1252},
    {"x-cp1250", 1250},
    {"x-cp1251", 1251},
    {"x-euc", 51932},
    {"x-euc-cn", 51936},
    {"x-euc-jp", 51932},
    {"x-gbk", 936},
    {"x-iscii-as", 57006},
    {"x-iscii-be", 57003},
    {"x-iscii-de", 57002},
    {"x-iscii-gu", 57010},
    {"x-iscii-ka", 57008},
    {"x-iscii-ma", 57009},
    {"x-iscii-or", 57007},
    {"x-iscii-pa", 57011},
    {"x-iscii-ta", 57004},
    {"x-iscii-te", 57005},
    {"x-mac-arabic", 10004},
    {"x-mac-ce", 10029},
    {"x-mac-chinesesimp", 10008},
    {"x-mac-chinesetrad", 10002},
    {"x-mac-cyrillic", 10007},
    {"x-mac-greek", 10006},
    {"x-mac-hebrew", 10005},
    {"x-mac-japanese", 10001},
    {"x-mac-korean", 10003},
    {"x-mac-roman", 10000},
    {"x-ms-cp932", 932},
    {"x-sjis", 932},
    {"x-unicode-1-1-utf-7", 65000},
    {"x-unicode-1-1-utf-8", 65001},
    {"x-unicode-2-0-utf-7", 65000},
    {"x-unicode-2-0-utf-8", 65001},
    {"x-x-big5", 950},
};

namespace {

int CodePageOrAnsi(XmlStringView name)
{
    const int codePage = CodePageOfEncoding(name);
    return codePage == kCodePageUnknown ? kCodePageAnsi : codePage;
}

// Code pages whose WideCharToMultiByte refuses the used-default request.
bool RefusesUsedDefault(int codePage)
{
    switch (codePage) {
        case 65000:
        case 65001:
        case 50220:
        case 50221:
        case 50222:
        case 50225:
        case 50227:
        case 50229:
        case 52936:
        case 54936:
            return true;
        default:
            return codePage >= 57002 && codePage <= 57011;
    }
}

int FromUtf16(int codePage, XmlStringView source, std::string& target, bool* usedDefault)
{
    bool used = false;
    const bool request = !RefusesUsedDefault(codePage);
    if (!platform::Utf16ToBytes(codePage, source, target, request ? &used : nullptr)) return -1;
    if (usedDefault) *usedDefault = used;
    return static_cast<int>(target.size());
}

// Bytes needed after a lead byte by the UTF-8 test's rules; -1 for a byte
// that cannot lead.
int ContinuationCount(unsigned char lead)
{
    if (lead < 0x80) return 0;
    if (!(lead & 0x20)) return 1;
    if (!(lead & 0x10)) return 2;
    if (!(lead & 0x08)) return 3;
    return -1;
}

}  // namespace

void AppendUtf8(std::string& out, char32_t value)
{
    if (value < 0x80) {
        out.push_back(static_cast<char>(value));
    } else if (value < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (value >> 6)));
        out.push_back(static_cast<char>(0x80 | (value & 0x3F)));
    } else if (value < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (value >> 12)));
        out.push_back(static_cast<char>(0x80 | ((value >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (value & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (value >> 18)));
        out.push_back(static_cast<char>(0x80 | ((value >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((value >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (value & 0x3F)));
    }
}

char32_t ReadCodePoint(XmlStringView text, size_t& pos)
{
    const char32_t unit = text[pos];
    if (unit >= 0xD800 && unit <= 0xDBFF && pos + 1 < text.size() && text[pos + 1] >= 0xDC00 &&
        text[pos + 1] <= 0xDFFF) {
        ++pos;
        return 0x10000 + ((unit - 0xD800) << 10) + (text[pos] - 0xDC00);
    }
    return unit;
}

bool IsWideCodePage(int codePage)
{
    return codePage == 1200 || codePage == 1201 || codePage == 12000 || codePage == 12001 || codePage == kCodePageUtf32;
}

int CodePageOfEncoding(XmlStringView name)
{
    constexpr size_t kMaxName = 100;
    if (name.empty()) return kCodePageAnsi;
    static constexpr char kUtf32[] = "UTF-32";
    if (name.size() >= 6 && std::equal(kUtf32, kUtf32 + 6, name.begin())) return kCodePageUtf32;
    if (name.size() >= kMaxName) return kCodePageUnknown;
    char folded[kMaxName];
    for (size_t i = 0; i < name.size(); ++i) {
        const XmlChar c = name[i];
        if (c >= 128) return kCodePageUnknown;
        folded[i] = static_cast<char>((c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c);
    }
    const std::string_view key(folded, name.size());
    const EncodingName* end = std::end(EncodingTable);
    const EncodingName* found =
        std::lower_bound(std::begin(EncodingTable), end, key,
                         [](const EncodingName& row, std::string_view wanted) { return row.m_szName < wanted; });
    return (found != end && found->m_szName == key) ? found->m_nCodePage : kCodePageUnknown;
}

bool PassesUtf8Test(std::string_view bytes)
{
    size_t pos = 0;
    while (pos < bytes.size() && bytes[pos] != 0) {
        const int count = ContinuationCount(static_cast<unsigned char>(bytes[pos]));
        if (count < 0) return false;
        for (int i = 1; i <= count; ++i) {
            if (pos + i >= bytes.size() || !(static_cast<unsigned char>(bytes[pos + i]) & 0x80)) return false;
        }
        pos += count + 1;
    }
    return true;
}

int ConvertText(XmlStringView from, XmlStringView to, std::string_view source, XmlString& target)
{
    const int fromPage = CodePageOrAnsi(from);
    if (IsWideCodePage(fromPage) || CodePageOrAnsi(to) != kCodePageUtf16) return -1;
    if (!platform::BytesToUtf16(fromPage, source, target)) return -1;
    return static_cast<int>(target.size());
}

int ConvertText(XmlStringView from, XmlStringView to, std::string_view source, std::string& target, bool* usedDefault)
{
    const int fromPage = CodePageOrAnsi(from);
    const int toPage = CodePageOrAnsi(to);
    if (IsWideCodePage(fromPage) || IsWideCodePage(toPage)) return -1;
    XmlString wide;
    if (!platform::BytesToUtf16(fromPage, source, wide)) return -1;
    return FromUtf16(toPage, wide, target, usedDefault);
}

int ConvertText(XmlStringView from, XmlStringView to, XmlStringView source, std::string& target, bool* usedDefault)
{
    const int toPage = CodePageOrAnsi(to);
    if (CodePageOrAnsi(from) != kCodePageUtf16 || IsWideCodePage(toPage)) return -1;
    return FromUtf16(toPage, source, target, usedDefault);
}

int ConvertText(XmlStringView from, XmlStringView to, XmlStringView source, std::u32string& target)
{
    if (CodePageOrAnsi(from) != kCodePageUtf16 || CodePageOrAnsi(to) != kCodePageUtf32) return -1;
    target.clear();
    for (size_t i = 0; i < source.size(); ++i) {
        const char32_t value = ReadCodePoint(source, i);
        target.push_back((value >= 0xD800 && value <= 0xDFFF) ? U'?' : value);
    }
    return static_cast<int>(target.size());
}

int ConvertText(XmlStringView from, XmlStringView to, std::string_view source, std::u32string& target)
{
    if (CodePageOrAnsi(from) != kCodePageUtf8 || CodePageOrAnsi(to) != kCodePageUtf32) return -1;
    static constexpr unsigned char kLeadMask[] = {0x7F, 0x1F, 0x0F, 0x07};
    target.clear();
    size_t pos = 0;
    while (pos < source.size()) {
        const unsigned char lead = static_cast<unsigned char>(source[pos]);
        const int count = ContinuationCount(lead);
        bool good = count >= 0;
        for (int i = 1; good && i <= count; ++i)
            good = pos + i < source.size() && (static_cast<unsigned char>(source[pos + i]) & 0x80);
        if (!good) {
            target.push_back(U'?');
            ++pos;
            continue;
        }
        char32_t value = lead & kLeadMask[count];
        for (int i = 1; i <= count; ++i) value = (value << 6) | (static_cast<unsigned char>(source[pos + i]) & 0x3F);
        target.push_back(value);
        pos += count + 1;
    }
    return static_cast<int>(target.size());
}

int ConvertText(XmlStringView from, XmlStringView to, std::u32string_view source, std::string& target)
{
    if (CodePageOrAnsi(from) != kCodePageUtf32 || CodePageOrAnsi(to) != kCodePageUtf8) return -1;
    target.clear();
    for (char32_t value : source) AppendUtf8(target, value <= 0x10FFFF ? value : U'?');
    return static_cast<int>(target.size());
}

int ConvertText(XmlStringView from, XmlStringView to, std::u32string_view source, XmlString& target)
{
    if (CodePageOrAnsi(from) != kCodePageUtf32 || CodePageOrAnsi(to) != kCodePageUtf16) return -1;
    target.clear();
    for (char32_t value : source) AppendCodePoint(target, value <= 0x10FFFF ? value : U'?');
    return static_cast<int>(target.size());
}

}  // namespace korvex::xml
