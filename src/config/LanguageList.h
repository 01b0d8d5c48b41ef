#pragma once
// The languages a package offers and the choice of the start language. The
// first entry is the edition's own language (named by the last two letters of
// the pid), then one entry per language pack in manifest order.

#include <functional>
#include <string>

#include "config/ProductConfiguration.h"

namespace korvex::config {

// What the choice needs from the machine and the command line.
struct LanguageListSources {
    std::function<std::wstring(int languageId)> m_languageTitle;
    std::wstring m_strCommandLineLanguage;
    int m_nUserDefaultUiLanguage = 1033;
};

// The edition language for a pid ending such as "DE"; English for any other.
LanguageChoice EditionLanguage(const std::wstring& pid);

// Sets m_strLanguageFolder, m_languages, m_bLanguageChoice and, when the
// preferred language is offered, m_nLanguageId.
void BuildLanguageList(ProductConfiguration& configuration, const LanguageListSources& sources);

}  // namespace korvex::config
