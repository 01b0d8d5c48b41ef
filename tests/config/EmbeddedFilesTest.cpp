// The names a single-file installer gives the files it carries, and the
// reading of a string file held in memory.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/EmbeddedFileNames.h"
#include "config/IniText.h"

using namespace korvex::config;

namespace {

TEST(EmbeddedFiles, NamesAreUpperCasePathsOrEmptyWhenUnsafe)
{
    struct NameCase {
        std::wstring path;
        std::wstring expected;
    };
    const NameCase cases[] = {
        {L"config\\manifestPro.xml", kEmbeddedManifestName},
        {L"language/1031/slidesPro/100/Slide 1.jpg", L"LANGUAGE/1031/SLIDESPRO/100/SLIDE 1.JPG"},
        {L"a_b-c.d", L"A_B-C.D"},
        {L"", L""},
        {L"\\language\\x", L""},
        {L"language\\\\x", L""},
        {L"language\\", L""},
        {L"language\\..\\x", L""},
        {L"language\\.\\x", L""},
        {L"C:\\language", L""},
        {L"language\\1031\\str\u00e9.ini", L""},
        {L"#12", L""},
    };
    for (const NameCase& name : cases) {
        EXPECT_EQ(EmbeddedFileName(name.path), name.expected);
    }
    EXPECT_EQ(EmbeddedLanguageFileName(1031, L"stringPro.ini"), L"LANGUAGE/1031/STRINGPRO.INI");
    EXPECT_EQ(EmbeddedLanguageFileName(1031, L"..\\x"), L"");
}

TEST(EmbeddedFiles, SlidesAreTheLanguagesJpegsAtOneScaleInNameOrder)
{
    const std::vector<std::wstring> names = {
        L"LANGUAGE/1031/SLIDESPRO/100/B.JPG",
        L"LANGUAGE/1031/SLIDESPRO/100/A.JPG",
        L"LANGUAGE/1031/SLIDESPRO/100/NOTES.TXT",
        L"LANGUAGE/1031/SLIDESPRO/100/OLD/C.JPG",
        L"LANGUAGE/1031/SLIDESPRO/100/.JPG",
        L"LANGUAGE/1031/SLIDESPRO/150/D.JPG",
        L"LANGUAGE/1033/SLIDESPRO/100/E.JPG",
        L"LANGUAGE/10310/SLIDESPRO/100/F.JPG",
        L"CONFIG/MANIFESTPRO.XML",
    };
    EXPECT_EQ(EmbeddedSlideNames(names, 1031, 100),
              (std::vector<std::wstring>{L"LANGUAGE/1031/SLIDESPRO/100/A.JPG", L"LANGUAGE/1031/SLIDESPRO/100/B.JPG"}));
    EXPECT_EQ(EmbeddedSlideNames(names, 1031, 150), std::vector<std::wstring>{L"LANGUAGE/1031/SLIDESPRO/150/D.JPG"});
    EXPECT_TRUE(EmbeddedSlideNames(names, 1036, 100).empty());
}

TEST(EmbeddedFiles, StringFileValuesAreFoundAsTheSystemFindsThem)
{
    const std::wstring text =
        L"; comment\r\n[UISTRING]\r\nIDS_INSTALL = Installieren \r\nIDS_QUOTED=\"  padded  \"\r\n"
        L"IDS_SINGLE='x'\r\nIDS_HALF=\"open\r\nIDS_EMPTY=\r\nIDS_INSTALL=second\r\n"
        L"[ rlink ]\r\nIDS_RLINK_TERMS=https://a/b?c=d\r\n[LANGUAGE]\nTitle=Deutsch";
    struct LookupCase {
        const wchar_t* section;
        const wchar_t* key;
        bool found;
        std::wstring value;
    };
    const LookupCase cases[] = {
        {L"UISTRING", L"IDS_INSTALL", true, L"Installieren"},  // first of two, blanks dropped
        {L"uistring", L"ids_install", true, L"Installieren"},
        {L"UISTRING", L"IDS_QUOTED", true, L"  padded  "},
        {L"UISTRING", L"IDS_SINGLE", true, L"x"},
        {L"UISTRING", L"IDS_HALF", true, L"\"open"},
        {L"UISTRING", L"IDS_EMPTY", true, L""},
        {L"RLINK", L"IDS_RLINK_TERMS", true, L"https://a/b?c=d"},  // only the first '=' splits
        {L"LANGUAGE", L"Title", true, L"Deutsch"},                 // bare line ends, no end of line at the end
        {L"UISTRING", L"Title", false, L"unchanged"},
        {L"RLINK", L"IDS_INSTALL", false, L"unchanged"},
        {L"MISSING", L"IDS_INSTALL", false, L"unchanged"},
    };
    for (const LookupCase& lookup : cases) {
        std::wstring value = L"unchanged";
        EXPECT_EQ(FindIniValue(text, lookup.section, lookup.key, value), lookup.found) << lookup.key;
        EXPECT_EQ(value, lookup.value) << lookup.key;
    }
}

TEST(EmbeddedFiles, StringFileBytesDecodeFromUtf16WithMarkElseUtf8)
{
    struct DecodeCase {
        std::string bytes;
        std::wstring expected;
    };
    const DecodeCase cases[] = {
        {std::string("\xFF\xFE"
                     "A\0\xE4\0",
                     6),
         L"A\u00e4"},
        {std::string("\xFF\xFE"
                     "A\0B",
                     5),
         L"A"},  // an odd last byte is dropped
        {"\xEF\xBB\xBF"
         "A\xC3\xA4",
         L"A\u00e4"},
        {"A\xC3\xA4", L"A\u00e4"},
        {"", L""},
    };
    for (const DecodeCase& decode : cases) {
        EXPECT_EQ(DecodeIniBytes(decode.bytes), decode.expected);
    }
}

}  // namespace
