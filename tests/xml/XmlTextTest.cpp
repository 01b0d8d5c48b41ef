// Element text: references, CDATA sections, white space and the elements
// that have no text.

#include "XmlTestSupport.h"

#include "xml/XmlEntities.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

using namespace korvex::xml;

namespace {

struct TextCase {
    const XmlChar* m_document;
    XmlString m_text;  // of the root element
};

class RootText : public testing::TestWithParam<TextCase> {};

TEST_P(RootText, DecodesTheContent)
{
    XmlDocument document;
    document.ParseText(GetParam().m_document);
    ASSERT_TRUE(document.FindNextElement()) << Printable(GetParam().m_document);
    EXPECT_EQ(document.ElementText(document.CurrentPosition()), GetParam().m_text) << Printable(GetParam().m_document);
}

INSTANTIATE_TEST_SUITE_P(
    References, RootText,
    testing::Values(TextCase{KORVEX_XML_TEXT("<a>x &amp; y</a>"), X("x & y")},
                    TextCase{KORVEX_XML_TEXT("<a>&lt;&gt;&quot;&apos;</a>"), X("<>\"'")},
                    TextCase{KORVEX_XML_TEXT("<a>&#65;&#x41;&#X41;&#065;</a>"), X("AAAA")},
                    TextCase{KORVEX_XML_TEXT("<a>&#65x;</a>"), X("A")},
                    TextCase{KORVEX_XML_TEXT("<a>&unknown; & x &amp</a>"), X("&unknown; & x &amp")},
                    TextCase{KORVEX_XML_TEXT("<a>&#0;&#;&#x;&;</a>"), X("&#0;&#;&#x;&;")},
                    TextCase{KORVEX_XML_TEXT("<a>&AMP;&Lt;</a>"), X("&<")},
                    TextCase{KORVEX_XML_TEXT("<a>&Eacute;&eacute;&euro;</a>"), XmlString({0xC9, 0xE9, 0x20AC})},
                    TextCase{KORVEX_XML_TEXT("<a>&thetasym;&abcdefghi;</a>"), XmlString({977}) + X("&abcdefghi;")},
                    TextCase{KORVEX_XML_TEXT("<a>&#x1F600;</a>"), XmlString({0xD83D, 0xDE00})},
                    TextCase{KORVEX_XML_TEXT("<a>&#x10FFFF;&#x110000;&#1114112;</a>"),
                             XmlString({0xDBFF, 0xDFFF}) + X("&#x110000;&#1114112;")},
                    TextCase{KORVEX_XML_TEXT("<a>&&amp;;</a>"), X("&&;")},
                    TextCase{KORVEX_XML_TEXT("<a>&\x00E9;</a>"), XmlString({'&', 0xE9, ';'})}));

INSTANTIATE_TEST_SUITE_P(Content, RootText,
                         testing::Values(TextCase{KORVEX_XML_TEXT("<a> x </a>"), X(" x ")},
                                         TextCase{KORVEX_XML_TEXT("<a>\r\n\t</a>"), X("\r\n\t")},
                                         TextCase{KORVEX_XML_TEXT("<a><![CDATA[<b>]]></a>"), X("<b>")},
                                         TextCase{KORVEX_XML_TEXT("<a> <![CDATA[x]]> </a>"), X("x")},
                                         TextCase{KORVEX_XML_TEXT("<a>1<![CDATA[&amp;]]>2&lt;</a>"), X("1&amp;2<")},
                                         TextCase{KORVEX_XML_TEXT("<a>x<!--c-->y<?p?>z</a>"), X("xyz")},
                                         TextCase{KORVEX_XML_TEXT("<a><![CDATA[]]></a>"), X("")},
                                         TextCase{KORVEX_XML_TEXT("<a><![C]]></a>"), X("")},
                                         TextCase{KORVEX_XML_TEXT("<a>x</b>y</a>"), X("xy")},
                                         TextCase{KORVEX_XML_TEXT("<a>text<b/>more</a>"), X("")},
                                         TextCase{KORVEX_XML_TEXT("<a/>"), X("")},
                                         TextCase{KORVEX_XML_TEXT("<a></a>"), X("")},
                                         TextCase{KORVEX_XML_TEXT("<a>x"), X("")},
                                         TextCase{KORVEX_XML_TEXT("<a x='&amp;'>t</a>"), X("t")}));

TEST(XmlText, PositionsOutsideTheIndexGiveNothing)
{
    XmlDocument document;
    ASSERT_TRUE(document.ParseText(KORVEX_XML_TEXT("<a>x</a>")));
    EXPECT_EQ(document.ElementText(0), X(""));
    EXPECT_EQ(document.ElementText(-1), X(""));
    EXPECT_EQ(document.ElementText(2), X(""));
    EXPECT_EQ(document.ElementText(1), X("x"));
}

TEST(XmlText, DecodeTextLeavesPlainTextAlone)
{
    EXPECT_EQ(DecodeText(KORVEX_XML_TEXT("")), X(""));
    EXPECT_EQ(DecodeText(KORVEX_XML_TEXT("plain")), X("plain"));
    EXPECT_EQ(DecodeText(KORVEX_XML_TEXT("tail &")), X("tail &"));
    EXPECT_EQ(DecodeText(KORVEX_XML_TEXT("&amp;&amp;")), X("&&"));
}

TEST(XmlText, EntityTableHoldsEveryNameOnce)
{
    std::set<std::string> names;
    for (const XmlEntity& entity : EntityTable) {
        EXPECT_TRUE(names.insert(entity.m_szName).second) << entity.m_szName;
        EXPECT_GT(entity.m_nCodePoint, 0u);
        const XmlString name(entity.m_szName, entity.m_szName + std::char_traits<char>::length(entity.m_szName));
        EXPECT_EQ(LookUpEntity(name), entity.m_nCodePoint) << entity.m_szName;
    }
    EXPECT_EQ(names.size(), 253u);
    EXPECT_EQ(LookUpEntity(KORVEX_XML_TEXT("apos")), 39u);
    EXPECT_EQ(LookUpEntity(KORVEX_XML_TEXT("nbsp")), 160u);
    EXPECT_EQ(LookUpEntity(KORVEX_XML_TEXT("diams")), 9830u);
    EXPECT_EQ(LookUpEntity(KORVEX_XML_TEXT("rArr")), 8658u);
    EXPECT_EQ(LookUpEntity(KORVEX_XML_TEXT("rarr")), 8594u);
    EXPECT_EQ(LookUpEntity(KORVEX_XML_TEXT("nosuch")), 0u);
}

}  // namespace
