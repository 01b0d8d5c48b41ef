// Every prefix of a few documents, as text and as file bytes: the index
// stays consistent and every element can be visited and read.

#include "XmlTestSupport.h"

#include <gtest/gtest.h>

#include <string>

using namespace korvex::xml;

namespace {

#define BYTES(literal) std::string(literal, sizeof(literal) - 1)

const std::string kDocuments[] = {
    BYTES("<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n"
          "<!DOCTYPE korvexwebinstaller [<!ENTITY v \"1.0\"><!ATTLIST p x CDATA 'a>b'><!-- <!x> -->]>\r\n"
          "<korvexwebinstaller version='18.0'>\r\n"
          "  <!-- product -->\r\n"
          "  <product_code>{A1B2C3D4-0000-4000-8000-00000000AB12}</product_code>\r\n"
          "  <name>Fenwyx &amp; Pro &#x2122; &eacute;&#233;</name>\r\n"
          "  <notes><![CDATA[<b>bold</b> & ]]]]><![CDATA[>]]></notes>\r\n"
          "  <package url=\"http://127.0.0.1/a.msi?x=1&amp;y=2\" size='1'/>\r\n"
          "  <?pi data?><empty/><empty />\r\n"
          "  <transforms><t lang='1031'>de.mst</t><t lang=\"1036\">fr.mst</t></transforms>\r\n"
          "</korvexwebinstaller>\r\n"),

    BYTES("<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1252\">"
          "</head><body><p>caf\xE9</p><br><p>x</body></html>"),

    BYTES("<a><b><c></a></b><d x='1'/></x><e>&bogus;&#;&#x110000;</e><1bad><!-x><![y>"
          "<!DOCTYPE q [<!Z>]><f><![CDATA[unterminated"),

    // UTF-16 LE with a mark, and big-endian.
    BYTES("\xFF\xFE<\0r\0>\0\xE9\0=\xD8\0\xDE<\0/\0r\0>\0"),
    BYTES("\xFE\xFF\0<\0r\0>\0\xE9\xD8=\xDE\0\0<\0/\0r\0>"),
};

void CheckDocument(XmlDocument& document, const std::string& what)
{
    ASSERT_EQ(CheckElementIndex(document), "") << what;
    const int walked = WalkAllElements(document);
    EXPECT_LE(walked, document.Elements().Count() - 1) << what;
    for (int position = -1; position <= document.Elements().Count(); ++position) document.ElementText(position);
}

TEST(XmlPrefixes, EveryPrefixParsesSafely)
{
    for (const std::string& bytes : kDocuments) {
        for (size_t length = 0; length <= bytes.size(); ++length) {
            const std::string prefix = bytes.substr(0, length);
            const std::string what = "prefix of " + std::to_string(length) + " bytes";
            XmlDocument fromBytes;
            fromBytes.LoadBytes(prefix.data(), prefix.size());
            CheckDocument(fromBytes, what + " as bytes");
            XmlDocument fromText;
            fromText.ParseText(XmlString(prefix.begin(), prefix.end()));
            CheckDocument(fromText, what + " as text");
        }
    }
}

TEST(XmlPrefixes, WholeManifestReadsAsExpected)
{
    XmlDocument document;
    ASSERT_TRUE(document.LoadBytes(kDocuments[0].data(), kDocuments[0].size())) << Printable(document.ResultText());
    ASSERT_TRUE(document.FindNextElement(KORVEX_XML_TEXT("korvexwebinstaller")));
    ASSERT_TRUE(document.FindNextChild(KORVEX_XML_TEXT("name")));
    EXPECT_EQ(document.ElementText(document.ChildPosition()),
              X("Fenwyx & Pro ") + XmlString({0x2122, ' ', 0xE9, 0xE9}));
    ASSERT_TRUE(document.FindNextChild(KORVEX_XML_TEXT("notes")));
    EXPECT_EQ(document.ElementText(document.ChildPosition()), X("<b>bold</b> & ]]>"));
    ASSERT_TRUE(document.FindNextChild(KORVEX_XML_TEXT("transforms")));
    ASSERT_TRUE(document.EnterElement());
    ASSERT_TRUE(document.FindNextChild(KORVEX_XML_TEXT("t")));
    ASSERT_TRUE(document.FindNextChild(KORVEX_XML_TEXT("t")));
    EXPECT_EQ(document.ElementText(document.ChildPosition()), X("fr.mst"));
    EXPECT_EQ(WalkAllElements(document), 0);  // nothing left after the current element at this level
}

}  // namespace
