#include "config/LanguageList.h"

#include <cwctype>

#include "config/DecimalText.h"

namespace korvex::config {

namespace {

struct EditionRow {
    const wchar_t* m_ending;
    const wchar_t* m_name;
    int m_nLangId;
};

constexpr EditionRow kEditions[] = {
    {L"DE", L"German", 1031},
    {L"FR", L"French", 1036},
    {L"ZA", L"Chinese (Simplified)", 2052},
    {L"ZH", L"Chinese (Traditional)", 1028},
    {L"JA", L"Japanese", 1041},
    {L"IT", L"Italian", 1040},
    {L"ES", L"Spanish", 1034},
};

constexpr int kEnglish = 1033;

bool SameLetterIgnoringCase(wchar_t a, wchar_t b)
{
    return std::towupper(static_cast<wint_t>(a)) == std::towupper(static_cast<wint_t>(b));
}

}  // namespace

LanguageChoice EditionLanguage(const std::wstring& pid)
{
    if (pid.size() >= 2) {
        const wchar_t first = pid[pid.size() - 2];
        const wchar_t second = pid[pid.size() - 1];
        for (const EditionRow& row : kEditions) {
            if (SameLetterIgnoringCase(first, row.m_ending[0]) && SameLetterIgnoringCase(second, row.m_ending[1])) {
                return {row.m_name, row.m_nLangId};
            }
        }
    }
    return {L"English", kEnglish};
}

void BuildLanguageList(ProductConfiguration& configuration, const LanguageListSources& sources)
{
    configuration.m_strLanguageFolder = configuration.m_strExeFolder + L"\\language\\";

    const LanguageChoice edition = EditionLanguage(configuration.m_manifest.m_strPid);
    configuration.m_languages.clear();
    configuration.m_languages.push_back(edition);
    for (const LanguagePackInfo& pack : configuration.m_manifest.m_languagePacks) {
        configuration.m_languages.push_back({sources.m_languageTitle(pack.m_nLangId), pack.m_nLangId});
    }

    int preferred = 0;
    if (!sources.m_strCommandLineLanguage.empty()) {
        const int requested = DecimalTextToInt(sources.m_strCommandLineLanguage);
        preferred = requested > 0 ? requested : sources.m_nUserDefaultUiLanguage;
    } else {
        preferred = edition.m_nLangId != kEnglish ? edition.m_nLangId : sources.m_nUserDefaultUiLanguage;
    }
    for (const LanguageChoice& choice : configuration.m_languages) {
        if (choice.m_nLangId == preferred) {
            configuration.m_nLanguageId = choice.m_nLangId;
            break;
        }
    }

    if (configuration.m_languages.size() < 2) {
        configuration.m_bLanguageChoice = 0;
    }
}

}  // namespace korvex::config
