// Decimal text, the language choice and the start-up failure texts: the
// rules that need no machine.

#include <gtest/gtest.h>

#include <climits>
#include <map>

#include "config/ConfigurationFailure.h"
#include "config/DecimalText.h"
#include "config/LanguageList.h"
#include "config/ProductConfiguration.h"

using namespace korvex::config;

namespace {

TEST(DecimalText, ReadsLikeTheCLibrary)
{
    const struct {
        const wchar_t* m_text;
        int m_nExpected;
    } rows[] = {
        {L"1033", 1033},
        {L"  1031", 1031},
        {L"\t+94", 94},
        {L"-5", -5},
        {L"0122", 122},
        {L"12abc", 12},
        {L"abc", 0},
        {L"", 0},
        {L"+", 0},
        {L"- 1", 0},
        {L"99999999999", INT_MAX},
        {L"-99999999999", INT_MIN},
        {L"2147483647", INT_MAX},
        {L"-2147483648", INT_MIN},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(DecimalTextToInt(row.m_text), row.m_nExpected) << '"' << std::wstring(row.m_text).size();
    }
}

TEST(EditionLanguage, LastTwoLettersOfThePid)
{
    const struct {
        const wchar_t* m_pid;
        const wchar_t* m_name;
        int m_nLangId;
    } rows[] = {
        {L"FWX-DE", L"German", 1031},
        {L"fwx-de", L"German", 1031},
        {L"FWX-fr", L"French", 1036},
        {L"xZA", L"Chinese (Simplified)", 2052},
        {L"xZh", L"Chinese (Traditional)", 1028},
        {L"JA", L"Japanese", 1041},
        {L"xIT", L"Italian", 1040},
        {L"xES", L"Spanish", 1034},
        {L"FWX-EN", L"English", 1033},
        {L"FWX-INT", L"English", 1033},
        {L"DEX", L"English", 1033},
        {L"E", L"English", 1033},
        {L"", L"English", 1033},
    };
    for (const auto& row : rows) {
        const LanguageChoice choice = EditionLanguage(row.m_pid);
        EXPECT_EQ(choice.m_strName, row.m_name) << std::wstring(row.m_pid).size();
        EXPECT_EQ(choice.m_nLangId, row.m_nLangId);
    }
}

std::wstring TitleOf(int languageId)
{
    static const std::map<int, std::wstring> titles = {{1031, L"Deutsch"}, {1036, L"Fran\u00e7ais"}};
    const auto found = titles.find(languageId);
    return found != titles.end() ? found->second : std::to_wstring(languageId);
}

struct LanguageRow {
    const char* m_name;
    const wchar_t* m_pid;
    std::vector<int> m_packs;
    const wchar_t* m_commandLine;
    int m_nUserUiLanguage;
    int m_nStartLanguage;
    int m_nExpectedLanguage;
    std::vector<int> m_expectedList;
    int m_bExpectedChoice;
};

TEST(BuildLanguageList, EditionPacksAndPreferredLanguage)
{
    const std::vector<LanguageRow> rows = {
        {"international, UI French", L"FWX-INT", {1031, 1036}, L"", 1036, 1033, 1036, {1033, 1031, 1036}, 1},
        {"switch 1031 wins over UI", L"FWX-INT", {1031, 1036}, L"1031", 1036, 1033, 1031, {1033, 1031, 1036}, 1},
        {"switch not a number: UI language", L"FWX-INT", {1031, 1036}, L"abc", 1036, 1033, 1036, {1033, 1031, 1036}, 1},
        {"switch zero: UI language", L"FWX-INT", {1031, 1036}, L"0", 1036, 1033, 1036, {1033, 1031, 1036}, 1},
        {"switch negative: UI language", L"FWX-INT", {1031}, L"-1031", 1031, 1033, 1031, {1033, 1031}, 1},
        {"preferred not offered keeps 1033", L"FWX-INT", {1031}, L"", 1041, 1033, 1033, {1033, 1031}, 1},
        {"preferred not offered keeps any value", L"FWX-INT", {1031}, L"2052", 1033, 1040, 1040, {1033, 1031}, 1},
        {"localised edition prefers its language", L"FWX-de", {1036}, L"", 1036, 1033, 1031, {1031, 1036}, 1},
        {"localised edition, switch", L"FWX-DE", {1036}, L"1036", 1031, 1033, 1036, {1031, 1036}, 1},
        {"edition pack listed twice", L"FWX-FR", {1036, 1031}, L"", 1033, 1033, 1036, {1036, 1036, 1031}, 1},
        {"one language: no choice", L"FWX-JA", {}, L"", 1033, 1033, 1041, {1041}, 0},
        {"international alone, UI English", L"FWX", {}, L"", 1033, 1033, 1033, {1033}, 0},
        {"switch for the only language", L"FWX", {}, L"1033", 1031, 1031, 1033, {1033}, 0},
    };
    for (const LanguageRow& row : rows) {
        SCOPED_TRACE(row.m_name);
        ProductConfiguration configuration;
        configuration.m_strExeFolder = L"C:\\setup";
        configuration.m_nLanguageId = row.m_nStartLanguage;
        configuration.m_manifest.m_strPid = row.m_pid;
        for (int pack : row.m_packs) {
            configuration.m_manifest.m_languagePacks.push_back({pack, L"", L"", L"", L""});
        }
        LanguageListSources sources;
        sources.m_languageTitle = TitleOf;
        sources.m_strCommandLineLanguage = row.m_commandLine;
        sources.m_nUserDefaultUiLanguage = row.m_nUserUiLanguage;
        BuildLanguageList(configuration, sources);

        EXPECT_EQ(configuration.m_strLanguageFolder, L"C:\\setup\\language\\");
        EXPECT_EQ(configuration.m_nLanguageId, row.m_nExpectedLanguage);
        EXPECT_EQ(configuration.m_bLanguageChoice, row.m_bExpectedChoice);
        std::vector<int> list;
        for (const LanguageChoice& choice : configuration.m_languages) {
            list.push_back(choice.m_nLangId);
        }
        EXPECT_EQ(list, row.m_expectedList);
    }
}

TEST(BuildLanguageList, NamesComeFromTheEditionTableAndTheTitles)
{
    ProductConfiguration configuration;
    configuration.m_manifest.m_strPid = L"FWX-ES";
    configuration.m_manifest.m_languagePacks = {{1036, L"", L"", L"", L""}, {1041, L"", L"", L"", L""}};
    LanguageListSources sources;
    sources.m_languageTitle = TitleOf;
    BuildLanguageList(configuration, sources);
    ASSERT_EQ(configuration.m_languages.size(), 3u);
    EXPECT_EQ(configuration.m_languages[0].m_strName, L"Spanish");
    EXPECT_EQ(configuration.m_languages[1].m_strName, L"Fran\u00e7ais");
    EXPECT_EQ(configuration.m_languages[2].m_strName, L"1041");
}

}  // namespace

