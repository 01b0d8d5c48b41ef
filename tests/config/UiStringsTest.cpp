#include "config/LanguageListWin.h"
#include "config/SlideImagesWin.h"
#include "config/UiStrings.h"

#include <gtest/gtest.h>

#include "config/LanguageList.h"
#include "config/ProductConfiguration.h"
#include "config/RunSettings.h"
#include "config/SlideImages.h"
#include "config/UiStringsWin.h"
#include "support/TestFiles.h"
#include "ui/Dpi.h"

using namespace korvex::config;

namespace {

class UiStrings : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_productConfiguration = ProductConfiguration();
        g_runSettings = RunSettings();
        m_folder =
            FreshFolder(std::string("strings-") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        g_productConfiguration.m_strExeFolder = m_folder.wstring();
        g_productConfiguration.m_strLanguageFolder = m_folder.wstring() + L"\\language\\";
        const std::string longValue(300, 'L');
        WriteTestFile(m_folder / "language" / "1031" / "stringPro.ini",
                      "[UISTRING]\r\nIDS_INSTALL=Installieren\r\nIDS_START_NOW=\r\nIDS_PREPARING=" + longValue +
                          "\r\nIDS_PRODUCT_READY=%s ist bereit\r\n"
                          "[RLINK]\r\nIDS_RLINK_TERMS=https://www.fenwyx.example/de/terms\r\n"
                          "[LANGUAGE]\r\nTitle=Deutsch\r\n");
        WriteTestFile(m_folder / "language" / "1036" / "stringPro.ini",
                      Utf16File(L"[UISTRING]\r\nIDS_INSTALL=Installer\r\n[LANGUAGE]\r\nTitle=Fran\u00e7ais\r\n"));
        WriteTestFile(m_folder / "language" / "1040" / "stringPro.ini", "[UISTRING]\r\nIDS_INSTALL=Installa\r\n");
    }
    void TearDown() override
    {
        g_productConfiguration = ProductConfiguration();
        g_runSettings = RunSettings();
    }

    std::filesystem::path m_folder;
};

TEST_F(UiStrings, LooksUpTheCurrentLanguage)
{
    g_productConfiguration.m_nLanguageId = 1031;
    EXPECT_EQ(LoadUiString(IDS_INSTALL), L"Installieren");
    EXPECT_EQ(LoadUiString(L"IDS_PRODUCT_READY", L"%s is ready"), L"%s ist bereit");
    EXPECT_EQ(LoadUiString(IDS_START_NOW), L"") << "a present key with an empty value is empty";
    EXPECT_EQ(LoadUiString(IDS_TEXT_CANCEL), L"Cancel") << "a missing key gives the default";
    EXPECT_EQ(LoadUiString(IDS_PREPARING), std::wstring(259, L'L')) << "values are cut to 259 characters";
    EXPECT_EQ(LoadLink(IDS_RLINK_TERMS), L"https://www.fenwyx.example/de/terms");
    EXPECT_EQ(LoadLink(IDS_RLINK_SLIDE_SHOW), IDS_RLINK_SLIDE_SHOW.m_default);
    EXPECT_EQ(LoadLink(L"IDS_INSTALL", L"http://default"), L"http://default") << "links come from RLINK only";

    g_productConfiguration.m_nLanguageId = 1036;
    EXPECT_EQ(LoadUiString(IDS_INSTALL), L"Installer") << "UTF-16 files are read";

    g_productConfiguration.m_nLanguageId = 1041;  // no file
    EXPECT_EQ(LoadUiString(IDS_INSTALL), L"Install");
    EXPECT_EQ(LoadUiString(IDS_ERR_CLIENT_TOO_OLD),
              L"The version of your client is too old, please click \"OK\" to download the latest client.");
    EXPECT_EQ(LoadLink(IDS_RLINK_TERMS), IDS_RLINK_TERMS.m_default);

    g_productConfiguration.m_strLanguageFolder = L"";  // before any load: the defaults
    g_productConfiguration.m_nLanguageId = 1031;
    EXPECT_EQ(LoadUiString(IDS_INSTALL), L"Install");
}

