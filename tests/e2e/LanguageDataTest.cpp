// The shipped language data read the way the installer reads it: through the
// system's profile-string reader and the GDI+ picture decoder.
#include "HarnessText.h"
#include "base/GdiplusHandles.h"
#include "base/WinHandles.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <gdiplus.h>

#include <regex>
#include <string>
#include <vector>

namespace {

const wchar_t* const kKeys[] = {
    L"IDS_INSTALL",
    L"IDS_STATUS_INIT",
    L"IDS_STATUS_CANCELLING",
    L"IDS_STATUS_DOWNLOADING",
    L"IDS_STATUS_INSTALLING",
    L"IDS_STATUS_FINISHED",
    L"IDS_STATUS_INSTALL_FAILED",
    L"IDS_STATUS_CANCELLED",
    L"IDS_PRODUCT_READY",
    L"IDS_ACCEPT_LICENSE_TERMS",
    L"IDS_LINK_LICENSE_TERMS",
    L"IDS_INSTALL_SETTINGS",
    L"IDS_SELECT_LANG",
    L"IDS_INSTALL_FOLDER",
    L"IDS_TEXT_CANCEL",
    L"IDS_MESSAGE_CANCELNOTICE",
    L"IDS_START_NOW",
    L"IDS_LAUNCH_APP",
    L"IDS_BROWSE_DEST_FOLDER",
    L"IDS_PREPARING",
    L"IDS_CALC_TIME_REMAINING",
    L"IDS_TIME_REMAINING_HOURS",
    L"IDS_TIME_REMAINING_MINS",
    L"IDS_TIME_REMAINING_SECS",
    L"IDS_FILE_ASSOCIATION",
    L"IDS_FILE_ASSOCIATE_ALL",
    L"IDS_FILE_ASSOCIATE_UNUSED",
    L"IDS_FILE_ASSOCIATE_NONE",
    L"IDS_ERR_CAPTION",
    L"IDS_ERR_INSTALLED_ALREADY",
    L"IDS_ERR_CLIENT_TOO_OLD",
    L"IDS_ERR_OUT_OF_DISK",
    L"IDS_ERR_CONNECT_DOWNLOAD_SERVER",
    L"IDS_ERR_CREATE_FOLDER_FAILED",
    L"IDS_CLOSE_RUNNING_APPS",
};
const int kLanguages[] = {1033, 1031, 1036, 1040, 1034, 1041, 2052, 1028};
constexpr wchar_t kAbsent[] = L"<absent>";

std::wstring LanguageFolder(int language)
{
    std::string source = KORVEX_SOURCE_DIR;
    return std::wstring(source.begin(), source.end()) + L"\\demo\\language\\" + std::to_wstring(language);
}

// The lookup as the installer makes it: a 260-character buffer.
std::wstring Lookup(int language, const wchar_t* section, const wchar_t* key)
{
    wchar_t value[260] = {};
    std::wstring file = LanguageFolder(language) + L"\\stringPro.ini";
    GetPrivateProfileStringW(section, key, kAbsent, value, 260, file.c_str());
    return value;
}

// The printf conversions of a text, in order: translations must keep them.
std::vector<std::wstring> Placeholders(const std::wstring& text)
{
    static const std::wregex conversion(L"%[0-9]*[sd]");
    std::vector<std::wstring> found;
    for (std::wsregex_iterator it(text.begin(), text.end(), conversion), end; it != end; ++it)
        found.push_back(it->str());
    return found;
}

TEST(LanguageData, FilesAreUtf16WithByteOrderMark)
{
    for (int language : kLanguages) {
        std::wstring path = LanguageFolder(language) + L"\\stringPro.ini";
        const FileHandle file(
            CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_NE(file.get(), INVALID_HANDLE_VALUE) << language;
        unsigned char mark[2] = {};
        DWORD got = 0;
        ReadFile(file.get(), mark, 2, &got, nullptr);
        EXPECT_EQ(got, 2u);
        EXPECT_EQ(mark[0], 0xFF) << language;
        EXPECT_EQ(mark[1], 0xFE) << language;
    }
}

TEST(LanguageData, EveryKeyIsTranslatedWithTheSamePlaceholdersAndUncut)
{
    for (int language : kLanguages) {
        for (const wchar_t* key : kKeys) {
            std::wstring english = Lookup(1033, L"UISTRING", key);
            std::wstring text = Lookup(language, L"UISTRING", key);
            SCOPED_TRACE(std::to_string(language) + " " + Utf8FromWide(key));
            ASSERT_NE(text, kAbsent);
            EXPECT_FALSE(text.empty());
            EXPECT_LT(text.size(), 259u) << "cut by the 260-character buffer";
            EXPECT_EQ(Placeholders(text), Placeholders(english)) << Utf8FromWide(text);
            if (language != 1033 && wcscmp(key, L"IDS_ERR_CAPTION") != 0) {
                EXPECT_NE(text, english) << "left in English";
            }
        }
        EXPECT_NE(Lookup(language, L"LANGUAGE", L"Title"), kAbsent);
        for (const wchar_t* link : {L"IDS_RLINK_TERMS", L"IDS_RLINK_SLIDE_SHOW"})
            EXPECT_EQ(Lookup(language, L"RLINK", link).rfind(L"https://", 0), 0u) << language;
    }
}

TEST(LanguageData, NonLatinTextsSurviveTheProfileReader)
{
    EXPECT_EQ(Lookup(1041, L"UISTRING", L"IDS_INSTALL"), L"\u30a4\u30f3\u30b9\u30c8\u30fc\u30eb");
    EXPECT_EQ(Lookup(2052, L"UISTRING", L"IDS_INSTALL"), L"\u5b89\u88c5");
    EXPECT_EQ(Lookup(1028, L"UISTRING", L"IDS_INSTALL"), L"\u5b89\u88dd");
    EXPECT_EQ(Lookup(1031, L"UISTRING", L"IDS_STATUS_CANCELLING"), L"Abbruch l\u00e4uft...");
    EXPECT_EQ(Lookup(1031, L"LANGUAGE", L"Title"), L"Deutsch");
    // The quoted OK stays inside the text: the reader strips only enclosing quotes.
    EXPECT_NE(Lookup(1033, L"UISTRING", L"IDS_ERR_CLIENT_TOO_OLD").find(L"click \"OK\" to"), std::wstring::npos);
}

TEST(LanguageData, SlidesHaveTheProgressPageSizeForEveryScale)
{
    const GdiplusToken gdiplus = StartGdiplus();
    ASSERT_TRUE(gdiplus);
    for (int language : kLanguages) {
        for (int scale : {100, 125, 150, 200}) {
            std::wstring folder = LanguageFolder(language) + L"\\slidesPro\\" + std::to_wstring(scale) + L"\\";
            WIN32_FIND_DATAW found;
            const FindHandle search(FindFirstFileW((folder + L"*.jpg").c_str(), &found));
            ASSERT_NE(search.get(), INVALID_HANDLE_VALUE) << language << " " << scale;
            int slides = 0;
            do {
                Gdiplus::Bitmap picture((folder + found.cFileName).c_str());
                SCOPED_TRACE(Utf8FromWide(folder + found.cFileName));
                ASSERT_EQ(picture.GetLastStatus(), Gdiplus::Ok);
                EXPECT_EQ(picture.GetWidth(), 660u * scale / 100);
                EXPECT_EQ(picture.GetHeight(), (284u * scale + 50) / 100);
                ++slides;
            } while (FindNextFileW(search.get(), &found));
            EXPECT_GE(slides, 2) << language << " " << scale;
        }
    }
}

}  // namespace
