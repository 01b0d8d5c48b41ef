#pragma once
// The string table read at run time from the current language's string file.

#include <string>

#include "config/UiStrings.h"

// The text of key in section "UISTRING" for the current language.
std::wstring LoadUiString(const wchar_t* key, const wchar_t* defaultText);
inline std::wstring LoadUiString(const korvex::config::UiString& text)
{
    return LoadUiString(text.m_key, text.m_default);
}

// The URL of key in section "RLINK" for the current language.
std::wstring LoadLink(const wchar_t* key, const wchar_t* defaultUrl);
inline std::wstring LoadLink(const korvex::config::UiString& link)
{
    return LoadLink(link.m_key, link.m_default);
}

// The display name of a language ("Title" in section "LANGUAGE"), or its
// LANGID in digits.
std::wstring GetLanguageTitle(int languageId);
