#include "config/LanguageListWin.h"

#include <windows.h>

#include "config/LanguageList.h"
#include "config/ProductConfiguration.h"
#include "config/RunSettings.h"
#include "config/UiStringsWin.h"

using namespace korvex::config;

void BuildLanguageList()
{
    LanguageListSources sources;
    sources.m_languageTitle = GetLanguageTitle;
    sources.m_strCommandLineLanguage = g_runSettings.m_strLanguage;
    sources.m_nUserDefaultUiLanguage = GetUserDefaultUILanguage();
    BuildLanguageList(g_productConfiguration, sources);
}
