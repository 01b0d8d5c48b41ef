// Parse verdicts, result entries with their offsets, and the index built
// for broken documents.

#include "XmlTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace korvex::xml;

namespace {

XmlString NumberedName(int number)
{
    const std::string digits = std::to_string(number);
    return XmlString(digits.begin(), digits.end());
}

struct VerdictCase {
    const XmlChar* m_text;
    bool m_bVerdict;
    std::vector<XmlString> m_results;  // entries that must appear, in this order
};

class ParseVerdict : public testing::TestWithParam<VerdictCase> {};

TEST_P(ParseVerdict, GivesVerdictAndResults)
{
    const VerdictCase& testCase = GetParam();
    XmlDocument document;
    EXPECT_EQ(document.ParseText(testCase.m_text), testCase.m_bVerdict) << Printable(testCase.m_text);
    size_t searchFrom = 0;
    for (const XmlString& entry : testCase.m_results) {
        const size_t found = document.ResultText().find(entry, searchFrom);
        ASSERT_NE(found, XmlString::npos) << Printable(entry) << " in " << Printable(document.ResultText());
        searchFrom = found + entry.size();
    }
    if (testCase.m_bVerdict) {
        EXPECT_TRUE(document.ResultText().empty()) << Printable(document.ResultText());
    }
    EXPECT_EQ(CheckElementIndex(document), "");
}

INSTANTIATE_TEST_SUITE_P(
    WellFormed, ParseVerdict,
    testing::Values(
        VerdictCase{KORVEX_XML_TEXT("<a><b>1</b><b>2</b></a>"), true, {}},
        VerdictCase{KORVEX_XML_TEXT("<a x='1>2'></a>"), true, {}}, VerdictCase{KORVEX_XML_TEXT("<a x='1'/>"), true, {}},
        VerdictCase{KORVEX_XML_TEXT("<a />"), true, {}}, VerdictCase{KORVEX_XML_TEXT("\xFEFF<a/>"), true, {}},
        VerdictCase{KORVEX_XML_TEXT("<?xml version=\"1.0\"?>\r\n<!-- c --><a>\n<b/>\n</a>\n<!-- after -->"), true, {}},
        VerdictCase{KORVEX_XML_TEXT("<!DOCTYPE a [<!ELEMENT a (#PCDATA)><!ATTLIST a x CDATA 'y>z'>"
                                    "<!-- <!x> -->]><a>t</a>"),
                    true,
                    {}},
        VerdictCase{KORVEX_XML_TEXT("<a><![CDATA[<b></a>]]></a>"), true, {}},
        VerdictCase{KORVEX_XML_TEXT("<\x00E9l\x00E8ve/>"), true, {}}));

INSTANTIATE_TEST_SUITE_P(
    Broken, ParseVerdict,
    testing::Values(
        VerdictCase{KORVEX_XML_TEXT(""), false, {X("<no_root_element/>")}},
        VerdictCase{KORVEX_XML_TEXT("<!-- only a comment -->"), false, {X("<no_root_element/>")}},
        VerdictCase{KORVEX_XML_TEXT("only text"), false, {X("<no_root_element/>")}},
        VerdictCase{KORVEX_XML_TEXT("<a/><b/>"), false, {X("<root_has_sibling/>")}},
        VerdictCase{
            KORVEX_XML_TEXT("<a><b></a>"), false, {X("<unended_start_tag tagname=\"b\" offset=\"3\" offset2=\"5\"/>")}},
        VerdictCase{
            KORVEX_XML_TEXT("<a>"), false, {X("<unended_start_tag tagname=\"a\" offset=\"0\" offset2=\"3\"/>")}},
        VerdictCase{
            KORVEX_XML_TEXT("<a><b><c></a>"),
            false,
            {X("<unended_start_tag tagname=\"c\" offset=\"6\""), X("<unended_start_tag tagname=\"b\" offset=\"3\"")}},
        VerdictCase{KORVEX_XML_TEXT("<a></b></a>"), false, {X("<lone_end_tag tagname=\"b\" offset=\"3\"/>")}},
        VerdictCase{
            KORVEX_XML_TEXT("<a x=1/>"), false, {X("<unended_start_tag tagname=\"a\" offset=\"0\" offset2=\"8\"/>")}},
        VerdictCase{KORVEX_XML_TEXT("<1a>"), false, {X("<first_tag_syntax offset=\"0\"/>"), X("<no_root_element/>")}},
        VerdictCase{KORVEX_XML_TEXT("<a>< b/></a>"), false, {X("<first_tag_syntax offset=\"3\"/>")}},
        VerdictCase{KORVEX_XML_TEXT("<a><[x]></a>"), false, {X("<first_tag_syntax offset=\"3\"/>")}},
        VerdictCase{KORVEX_XML_TEXT("<a><!x></a>"), false, {X("<exclamation_tag_syntax offset=\"3\"/>")}},
        VerdictCase{KORVEX_XML_TEXT("<a><!-x></a>"), false, {X("<comment_tag_syntax offset=\"3\"/>")}},
        VerdictCase{KORVEX_XML_TEXT("<a><![x></a>"), false, {X("<cdata_section_syntax offset=\"3\"/>")}},
        VerdictCase{KORVEX_XML_TEXT("<!DOCTYPE a [<!Q>]><a/>"), false, {X("<doctype_tag_syntax offset=\"0\"/>")}},
        VerdictCase{KORVEX_XML_TEXT("<a"), false, {X("<unterminated_tag_syntax type=\"start_tag\" offset=\"0\"/>")}},
        VerdictCase{
            KORVEX_XML_TEXT("<a x=\"1></a>"), false, {X("<unterminated_tag_syntax type=\"start_tag\" offset=\"0\"/>")}},
        VerdictCase{KORVEX_XML_TEXT("<a></a"), false, {X("<unterminated_tag_syntax type=\"end_tag\" offset=\"3\"/>")}},
        VerdictCase{KORVEX_XML_TEXT("<a><![CDATA[x"),
                    false,
                    {X("<unterminated_tag_syntax type=\"cdata_section\" offset=\"3\"/>")}},
        VerdictCase{KORVEX_XML_TEXT("<a><?pi"),
                    false,
                    {X("<unterminated_tag_syntax type=\"processing_instruction\" offset=\"3\"/>")}},
        VerdictCase{
            KORVEX_XML_TEXT("<a><!-- x"), false, {X("<unterminated_tag_syntax type=\"comment\" offset=\"3\"/>")}},
        VerdictCase{KORVEX_XML_TEXT("<!DOCTYPE a [<!ENTITY x 'y'>"),
                    false,
                    {X("<unterminated_tag_syntax type=\"document_type\" offset=\"0\"/>")}},
        VerdictCase{KORVEX_XML_TEXT("<a><"), false, {X("<unterminated_tag_syntax type=\"tag\" offset=\"3\"/>")}},
        VerdictCase{KORVEX_XML_TEXT("<a><!"), false, {X("<unterminated_tag_syntax type=\"tag\" offset=\"3\"/>")}},
        VerdictCase{KORVEX_XML_TEXT("<a><!-"), false, {X("<unterminated_tag_syntax type=\"tag\" offset=\"3\"/>")}},
        VerdictCase{
            KORVEX_XML_TEXT("<a></\"&'>"), false, {X("<lone_end_tag tagname=\"&quot;&amp;&apos;\" offset=\"3\"/>")}}));

TEST(XmlParse, ConstructedDocumentIsEmptyAndParsesNothing)
{
    XmlDocument document;
    EXPECT_TRUE(document.ResultText().empty());
    EXPECT_FALSE(document.FindNextElement());
    EXPECT_FALSE(document.ParseText());
    EXPECT_EQ(document.Elements().Count(), 1);
}

TEST(XmlParse, ErrorRecoveryResumesAtNextTag)
{
    XmlDocument document;
    EXPECT_FALSE(document.ParseText(KORVEX_XML_TEXT("<a><1 <b>x</b></a>")));
    ASSERT_TRUE(document.FindNextChild(KORVEX_XML_TEXT("b")));
    EXPECT_EQ(document.ElementText(document.ChildPosition()), X("x"));
}

TEST(XmlParse, UnendedElementHandsItsChildrenToItsParent)
{
    XmlDocument document;
    EXPECT_FALSE(document.ParseText(KORVEX_XML_TEXT("<a><b><c/><d>t</d></a>")));
    ASSERT_EQ(CheckElementIndex(document), "");
    const ElementIndex& index = document.Elements();
    const int a = index[0].m_nFirstChild;
    const int b = index[a].m_nFirstChild;
    ASSERT_NE(b, 0);
    EXPECT_TRUE(index[b].Has(kElementUnended));
    EXPECT_EQ(index[b].m_nFirstChild, 0);
    EXPECT_EQ(index[b].m_nLength, index[b].m_nStartTagLength);
    const int c = index[b].m_nNextSibling;
    const int d = index[c].m_nNextSibling;
    EXPECT_EQ(index[c].m_nParent, a);
    EXPECT_EQ(index[d].m_nParent, a);
    EXPECT_EQ(index[d].m_nNextSibling, 0);
    EXPECT_FALSE(index[a].Has(kElementUnended));
    EXPECT_EQ(index[a].m_nLength, document.DocumentText().size());
    EXPECT_TRUE(index[0].Has(kDocumentNotWellFormed));

    // The cursor reaches the moved children as children of a.
    ASSERT_TRUE(document.FindNextElement(KORVEX_XML_TEXT("a")));
    ASSERT_TRUE(document.FindNextChild(KORVEX_XML_TEXT("d")));
    EXPECT_EQ(document.ElementText(document.ChildPosition()), X("t"));
}

TEST(XmlParse, NestedUnendedElementsFlattenInDocumentOrder)
{
    XmlDocument document;
    EXPECT_FALSE(document.ParseText(KORVEX_XML_TEXT("<r><a><p/><b><q/><c><s/></r>")));
    ASSERT_EQ(CheckElementIndex(document), "");
    const ElementIndex& index = document.Elements();
    const XmlStringView text = document.DocumentText();
    XmlString order;
    for (int child = index[index[0].m_nFirstChild].m_nFirstChild; child != 0; child = index[child].m_nNextSibling)
        order.push_back(text[index[child].m_nStart + 1]);
    EXPECT_EQ(order, X("apbqcs"));
}

TEST(XmlParse, IllFormedMarkMovesUpFromAnUnendedElement)
{
    XmlDocument document;
    EXPECT_FALSE(document.ParseText(KORVEX_XML_TEXT("<a><b><!x></a>")));
    const ElementIndex& index = document.Elements();
    const int a = index[0].m_nFirstChild;
    const int b = index[a].m_nNextSibling == 0 ? index[a].m_nFirstChild : 0;
    ASSERT_NE(b, 0);
    EXPECT_FALSE(index[b].Has(kElementIllFormedInside));
    EXPECT_TRUE(index[a].Has(kElementIllFormedInside));
}

TEST(XmlParse, TopLevelUnendedElementLeavesSiblingRoots)
{
    XmlDocument document;
    EXPECT_FALSE(document.ParseText(KORVEX_XML_TEXT("<a><b></b>")));
    EXPECT_NE(document.ResultText().find(X("<root_has_sibling/>")), XmlString::npos);
    EXPECT_EQ(CheckElementIndex(document), "");
}

TEST(XmlParse, RecordsOffsetsAndTagLengths)
{
    XmlDocument document;
    ASSERT_TRUE(document.ParseText(KORVEX_XML_TEXT(" <root><item id='1'>x</item  ><e/></root>")));
    const ElementIndex& index = document.Elements();
    const ElementRecord& root = index[index[0].m_nFirstChild];
    EXPECT_EQ(root.m_nStart, 1u);
    EXPECT_EQ(root.m_nStartTagLength, 6u);
    EXPECT_EQ(root.m_nEndTagLength, 7u);
    EXPECT_EQ(root.Depth(), 0u);
    const ElementRecord& item = index[root.m_nFirstChild];
    EXPECT_EQ(item.m_nStart, 7u);
    EXPECT_EQ(item.m_nStartTagLength, 13u);
    EXPECT_EQ(item.m_nEndTagLength, 9u);
    EXPECT_EQ(item.m_nLength, 23u);
    EXPECT_EQ(item.Depth(), 1u);
    const ElementRecord& empty = index[item.m_nNextSibling];
    EXPECT_EQ(empty.m_nLength, 4u);
    EXPECT_EQ(empty.m_nEndTagLength, 0u);
}

TEST(XmlParse, LongTagsKeepTheirFullLengths)
{
    // Longer than the 10 bits an end tag length would get in a packed field.
    XmlString text = X("<a>x</a") + XmlString(3000, ' ') + X(">");
    XmlDocument document;
    ASSERT_TRUE(document.ParseText(text));
    ASSERT_TRUE(document.FindNextElement());
    EXPECT_EQ(document.ElementText(document.CurrentPosition()), X("x"));
}

TEST(XmlParse, IndexGrowsAcrossBlocksAndKeepsEveryElement)
{
    constexpr int kItems = 150000;  // more than two blocks of records
    XmlString text = X("<list>");
    for (int i = 0; i < kItems; ++i) text += X("<i>") + XmlString(1, static_cast<XmlChar>('a' + i % 26)) + X("</i>");
    text += X("</list>");
    XmlDocument document;
    ASSERT_TRUE(document.ParseText(text));
    EXPECT_EQ(document.Elements().Count(), kItems + 2);
    EXPECT_GE(document.Elements().Capacity(), kItems + 2);
    ASSERT_TRUE(document.FindNextElement(KORVEX_XML_TEXT("list")));
    int seen = 0;
    while (document.FindNextChild(KORVEX_XML_TEXT("i"))) {
        ASSERT_EQ(document.ElementText(document.ChildPosition()), XmlString(1, static_cast<XmlChar>('a' + seen % 26)));
        ++seen;
    }
    EXPECT_EQ(seen, kItems);
}

TEST(XmlParse, DeepNestingMatchesEndTagsAtEveryLevel)
{
    // Deep enough that open names are also looked up by name.
    constexpr int kDepth = 100;
    XmlString text;
    for (int level = 0; level < kDepth; ++level) text += X("<e") + NumberedName(level) + X(">");
    text += X("</none></E50><x/>");  // a lone end tag, then e50 closes the 49 levels inside it
    for (int level = 49; level >= 0; --level) text += X("</E") + NumberedName(level) + X(">");
    for (const bool ignoreCase : {false, true}) {
        XmlDocument document;
        document.SetDocumentFlags(ignoreCase ? uint32_t{kXmlFlagIgnoreCase} : 0u);
        EXPECT_FALSE(document.ParseText(text));
        EXPECT_EQ(CheckElementIndex(document), "");
        const XmlString& results = document.ResultText();
        EXPECT_EQ(results.rfind(X("<lone_end_tag tagname=\"none\""), 0), 0u) << Printable(results);
        EXPECT_EQ(results.find(X("root_has_sibling")), XmlString::npos);
        EXPECT_EQ(document.Elements().Count(), kDepth + 2);
        const int e0 = document.Elements()[0].m_nFirstChild;
        EXPECT_EQ(document.Elements()[e0].Has(kElementUnended), !ignoreCase);
        if (!ignoreCase) continue;
        EXPECT_NE(results.find(X("<unended_start_tag tagname=\"e99\"")), XmlString::npos) << Printable(results);
        EXPECT_EQ(WalkAllElements(document), kDepth + 1);
        int e50 = document.Elements()[0].m_nFirstChild;
        for (int level = 0; level < 50; ++level) e50 = document.Elements()[e50].m_nFirstChild;
        int children = 0;
        for (int child = document.Elements()[e50].m_nFirstChild; child != 0;
             child = document.Elements()[child].m_nNextSibling)
            ++children;
        EXPECT_EQ(children, 49);
    }
}

TEST(XmlParse, ResultTextStopsGrowingNearItsLimit)
{
    XmlString text = X("<a>");
    for (int i = 0; i < 2000; ++i) text += X("</zz>");
    text += X("</a>");
    XmlDocument document;
    EXPECT_FALSE(document.ParseText(text));
    EXPECT_LT(document.ResultText().size(), 1100u);
}

TEST(XmlParse, ReparseDiscardsTheEarlierDocument)
{
    XmlDocument document;
    ASSERT_TRUE(document.ParseText(KORVEX_XML_TEXT("<a><b>1</b></a>")));
    ASSERT_TRUE(document.FindNextChild(KORVEX_XML_TEXT("b")));
    EXPECT_FALSE(document.ParseText(KORVEX_XML_TEXT("<c/><d/>")));
    EXPECT_EQ(document.CurrentPosition(), 0);
    EXPECT_EQ(document.ResultText(), X("<root_has_sibling/>"));
    EXPECT_EQ(document.ElementText(3), X(""));
    EXPECT_FALSE(document.ParseText(nullptr));
    EXPECT_EQ(document.ResultText(), X("<no_root_element/>"));
}

TEST(XmlParse, IgnoreCaseFlagMatchesEndTags)
{
    XmlDocument document;
    EXPECT_FALSE(document.ParseText(KORVEX_XML_TEXT("<A>x</a>")));
    document.SetDocumentFlags(kXmlFlagIgnoreCase);
    EXPECT_TRUE(document.ParseText(KORVEX_XML_TEXT("<A>x</a>")));
}

#if !defined(_WIN32)
TEST(XmlParse, WideStringAdaptersRoundTripOutsideTheBasicPlane)
{
    const std::wstring wide = L"<a>\U0001F600\u00E9</a>";
    XmlDocument document;
    ASSERT_TRUE(document.ParseText(wide));
    ASSERT_TRUE(document.FindNextElement(std::wstring(L"a")));
    EXPECT_EQ(ToWideString(document.ElementText(document.CurrentPosition())), L"\U0001F600\u00E9");
    EXPECT_EQ(FromWideString(L"\U0001F600"), XmlString({0xD83D, 0xDE00}));
}
#endif

}  // namespace