TEST_F(UiStrings, LanguageTitles)
{
    g_productConfiguration.m_nLanguageId = 1031;
    EXPECT_EQ(GetLanguageTitle(1031), L"Deutsch");
    EXPECT_EQ(GetLanguageTitle(1036), L"Fran\u00e7ais");
    EXPECT_EQ(GetLanguageTitle(1040), L"1040") << "a file without the LANGUAGE section";
    EXPECT_EQ(GetLanguageTitle(1041), L"1041") << "no file";
}

TEST_F(UiStrings, LanguageListFromTheFilesAndTheSwitch)
{
    g_productConfiguration.m_manifest.m_strPid = L"FWX-180-INT";
    g_productConfiguration.m_manifest.m_languagePacks = {
        {1031, L"", L"", L"", L""}, {1036, L"", L"", L"", L""}, {1041, L"", L"", L"", L""}};
    g_runSettings.m_strLanguage = L"1036";
    BuildLanguageList();
    EXPECT_EQ(g_productConfiguration.m_strLanguageFolder, m_folder.wstring() + L"\\language\\");
    ASSERT_EQ(g_productConfiguration.m_languages.size(), 4u);
    EXPECT_EQ(g_productConfiguration.m_languages[0].m_strName, L"English");
    EXPECT_EQ(g_productConfiguration.m_languages[1].m_strName, L"Deutsch");
    EXPECT_EQ(g_productConfiguration.m_languages[2].m_strName, L"Fran\u00e7ais");
    EXPECT_EQ(g_productConfiguration.m_languages[3].m_strName, L"1041");
    EXPECT_EQ(g_productConfiguration.m_nLanguageId, 1036);
    EXPECT_EQ(g_productConfiguration.m_bLanguageChoice, 1);
    EXPECT_EQ(LoadUiString(IDS_INSTALL), L"Installer");
}

TEST(SlideScale, FollowsTheSteppedDpi)
{
    const struct {
        int m_nDpi;
        int m_nScale;
    } rows[] = {{96, 100},  {110, 100}, {119, 100}, {120, 125}, {143, 125},
                {144, 150}, {168, 150}, {191, 150}, {192, 200}, {240, 200}};
    for (const auto& row : rows) {
        SetScreenDpiForTesting(row.m_nDpi, row.m_nDpi);
        EXPECT_EQ(SlideScaleForDpiStep(DpiStep()), row.m_nScale) << row.m_nDpi;
    }
}

// The slide list is kept for the process, so one test walks its life.
TEST_F(UiStrings, SlidesAreFixedByTheFirstCallThatFindsAny)
{
    g_productConfiguration.m_nLanguageId = 1031;
    SetScreenDpiForTesting(168, 168);
    EXPECT_TRUE(GetSlideImages().empty()) << "no slides folder yet";

    const std::filesystem::path slides = m_folder / "language" / "1031" / "slidesPro";
    WriteTestFile(slides / "100" / "wrong-scale.jpg", "x");
    WriteTestFile(slides / "150" / "a.jpg", "x");
    WriteTestFile(slides / "150" / "b.jpg", "x");
    WriteTestFile(slides / "150" / "notes.txt", "x");
    const std::wstring prefix = g_productConfiguration.m_strLanguageFolder + L"1031\\slidesPro\\150\\";
    // A path of 259 characters fits the classic limit; one more is skipped.
    const std::wstring longestName = std::wstring(259 - prefix.size() - 4, L'y') + L".jpg";
    WriteTestFile(slides / "150" / longestName, "x");
    WriteTestFile(slides / "150" / (std::wstring(260 - prefix.size() - 4, L'z') + L".jpg"), "x");

    std::vector<std::wstring> found = GetSlideImages();
    std::sort(found.begin(), found.end());
    EXPECT_EQ(found, (std::vector<std::wstring>{prefix + L"a.jpg", prefix + L"b.jpg", prefix + longestName}));

    g_productConfiguration.m_nLanguageId = 1036;
    SetScreenDpiForTesting(96, 96);
    std::vector<std::wstring> again = GetSlideImages();
    std::sort(again.begin(), again.end());
    EXPECT_EQ(again, found) << "a later language or scale does not change the list";
}

}  // namespace
