// Links reach the desktop shell only when they are web pages.

#include "wizard/WebAddress.h"

#include <gtest/gtest.h>

#include <string>

using namespace korvex::wizard;

namespace {

TEST(WebAddress, OnlyHttpAndHttpsPagesAreOpened)
{
    const struct {
        std::wstring m_address;
        bool m_bOpened;
    } rows[] = {
        {L"https://www.fenwyx.example/welcome/18.0.0.100", true},
        {L"http://127.0.0.1:8080/terms?lang=1031#top", true},
        {L"HTTPS://WWW.FENWYX.EXAMPLE/", true},
        {L"Http://h", true},
        {L"", false},
        {L"http://", false},
        {L"https:///etc/passwd", false},
        {L"http:\\\\server\\share\\setup.exe", false},
        {L"http:/\\server\\share", false},
        {L"C:\\Windows\\System32\\calc.exe", false},
        {L"calc.exe", false},
        {L"\\\\attacker\\share\\payload.exe", false},
        {L"file:///C:/Windows/System32/cmd.exe", false},
        {L"ms-settings:windowsupdate", false},
        {L"javascript:alert(1)", false},
        {L"ftp://files.example/x", false},
        {L"httpx://h", false},
        {L" https://h", false},
        {L"https://h /c calc", false},
        {L"https://h\t", false},
        {L"https://h\r\n", false},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(IsWebAddress(row.m_address), row.m_bOpened)
            << std::string(row.m_address.begin(), row.m_address.end());
    }
}

}  // namespace
