#include "config/UiStringsWin.h"

#include <windows.h>
#include <shlwapi.h>

#include <cwchar>

#include "base/DecimalText.h"
#include "config/EmbeddedFileNames.h"
#include "config/EmbeddedFilesWin.h"
#include "config/IniText.h"
#include "config/ProductConfiguration.h"
#include "config/RunSettings.h"

using korvex::base::DecimalText;

using namespace korvex::config;

namespace {

// The classic path limit: longer values are cut to 259 characters.
constexpr DWORD kValueCharacters = MAX_PATH;

std::wstring StringFilePath(int languageId)
{
    return g_productConfiguration.m_strLanguageFolder + DecimalText(languageId) + L"\\stringPro.ini";
}

// An embedded string file is read as the system reads one on disk, cut the
// same way.
std::wstring ReadEmbeddedStringFile(int languageId, const wchar_t* section, const wchar_t* key,
                                    const wchar_t* defaultText)
{
    std::string_view bytes;
    std::wstring value;
    if (!FindEmbeddedFile(EmbeddedLanguageFileName(languageId, L"stringPro.ini"), bytes) ||
        !FindIniValue(DecodeIniBytes(bytes), section, key, value)) {
        return defaultText;
    }
    return value.substr(0, kValueCharacters - 1);
}

std::wstring ReadStringFile(int languageId, const wchar_t* section, const wchar_t* key, const wchar_t* defaultText)
{
    if (UsesEmbeddedLanguageFiles()) {
        return ReadEmbeddedStringFile(languageId, section, key, defaultText);
    }
    const std::wstring path = StringFilePath(languageId);
    if (!PathFileExistsW(path.c_str())) {
        return defaultText;
    }
    wchar_t value[kValueCharacters] = {};
    const DWORD length = GetPrivateProfileStringW(section, key, defaultText, value, kValueCharacters, path.c_str());
    return std::wstring(value, length);
}

}  // namespace

std::wstring LoadUiString(const wchar_t* key, const wchar_t* defaultText)
{
    return ReadStringFile(g_productConfiguration.m_nLanguageId, L"UISTRING", key, defaultText);
}

std::wstring LoadLink(const wchar_t* key, const wchar_t* defaultUrl)
{
    return ReadStringFile(g_productConfiguration.m_nLanguageId, L"RLINK", key, defaultUrl);
}

std::wstring GetLanguageTitle(int languageId)
{
    const std::wstring digits = DecimalText(languageId);
    return ReadStringFile(languageId, L"LANGUAGE", L"Title", digits.c_str());
}