// Each fault names its path and says what is wrong in words a publisher can
// act on; no two faults read alike.
TEST(ConfigurationFailureText, NamesThePathAndTheFault)
{
    const std::wstring manifest = L"C:\\Setup\\config\\manifestPro.xml";
    const struct {
        ConfigurationFault m_fault;
        std::wstring m_path;
        const wchar_t* m_what;
    } rows[] = {
        {ConfigurationFault::ManifestMissing, manifest, L"is missing"},
        {ConfigurationFault::ManifestNotXml, manifest, L"is not readable XML"},
        {ConfigurationFault::PidMissing, manifest, L"<pid>"},
        {ConfigurationFault::RegistryKeyMissing, manifest, L"<registry>"},
        {ConfigurationFault::MainPackageUrlMissing, manifest, L"<full_url>"},
        {ConfigurationFault::WorkFolderNotCreatable, L"C:\\Setup\\msi\\", L"cannot be created"},
        {ConfigurationFault::ExecutablePathUnknown, L"", L"cannot determine its own folder"},
    };
    std::map<std::wstring, int> seen;
    for (const auto& row : rows) {
        const std::wstring text = ConfigurationFailureText({row.m_fault, row.m_path});
        SCOPED_TRACE(std::string(text.begin(), text.end()));
        if (!row.m_path.empty()) {
            EXPECT_NE(text.find(L"\"" + row.m_path + L"\""), std::wstring::npos);
        }
        EXPECT_NE(text.find(row.m_what), std::wstring::npos);
        const std::wstring end = L". The installation cannot continue.";
        EXPECT_EQ(text.rfind(end), text.size() - end.size());
        EXPECT_EQ(++seen[text], 1);
    }
}
