// Encoding names, the UTF-8 test, the declaration search and the
// conversions, on in-memory bytes.

#include "XmlTestSupport.h"

#include "xml/FileTextReader.h"
#include "xml/TextEncodings.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

using namespace korvex::xml;

namespace {

struct CodePageCase {
    const XmlChar* m_name;
    int m_nCodePage;
};

class CodePageNames : public testing::TestWithParam<CodePageCase> {};

TEST_P(CodePageNames, MapToTheirCodePage)
{
    EXPECT_EQ(CodePageOfEncoding(GetParam().m_name), GetParam().m_nCodePage) << Printable(GetParam().m_name);
}

INSTANTIATE_TEST_SUITE_P(
    Table, CodePageNames,
    testing::Values(CodePageCase{KORVEX_XML_TEXT("utf-8"), 65001}, CodePageCase{KORVEX_XML_TEXT("UTF8"), 65001},
                    CodePageCase{KORVEX_XML_TEXT("unicode-1-1-utf-8"), 65001},
                    CodePageCase{KORVEX_XML_TEXT("unicode-2-0-utf-8"), 65001},
                    CodePageCase{KORVEX_XML_TEXT("utf-16"), 1200}, CodePageCase{KORVEX_XML_TEXT("UTF-16LE"), 1200},
                    CodePageCase{KORVEX_XML_TEXT("unicode"), 1200}, CodePageCase{KORVEX_XML_TEXT("utf16"), 1200},
                    CodePageCase{KORVEX_XML_TEXT("utf-16be"), 1201}, CodePageCase{KORVEX_XML_TEXT("UnicodeFFFE"), 1201},
                    CodePageCase{KORVEX_XML_TEXT("utf-32"), 12000}, CodePageCase{KORVEX_XML_TEXT("utf-32le"), 12000},
                    CodePageCase{KORVEX_XML_TEXT("utf-32be"), 12001}, CodePageCase{KORVEX_XML_TEXT("UTF-32"), 65005},
                    CodePageCase{KORVEX_XML_TEXT("UTF-32BE"), 65005}, CodePageCase{KORVEX_XML_TEXT("utf-7"), 65000},
                    CodePageCase{KORVEX_XML_TEXT("US-ASCII"), 20127}, CodePageCase{KORVEX_XML_TEXT("ascii"), 20127},
                    CodePageCase{KORVEX_XML_TEXT("ISO-8859-1"), 28591},
                    CodePageCase{KORVEX_XML_TEXT("windows-1252"), 1252},
                    CodePageCase{KORVEX_XML_TEXT("Shift_JIS"), 932}, CodePageCase{KORVEX_XML_TEXT("gb2312"), 936},
                    CodePageCase{KORVEX_XML_TEXT("big5"), 950}, CodePageCase{KORVEX_XML_TEXT("ksc_5601"), 949},
                    CodePageCase{KORVEX_XML_TEXT("cp154"), 154}, CodePageCase{KORVEX_XML_TEXT("koi8-r"), 20866},
                    CodePageCase{KORVEX_XML_TEXT("iso-8859-15"), 28605}, CodePageCase{KORVEX_XML_TEXT("euc-kr"), 51949},
                    CodePageCase{KORVEX_XML_TEXT("GB18030"), 54936},
                    CodePageCase{KORVEX_XML_TEXT("x-mac-cyrillic"), 10007}, CodePageCase{KORVEX_XML_TEXT(""), 0},
                    CodePageCase{KORVEX_XML_TEXT("nonsense"), -1}, CodePageCase{KORVEX_XML_TEXT("utf-8 "), -1},
                    CodePageCase{KORVEX_XML_TEXT("utf\x00E9"), -1}));

TEST(XmlEncoding, TableNamesAreSortedUniqueLowerCaseAndCoverTheirPages)
{
    std::set<int> pages;
    for (size_t i = 0; i < std::size(EncodingTable); ++i) {
        const EncodingName& row = EncodingTable[i];
        if (i > 0) {
            EXPECT_LT(std::strcmp(EncodingTable[i - 1].m_szName, row.m_szName), 0) << row.m_szName;
        }
        for (const char* c = row.m_szName; *c; ++c) EXPECT_FALSE(*c >= 'A' && *c <= 'Z') << row.m_szName;
        const XmlString name(row.m_szName, row.m_szName + std::strlen(row.m_szName));
        EXPECT_EQ(CodePageOfEncoding(name), row.m_nCodePage) << row.m_szName;
        pages.insert(row.m_nCodePage);
    }
    EXPECT_EQ(std::size(EncodingTable), 365u);
    EXPECT_EQ(pages.size(), 111u);
}

TEST(XmlEncoding, OverlongNamesAreUnknown)
{
    EXPECT_EQ(CodePageOfEncoding(XmlString(99, 'a')), -1);
    EXPECT_EQ(CodePageOfEncoding(X("utf-8") + XmlString(95, ' ')), -1);
    EXPECT_EQ(CodePageOfEncoding(X("UTF-32") + XmlString(200, 'x')), 65005);
}

struct Utf8Case {
    std::string m_bytes;
    bool m_bPasses;
};

class Utf8Test : public testing::TestWithParam<Utf8Case> {};

TEST_P(Utf8Test, FollowsTheLeadByteRules)
{
    EXPECT_EQ(PassesUtf8Test(GetParam().m_bytes), GetParam().m_bPasses);
}

INSTANTIATE_TEST_SUITE_P(Sequences, Utf8Test,
                         testing::Values(Utf8Case{"", true}, Utf8Case{"plain", true}, Utf8Case{"\xC3\xA9", true},
                                         Utf8Case{"\xE2\x82\xAC", true}, Utf8Case{"\xF0\x9F\x98\x80", true},
                                         Utf8Case{"\xC3\xC3", true},  // the second bit of a continuation is not checked
                                         Utf8Case{"\x80\x80", true},  // nor is a lead byte checked for being one
                                         Utf8Case{std::string("\xC3\xA9\0\xE9", 4), true},  // stops at a zero byte
                                         Utf8Case{"\xE9", false}, Utf8Case{" \xE9 ", false},
                                         Utf8Case{"\xE2\x82", false}, Utf8Case{"\xF8\x80\x80\x80", false},
                                         Utf8Case{"\xC3", false}));

struct DeclarationCase {
    std::string m_head;
    XmlString m_encoding;
};

class DeclaredEncoding : public testing::TestWithParam<DeclarationCase> {};

TEST_P(DeclaredEncoding, IsFoundInTheFirstKilobyte)
{
    const std::string& head = GetParam().m_head;
    EXPECT_EQ(FindDeclaredEncoding(XmlString(head.begin(), head.end())), GetParam().m_encoding) << head;
}

INSTANTIATE_TEST_SUITE_P(
    Heads, DeclaredEncoding,
    testing::Values(
        DeclarationCase{"<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a/>", X("ISO-8859-1")},
        DeclarationCase{"<?XML encoding='koi8-r' ?>", X("koi8-r")},
        DeclarationCase{"<?xml version='1.0' ENCODING = \"big5\"?>", X("big5")},
        DeclarationCase{"<?xml version=\"1.0\"?><a encoding='x'/>", X("")},
        DeclarationCase{" <?xml version=\"1.0\" encoding=\"big5\"?>", X("")},
        DeclarationCase{"<?xml-stylesheet href='a'?><html><meta http-equiv='Content-Type' "
                        "content='text/html; charset=big5'>",
                        X("big5")},
        DeclarationCase{"<html><head><meta name='x' content='charset=gbk'><META HTTP-EQUIV=\"content-type\" "
                        "CONTENT=\"text/html; CharSet = windows-1251;\"></head>",
                        X("windows-1251")},
        DeclarationCase{"<html><head></head><meta http-equiv='Content-Type' content='charset=big5'>", X("")},
        DeclarationCase{"<body><meta http-equiv='Content-Type' content='charset=big5'>", X("")},
        DeclarationCase{"<html><1><meta http-equiv='Content-Type' content='charset=big5'>", X("")},
        DeclarationCase{"<html><meta http-equiv=Content-Type content=text/html;charset=utf-8>", X("utf-8")}));

struct BytesCase {
    std::string m_bytes;
    XmlString m_text;  // of the root element
};

class DecodedBytes : public testing::TestWithParam<BytesCase> {};

TEST_P(DecodedBytes, ParseIntoTheDocument)
{
    XmlDocument document;
    const std::string& bytes = GetParam().m_bytes;
    ASSERT_TRUE(document.LoadBytes(bytes.data(), bytes.size())) << Printable(document.ResultText());
    ASSERT_TRUE(document.FindNextElement());
    EXPECT_EQ(document.ElementText(document.CurrentPosition()), GetParam().m_text);
}

INSTANTIATE_TEST_SUITE_P(
    Memory, DecodedBytes,
    testing::Values(
        // A declaration of a 16-bit encoding cannot describe bytes without a mark.
        BytesCase{"<?xml version=\"1.0\" encoding=\"UTF-16\"?><a>\xC3\xA9</a>", XmlString(1, 0xE9)},
        BytesCase{"<?xml version=\"1.0\" encoding=\"no-such-page\"?><a>\xE9</a>", XmlString(1, 0xE9)},
        BytesCase{"<?xml version=\"1.0\" encoding=\"iso-8859-1\"?><a>\x80</a>", XmlString(1, 0x80)},
        BytesCase{std::string("\xFF\xFE<\0a\0>\0x\0<\0/\0a\0>\0\0\0", 20), X("x")},
        BytesCase{std::string("\xFE\xFF\0<\0a\0>\0x\0<\0/\0a\0>", 18), X("x")},
        BytesCase{std::string("\xEF\xBB\xBF<a>\0x</a>", 12), X("x")}));

TEST(XmlEncoding, ConvertTextServesEachPairOfUnitKinds)
{
    const XmlString utf16 = XmlString({'A', 0xE9, 0x20AC, 0xD83D, 0xDE00});
    const std::string utf8 = "A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80";
    const std::u32string utf32 = U"A\u00E9\u20AC\U0001F600";

    XmlString text;
    EXPECT_EQ(ConvertText(X("utf-8"), X("UTF-16"), utf8, text), 5);
    EXPECT_EQ(text, utf16);
    std::string bytes;
    EXPECT_EQ(ConvertText(X("UTF-16"), X("utf-8"), utf16, bytes), 10);
    EXPECT_EQ(bytes, utf8);
    bool usedDefault = false;
    EXPECT_EQ(ConvertText(X("utf-8"), X("windows-1252"), std::string_view("A\xC3\xA9\xE2\x82\xAC\xE2\x86\x90"), bytes,
                          &usedDefault),
              4);
    EXPECT_EQ(bytes, "A\xE9\x80?");
    EXPECT_TRUE(usedDefault);
    EXPECT_EQ(ConvertText(X("windows-1252"), X("utf-8"), std::string_view("\xE9"), bytes, &usedDefault), 2);
    EXPECT_FALSE(usedDefault);

    std::u32string wide;
    EXPECT_EQ(ConvertText(X("UTF-16"), X("UTF-32"), utf16, wide), 4);
    EXPECT_EQ(wide, utf32);
    EXPECT_EQ(ConvertText(X("utf-8"), X("UTF-32"), utf8, wide), 4);
    EXPECT_EQ(wide, utf32);
    EXPECT_EQ(ConvertText(X("UTF-32"), X("utf-8"), utf32, bytes), 10);
    EXPECT_EQ(bytes, utf8);
    EXPECT_EQ(ConvertText(X("UTF-32"), X("utf-16"), utf32, text), 5);
    EXPECT_EQ(text, utf16);
}

TEST(XmlEncoding, BuiltInUtf32ConversionsReplaceWhatTheyCannotCarry)
{
    std::u32string wide;
    EXPECT_EQ(ConvertText(X("UTF-16"), X("UTF-32"), XmlString({'a', 0xD800, 'b', 0xDC00}), wide), 4);
    EXPECT_EQ(wide, U"a?b?");
    EXPECT_EQ(ConvertText(X("utf-8"), X("UTF-32"), std::string_view("a\xE9z\xF8"), wide), 4);
    EXPECT_EQ(wide, U"a?z?");
    XmlString text;
    EXPECT_EQ(ConvertText(X("UTF-32"), X("UTF-16"), std::u32string_view(U"a\x110000"), text), 2);
    EXPECT_EQ(text, X("a?"));
}

TEST(XmlEncoding, ConvertTextRefusesPairsOutsideItsTable)
{
    XmlString text;
    std::string bytes;
    std::u32string wide;
    EXPECT_EQ(ConvertText(X("utf-16"), X("utf-16"), std::string_view("ab"), text), -1);
    EXPECT_EQ(ConvertText(X("utf-8"), X("utf-16be"), std::string_view("ab"), bytes), -1);
    EXPECT_EQ(ConvertText(X("windows-1252"), X("UTF-32"), std::string_view("ab"), wide), -1);
    EXPECT_EQ(ConvertText(X("UTF-16"), X("UTF-32"), X("ab"), bytes), -1);
}

}  // namespace
