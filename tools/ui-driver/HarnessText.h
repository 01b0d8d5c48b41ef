#pragma once
// Text helpers shared by the test harness programs: their records are UTF-8,
// one JSON object a line, so that scripts on either side can read them.

#include <string>

std::string Utf8FromWide(const std::wstring& text);
std::wstring WideFromUtf8(const std::string& text);
// A JSON string literal, quotes included.
std::string JsonQuote(const std::wstring& text);
// File name of a process's program ("KorvexMasterInstaller.exe"); empty when it cannot be read.
std::wstring ProcessImageName(unsigned long processId);
// Button and menu texts without their mnemonic ampersands ("&Yes" -> "Yes", "&&" -> "&").
std::wstring WithoutMnemonic(const std::wstring& text);
