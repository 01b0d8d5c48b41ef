// Files of every encoding the reader meets, read from disk through the
// platform's own conversion functions (Windows under Wine, or the host's).

#include "XmlTestSupport.h"

#include "xml/XmlPlatform.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace korvex::xml;

namespace {

XmlString DataPath(const char* name)
{
#if defined(_WIN32)
    const std::string path = std::string(KORVEX_SOURCE_DIR) + "\\tests\\xml\\data\\" + name;
#else
    const std::string path = std::string(KORVEX_SOURCE_DIR) + "/tests/xml/data/" + name;
#endif
    return XmlString(path.begin(), path.end());
}

const XmlString kEAcute(1, 0xE9);
const XmlString kTextWithPair = XmlString({0xE9, 0xD83D, 0xDE00});

struct FileCase {
    const char* m_szFile;
    XmlString m_text;                  // of the root element
    uint32_t m_nFlags;                 // encoding flags after the load
    std::vector<XmlString> m_present;  // result entries, in this order
    std::vector<XmlString> m_absent;
};

class EncodingMatrix : public testing::TestWithParam<FileCase> {};

TEST_P(EncodingMatrix, DecodesTheFile)
{
    const FileCase& testCase = GetParam();
    XmlDocument document;
    ASSERT_TRUE(document.LoadFile(DataPath(testCase.m_szFile).c_str())) << Printable(document.ResultText());
    ASSERT_TRUE(document.FindNextElement(KORVEX_XML_TEXT("a")));
    EXPECT_EQ(document.ElementText(document.CurrentPosition()), testCase.m_text);
    EXPECT_EQ(document.DocumentFlags(), testCase.m_nFlags);
    const XmlString& results = document.ResultText();
    size_t searchFrom = 0;
    for (const XmlString& entry : testCase.m_present) {
        const size_t found = results.find(entry, searchFrom);
        ASSERT_NE(found, XmlString::npos) << Printable(entry) << " in " << Printable(results);
        searchFrom = found + entry.size();
    }
    for (const XmlString& entry : testCase.m_absent)
        EXPECT_EQ(results.find(entry), XmlString::npos) << Printable(entry) << " in " << Printable(results);
}

INSTANTIATE_TEST_SUITE_P(
    Files, EncodingMatrix,
    testing::Values(
        FileCase{"utf8-bom.xml",
                 kEAcute,
                 kXmlFlagUtf8Mark,
                 {X("<bom/>"), X("<read encoding=\"UTF-8\" length=\"9\"/>"),
                  X("<converted_to encoding=\"UTF-16\" length=\"8\"/>")},
                 {X("utf8_detection")}},
        FileCase{"windows-1252.xml",
                 XmlString({0xE9, 0x20AC}),
                 0,
                 {X("<read encoding=\"windows-1252\" length=\"56\"/>"), X("<converted_to encoding=\"UTF-16\"")},
                 {X("<bom/>"), X("utf8_detection")}},
        FileCase{"utf8-no-declaration.xml",
                 kEAcute,
                 0,
                 {X("<read encoding=\"UTF-8\" length=\"9\"/>"), X("<converted_to encoding=\"UTF-16\" length=\"8\"/>")},
                 {X("utf8_detection")}},
        FileCase{"space-utf8.xml",
                 kEAcute,
                 0,
                 {X("<read encoding=\"UTF-8\" length=\"10\"/>"), X("<utf8_detection/>"),
                  X("<converted_to encoding=\"UTF-16\" length=\"9\"/>")},
                 {}},
        FileCase{"utf16le-bom.xml",
                 kTextWithPair,
                 kXmlFlagUtf16LE,
                 {X("<bom/>"), X("<read encoding=\"UTF-16LE\" length=\"10\"/>")},
                 {X("endian_swap"), X("nulls_removed"), X("converted_to")}},
        FileCase{"utf16be-bom.xml",
                 kTextWithPair,
                 kXmlFlagUtf16BE,
                 {X("<bom/>"), X("<read encoding=\"UTF-16BE\" length=\"10\"/>"), X("<endian_swap/>")},
                 {X("nulls_removed"), X("converted_to")}},
        FileCase{"utf16le-no-mark.xml",
                 X("x"),
                 0,
                 {X("<read encoding=\"UTF-8\" length=\"16\"/>"), X("<nulls_removed count=\"8\"/>"),
                  X("<converted_to encoding=\"UTF-16\" length=\"8\"/>")},
                 {X("<bom/>")}}));

TEST(XmlFile, LoneHighByteFallsBackToTheAnsiPage)
{
    XmlDocument document;
    ASSERT_TRUE(document.LoadFile(DataPath("space-ansi.xml").c_str()));
    const XmlString& results = document.ResultText();
    EXPECT_NE(results.find(X("<read encoding=\"\" length=\"9\"/><utf8_detection/>")), XmlString::npos)
        << Printable(results);
    ASSERT_TRUE(document.FindNextElement());
    XmlString expected;
    constexpr int kAnsiPage = 0;
    ASSERT_TRUE(platform::BytesToUtf16(kAnsiPage, "\xE9", expected));
    EXPECT_EQ(document.ElementText(document.CurrentPosition()), expected);
    if (AnsiPageIsWestern()) {
        EXPECT_EQ(expected, kEAcute);
    }
}

TEST(XmlFile, EmptyFileReadsButDoesNotParse)
{
    XmlDocument document;
    EXPECT_FALSE(document.LoadFile(DataPath("empty.xml").c_str()));
    EXPECT_EQ(document.ResultText(), X("<read encoding=\"\" length=\"0\"/><no_root_element/>"));
    EXPECT_TRUE(document.DocumentText().empty());
}

TEST(XmlFile, MissingFileReportsTheSystemError)
{
    XmlDocument document;
    ASSERT_TRUE(document.ParseText(KORVEX_XML_TEXT("<old>x</old>")));
    EXPECT_FALSE(document.LoadFile(DataPath("no-such-file.xml").c_str()));
    const XmlString& results = document.ResultText();
    EXPECT_EQ(results.rfind(X("<file_error msg=\""), 0), 0u) << Printable(results);
    EXPECT_NE(results.find(X("\" n=\"2\"/>")), XmlString::npos) << Printable(results);
    EXPECT_GT(results.size(), X("<file_error msg=\"\" n=\"2\"/>").size());  // the message is there
    EXPECT_EQ(results.find('\n'), XmlString::npos);
    EXPECT_TRUE(document.DocumentText().empty());
    EXPECT_FALSE(document.FindNextElement());
    EXPECT_EQ(document.ElementText(1), X(""));
}

TEST(XmlFile, FolderIsNotReadable)
{
    XmlDocument document;
    XmlString folder = DataPath("");
    folder.pop_back();
    EXPECT_FALSE(document.LoadFile(folder.c_str()));
    EXPECT_EQ(document.ResultText().rfind(X("<file_error "), 0), 0u) << Printable(document.ResultText());
}

TEST(XmlFile, SecondLoadIsNotDecodedWithTheFirstFilesEncoding)
{
    XmlDocument document;
    ASSERT_TRUE(document.LoadFile(DataPath("utf16be-bom.xml").c_str()));
    ASSERT_TRUE(document.LoadFile(DataPath("utf8-no-declaration.xml").c_str()));
    EXPECT_EQ(document.DocumentFlags(), 0u);
    ASSERT_TRUE(document.FindNextElement());
    EXPECT_EQ(document.ElementText(document.CurrentPosition()), kEAcute);
}

}  // namespace
