// Names from a manifest that may become file names, and the new client's
// file name made from the product's full name.

#include "config/FileNameRules.h"

#include <gtest/gtest.h>

#include <string>

using namespace korvex::config;

namespace {

std::string Narrow(const std::wstring& text)
{
    return std::string(text.begin(), text.end());
}

TEST(FileNameRules, PlainFileNamesOnly)
{
    const struct {
        std::wstring m_name;
        bool m_bPlain;
    } rows[] = {
        {L"FenwyxPro.msi", true},
        {L"vc_redist x64.exe", true},
        {L".hidden", true},
        {L"a..b.msi", true},
        {L"console.msi", true},
        {L"COM10.msi", true},
        {L"LPT.msi", true},
        {std::wstring(199, L'a'), true},
        {L"Fenwyx \u00C9dition \u65E5\u672C.msi", true},
        {L"", false},
        {std::wstring(200, L'a'), false},
        {L"..", false},
        {L".", false},
        {L"..\\..\\Windows\\System32\\x.dll", false},
        {L"../x.msi", false},
        {L"sub\\x.msi", false},
        {L"sub/x.msi", false},
        {L"C:x.msi", false},
        {L"C:\\Windows\\x.exe", false},
        {L"\\\\server\\share\\x.msi", false},
        {L"x.msi:stream", false},
        {L"x*.msi", false},
        {L"x?.msi", false},
        {L"\"x\".msi", false},
        {L"<x>.msi", false},
        {L"x|y.msi", false},
        {L"x\t.msi", false},
        {std::wstring(L"x\0y.msi", 7), false},
        {L"x.msi.", false},
        {L"x.msi ", false},
        {L"CON", false},
        {L"con", false},
        {L"NUL.msi", false},
        {L"nul .txt", false},
        {L"Aux", false},
        {L"PRN.exe", false},
        {L"COM1", false},
        {L"com9.msi", false},
        {L"LPT3.exe", false},
        {L"COM\u00B9.msi", false},
        {L"CONIN$", false},
        {L"conout$.log", false},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(IsPlainFileName(row.m_name), row.m_bPlain) << Narrow(row.m_name);
    }
}

TEST(FileNameRules, FullNameBecomesAFileName)
{
    const struct {
        std::wstring m_text;
        std::wstring m_expected;
    } rows[] = {
        {L"Fenwyx Pro 18", L"Fenwyx Pro 18"},
        {L"..\\..\\Windows\\evil", L".._.._Windows_evil"},
        {L"C:/x:y*?\"<>|", L"C__x_y______"},
        {L"a\tb\r\n", L"a_b__"},
        {L"", L"_"},
        {L"NUL", L"_NUL"},
        {L"com1.setup", L"_com1.setup"},
        {L"Fenwyx Pro \u65E5\u672C", L"Fenwyx Pro \u65E5\u672C"},
    };
    for (const auto& row : rows) {
        const std::wstring name = ToFileName(row.m_text);
        EXPECT_EQ(name, row.m_expected) << Narrow(row.m_text);
        EXPECT_TRUE(IsPlainFileName(name + L".exe")) << Narrow(name);
    }
}

}  // namespace
