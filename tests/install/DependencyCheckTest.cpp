#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "install/DependencyCheck.h"
#include "support/TestRegistry.h"

namespace {

const std::wstring kWebViewMachineKey =
    L"SOFTWARE\\WOW6432Node\\Microsoft\\EdgeUpdate\\Clients\\{F3017226-FE2A-4295-8BDF-00C3A9A7E4C5}";
const std::wstring kWebViewUserKey =
    L"Software\\Microsoft\\EdgeUpdate\\Clients\\{F3017226-FE2A-4295-8BDF-00C3A9A7E4C5}";
const std::wstring kBonjourKey = L"SOFTWARE\\Apple Inc.\\Bonjour";

void WriteString(HKEY root, const std::wstring& key, const wchar_t* name, const std::wstring& value)
{
    RegSetKeyValueW(root, key.c_str(), name, REG_SZ, value.c_str(),
                    static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

// The prerequisite keys of this Wine prefix exist only while a test needs them.
class DependencyCheckTest : public testing::Test {
protected:
    const RemovedRegistryTree m_webViewMachine{HKEY_LOCAL_MACHINE, kWebViewMachineKey};
    const RemovedRegistryTree m_webViewUser{HKEY_CURRENT_USER, kWebViewUserKey};
    const RemovedRegistryTree m_bonjour{HKEY_LOCAL_MACHINE, kBonjourKey};
};

TEST_F(DependencyCheckTest, WebViewRecordedForTheUserOnly)
{
    WriteString(HKEY_CURRENT_USER, kWebViewUserKey, L"pv", L"120.0.1.2");
    EXPECT_TRUE(IsDependencyPresent(L"webview2.exe"));
}

TEST_F(DependencyCheckTest, WebViewRecordedForTheMachineOnly)
{
    WriteString(HKEY_LOCAL_MACHINE, kWebViewMachineKey, L"pv", L"119.0.2151.58");
    EXPECT_TRUE(IsDependencyPresent(L"webview2.exe"));
}

TEST_F(DependencyCheckTest, WebViewVersionZeroEverywhereIsMissing)
{
    WriteString(HKEY_LOCAL_MACHINE, kWebViewMachineKey, L"pv", L"0.0.0.0");
    WriteString(HKEY_CURRENT_USER, kWebViewUserKey, L"pv", L"0.0.0.0");
    EXPECT_FALSE(IsDependencyPresent(L"webview2.exe"));
    WriteString(HKEY_CURRENT_USER, kWebViewUserKey, L"pv", L"");
    EXPECT_FALSE(IsDependencyPresent(L"webview2.exe"));
}

TEST_F(DependencyCheckTest, TableKeysAreCaseSensitive)
{
    WriteString(HKEY_CURRENT_USER, kWebViewUserKey, L"pv", L"120.0.1.2");
    EXPECT_FALSE(IsDependencyPresent(L"WebView2.exe"));
    // A full-width look-alike must not be mapped onto the known name.
    EXPECT_FALSE(IsDependencyPresent(L"\xFF57\xFF45\xFF42view2.exe"));
}

TEST_F(DependencyCheckTest, BonjourNeedsARecordedVersion)
{
    EXPECT_FALSE(IsDependencyPresent(L"bonjour.msi"));
    // Probing must not create the key it looks for.
    EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, kBonjourKey));
    WriteString(HKEY_LOCAL_MACHINE, kBonjourKey, L"Version", L"");
    EXPECT_FALSE(IsDependencyPresent(L"bonjour.msi"));
    WriteString(HKEY_LOCAL_MACHINE, kBonjourKey, L"Version", L"0.0.0.0");
    EXPECT_FALSE(IsDependencyPresent(L"bonjour.msi"));
    WriteString(HKEY_LOCAL_MACHINE, kBonjourKey, L"Version", L"3,1,0,1");
    EXPECT_TRUE(IsDependencyPresent(L"bonjour.msi"));
}

TEST_F(DependencyCheckTest, OthersAreNeverPresent)
{
    WriteString(HKEY_CURRENT_USER, kWebViewUserKey, L"pv", L"120.0.1.2");
    WriteString(HKEY_LOCAL_MACHINE, kBonjourKey, L"Version", L"3.1.0.1");
    for (const wchar_t* name : {L"vc_redist.exe", L"other.exe", L"", L"webview2.exe "}) {
        EXPECT_FALSE(IsDependencyPresent(name)) << "name: " << testing::PrintToString(std::wstring(name));
    }
}

}  // namespace
