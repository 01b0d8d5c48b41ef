#pragma once
// The language list of the running installer.

// Builds g_productConfiguration's language list from the language files'
// titles, the "/lang" switch and the user's default UI language.
void BuildLanguageList();
