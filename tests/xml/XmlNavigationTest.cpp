// The cursor: search order, name matching, entering and leaving levels.

#include "XmlTestSupport.h"

#include <gtest/gtest.h>

using namespace korvex::xml;

namespace {

TEST(XmlNavigation, ReadsChildrenInOrderAndStopsAtTheLast)
{
    XmlDocument document;
    ASSERT_TRUE(document.ParseText(KORVEX_XML_TEXT("<a><b>1</b><b>2</b></a>")));
    ASSERT_TRUE(document.FindNextElement(KORVEX_XML_TEXT("a")));
    ASSERT_TRUE(document.FindNextChild(KORVEX_XML_TEXT("b")));
    ASSERT_TRUE(document.EnterElement());
    EXPECT_EQ(document.ElementText(document.CurrentPosition()), X("1"));
    ASSERT_TRUE(document.LeaveElement());
    ASSERT_TRUE(document.FindNextChild(KORVEX_XML_TEXT("b")));
    const int second = document.ChildPosition();
    EXPECT_EQ(document.ElementText(second), X("2"));
    EXPECT_FALSE(document.FindNextChild(KORVEX_XML_TEXT("b")));
    EXPECT_EQ(document.ChildPosition(), second);
}

TEST(XmlNavigation, SearchesOnlyGoForward)
{
    XmlDocument document;
    ASSERT_TRUE(document.ParseText(KORVEX_XML_TEXT("<r><x/><y/><z/></r>")));
    ASSERT_TRUE(document.FindNextChild(KORVEX_XML_TEXT("y")));
    const int y = document.ChildPosition();
    EXPECT_FALSE(document.FindNextChild(KORVEX_XML_TEXT("x")));
    EXPECT_EQ(document.ChildPosition(), y);
    EXPECT_TRUE(document.FindNextChild(KORVEX_XML_TEXT("z")));

    ASSERT_TRUE(document.EnterElement());  // current is now z
    EXPECT_FALSE(document.FindNextElement(KORVEX_XML_TEXT("y")));
    EXPECT_FALSE(document.FindNextElement());
}

TEST(XmlNavigation, FindNextChildSelectsTheRootFirst)
{
    XmlDocument document;
    ASSERT_TRUE(document.ParseText(KORVEX_XML_TEXT("<!-- c --><r><c>t</c></r>")));
    ASSERT_TRUE(document.FindNextChild(KORVEX_XML_TEXT("c")));
    EXPECT_NE(document.CurrentPosition(), 0);
    EXPECT_EQ(document.ElementText(document.ChildPosition()), X("t"));

    XmlDocument empty;
    EXPECT_FALSE(empty.ParseText(KORVEX_XML_TEXT("text")));
    EXPECT_FALSE(empty.FindNextChild());
    EXPECT_EQ(empty.CurrentPosition(), 0);
}

TEST(XmlNavigation, EnterAndLeaveKeepTheCursorConsistent)
{
    XmlDocument document;
    ASSERT_TRUE(document.ParseText(KORVEX_XML_TEXT("<r><p><q>deep</q></p><s/></r>")));
    EXPECT_FALSE(document.EnterElement());
    EXPECT_FALSE(document.LeaveElement());

    ASSERT_TRUE(document.FindNextElement(KORVEX_XML_TEXT("r")));
    const int r = document.CurrentPosition();
    ASSERT_TRUE(document.EnterElement());
    EXPECT_EQ(document.ParentPosition(), r);
    EXPECT_EQ(document.CurrentPosition(), 0);
    ASSERT_TRUE(document.FindNextElement(KORVEX_XML_TEXT("p")));
    const int p = document.CurrentPosition();
    ASSERT_TRUE(document.FindNextChild(KORVEX_XML_TEXT("q")));
    const int q = document.ChildPosition();
    ASSERT_TRUE(document.EnterElement());
    EXPECT_EQ(document.ParentPosition(), p);
    EXPECT_EQ(document.CurrentPosition(), q);
    EXPECT_EQ(document.ElementText(q), X("deep"));
    EXPECT_FALSE(document.FindNextChild());  // q has no children; the child stays 0
    EXPECT_EQ(document.ChildPosition(), 0);

    ASSERT_TRUE(document.LeaveElement());
    EXPECT_EQ(document.ParentPosition(), r);
    EXPECT_EQ(document.CurrentPosition(), p);
    EXPECT_EQ(document.ChildPosition(), q);
    ASSERT_TRUE(document.LeaveElement());
    EXPECT_EQ(document.ParentPosition(), 0);
    EXPECT_EQ(document.CurrentPosition(), r);
    EXPECT_EQ(document.ChildPosition(), p);
    EXPECT_FALSE(document.LeaveElement());
    EXPECT_TRUE(document.FindNextChild(KORVEX_XML_TEXT("s")));
}

TEST(XmlNavigation, WalksEveryElementOfAnUnevenTree)
{
    XmlDocument document;
    ASSERT_TRUE(document.ParseText(KORVEX_XML_TEXT("<r><a><b/><c><d/></c></a><e/><f><g><h/></g></f></r>")));
    EXPECT_EQ(WalkAllElements(document), 9);
}

struct NameCase {
    const XmlChar* m_name;
    bool m_bMatches;
};

class NameMatching : public testing::TestWithParam<NameCase> {};

TEST_P(NameMatching, ComparesTheWholeTagName)
{
    XmlDocument document;
    ASSERT_TRUE(document.ParseText(KORVEX_XML_TEXT("<r><ab x='1'/></r>")));
    ASSERT_TRUE(document.FindNextElement());
    EXPECT_EQ(document.FindNextChild(GetParam().m_name), GetParam().m_bMatches) << Printable(GetParam().m_name);
    EXPECT_EQ(document.ChildPosition() != 0, GetParam().m_bMatches);
}

INSTANTIATE_TEST_SUITE_P(
    Names, NameMatching,
    testing::Values(NameCase{KORVEX_XML_TEXT("ab"), true}, NameCase{KORVEX_XML_TEXT("ab x"), true},
                    NameCase{KORVEX_XML_TEXT("ab=1"), true}, NameCase{KORVEX_XML_TEXT("ab/c"), true},
                    NameCase{KORVEX_XML_TEXT("ab[2]"), true}, NameCase{KORVEX_XML_TEXT(""), true},
                    NameCase{nullptr, true}, NameCase{KORVEX_XML_TEXT("a"), false},
                    NameCase{KORVEX_XML_TEXT("abc"), false}, NameCase{KORVEX_XML_TEXT("ab.x"), false},
                    NameCase{KORVEX_XML_TEXT("AB"), false}, NameCase{KORVEX_XML_TEXT("/ab"), false},
                    NameCase{KORVEX_XML_TEXT("/"), false}));

TEST(XmlNavigation, SearchNamesStopAtPunctuationInTheTag)
{
    XmlDocument document;
    ASSERT_TRUE(document.ParseText(KORVEX_XML_TEXT("<r><ns:item/><odd;name/><x!y/></r>")));
    ASSERT_TRUE(document.FindNextElement());
    EXPECT_TRUE(document.FindNextChild(KORVEX_XML_TEXT("ns:item")));
    EXPECT_FALSE(document.FindNextChild(KORVEX_XML_TEXT("odd;name")));
    EXPECT_TRUE(document.FindNextChild(KORVEX_XML_TEXT("odd")));
    EXPECT_TRUE(document.FindNextChild(KORVEX_XML_TEXT("x")));
}

TEST(XmlNavigation, IgnoreCaseFlagFoldsAsciiLetters)
{
    XmlDocument document;
    ASSERT_TRUE(document.ParseText(KORVEX_XML_TEXT("<Root><Item/></Root>")));
    EXPECT_FALSE(document.FindNextElement(KORVEX_XML_TEXT("root")));
    document.SetDocumentFlags(kXmlFlagIgnoreCase);
    EXPECT_TRUE(document.FindNextElement(KORVEX_XML_TEXT("root")));
    EXPECT_TRUE(document.FindNextChild(KORVEX_XML_TEXT("ITEM")));
}

}  // namespace
