#include "config/RegistryKey.h"

#include <gtest/gtest.h>

#include <aclapi.h>

#include <algorithm>
#include <vector>

#include "support/TestRegistry.h"

using namespace korvex::config;

namespace {

TEST(RegistryKey, OpeningAMissingKeyCreatesItEmpty)
{
    ScratchKey scratch(HKEY_CURRENT_USER, L"Created");
    ASSERT_FALSE(scratch.Exists());
    RegistryKey key(HKEY_CURRENT_USER, scratch.Path());
    EXPECT_TRUE(scratch.Exists());
    EXPECT_NE(key.ReadHandle(), nullptr);
    EXPECT_EQ(key.WriteHandle(), key.ReadHandle());
    EXPECT_EQ(key.Path(), scratch.Path());
    EXPECT_EQ(key.QueryString(L"Anything"), nullptr);
    key.Close();
    EXPECT_EQ(key.ReadHandle(), nullptr);
    EXPECT_TRUE(key.Path().empty());
}

TEST(RegistryKey, StringsRoundTrip)
{
    ScratchKey scratch(HKEY_CURRENT_USER, L"Strings");
    RegistryKey key(HKEY_CURRENT_USER, scratch.Path());
    const std::wstring longText(10000, L'x');
    const std::wstring texts[] = {L"C:\\Program Files\\Korvex Systems", L"", L"Fran\u00e7ais \u65e5\u672c", longText};
    for (const std::wstring& text : texts) {
        ASSERT_EQ(key.SetString(L"Value", text), ERROR_SUCCESS);
        const std::unique_ptr<wchar_t[]> read = key.QueryString(L"Value");
        ASSERT_NE(read, nullptr);
        EXPECT_EQ(std::wstring(read.get()), text);
    }
    // The stored size counts the terminating NUL.
    DWORD bytes = 0;
    ASSERT_EQ(RegQueryValueExW(key.ReadHandle(), L"Value", nullptr, nullptr, nullptr, &bytes), ERROR_SUCCESS);
    EXPECT_EQ(bytes, (longText.size() + 1) * sizeof(wchar_t));
}

TEST(RegistryKey, ValuesStoredWithoutTerminatorComeBackTerminated)
{
    ScratchKey scratch(HKEY_CURRENT_USER, L"Unterminated");
    RegistryKey key(HKEY_CURRENT_USER, scratch.Path());
    const wchar_t text[] = L"abcdef";
    ASSERT_EQ(RegSetValueExW(key.WriteHandle(), L"NoNul", 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                             6 * sizeof(wchar_t)),
              ERROR_SUCCESS);
    std::unique_ptr<wchar_t[]> read = key.QueryString(L"NoNul");
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(std::wstring(read.get()), L"abcdef");

    // An odd byte count: the half character is kept, then terminated.
    const BYTE odd[] = {'h', 0, 'i', 0, '!'};
    ASSERT_EQ(RegSetValueExW(key.WriteHandle(), L"Odd", 0, REG_BINARY, odd, sizeof(odd)), ERROR_SUCCESS);
    read = key.QueryString(L"Odd");
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(std::wstring(read.get()), std::wstring(L"hi") + L'!');

    ASSERT_EQ(RegSetValueExW(key.WriteHandle(), L"Empty", 0, REG_SZ, nullptr, 0), ERROR_SUCCESS);
    read = key.QueryString(L"Empty");
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read[0], L'\0');
}

TEST(RegistryKey, EnumeratesEverySubkeyPastTheTableGrowth)
{
    ScratchKey scratch(HKEY_CURRENT_USER, L"Subkeys");
    RegistryKey key(HKEY_CURRENT_USER, scratch.Path());
    std::vector<std::wstring> expected;
    for (int i = 0; i < 150; ++i) {
        expected.push_back(L"Sub" + std::to_wstring(i));
        RegistryKey child(HKEY_CURRENT_USER, scratch.Path() + L"\\" + expected.back());
    }
    const std::wstring longName(255, L'n');
    expected.push_back(longName);
    RegistryKey child(HKEY_CURRENT_USER, scratch.Path() + L"\\" + longName);

    Table names;
    key.EnumSubkeys(names);
    std::vector<std::wstring> found;
    for (std::size_t i = 0; i < names.Count(); ++i) {
        found.push_back(names.At(i));
    }
    std::sort(found.begin(), found.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(found, expected);
}

TEST(RegistryKey, AKeyThatCannotBeOpenedReadsNothingAndRefusesWrites)
{
    RegistryKey key(reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x7654321)), L"Nowhere");
    EXPECT_EQ(key.ReadHandle(), nullptr);
    EXPECT_EQ(key.WriteHandle(), nullptr);
    EXPECT_EQ(key.QueryString(L"Value"), nullptr);
    EXPECT_EQ(key.SetString(L"Value", L"text"), ERROR_CANTWRITE);
    Table names;
    key.EnumSubkeys(names);
    EXPECT_EQ(names.Count(), 0u);
}

// A key whose access list grants everyone reading only, as HKEY_LOCAL_MACHINE
// does for a process without administrator rights.
TEST(RegistryKey, ReadOnlyKeyFallsBackToReading)
{
    ScratchKey scratch(HKEY_CURRENT_USER, L"ReadOnly");
    {
        RegistryKey setup(HKEY_CURRENT_USER, scratch.Path());
        ASSERT_EQ(setup.SetString(L"Value", L"kept"), ERROR_SUCCESS);
    }
    HKEY raw = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, scratch.Path().c_str(), 0, WRITE_DAC | READ_CONTROL, &raw),
              ERROR_SUCCESS);
    const RegistryKeyHandle rawOwner(raw);
    PSECURITY_DESCRIPTOR original = nullptr;
    PACL originalAcl = nullptr;
    ASSERT_EQ(GetSecurityInfo(raw, SE_REGISTRY_KEY, DACL_SECURITY_INFORMATION, nullptr, nullptr, &originalAcl, nullptr,
                              &original),
              0u);
    const LocalMemory originalOwner(original);
    EXPLICIT_ACCESSW readOnly = {};
    readOnly.grfAccessPermissions = KEY_READ;
    readOnly.grfAccessMode = SET_ACCESS;
    readOnly.grfInheritance = NO_INHERITANCE;
    readOnly.Trustee.TrusteeForm = TRUSTEE_IS_NAME;
    readOnly.Trustee.ptstrName = const_cast<wchar_t*>(L"EVERYONE");
    PACL readOnlyAcl = nullptr;
    ASSERT_EQ(SetEntriesInAclW(1, &readOnly, nullptr, &readOnlyAcl), 0u);
    const LocalMemory readOnlyAclOwner(readOnlyAcl);
    ASSERT_EQ(SetSecurityInfo(raw, SE_REGISTRY_KEY, DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION,
                              nullptr, nullptr, readOnlyAcl, nullptr),
              0u);

    {
        RegistryKey key(HKEY_CURRENT_USER, scratch.Path());
        EXPECT_NE(key.ReadHandle(), nullptr);
        EXPECT_EQ(key.WriteHandle(), nullptr);
        EXPECT_EQ(key.SetString(L"Value", L"changed"), ERROR_CANTWRITE);
        const std::unique_ptr<wchar_t[]> read = key.QueryString(L"Value");
        ASSERT_NE(read, nullptr);
        EXPECT_EQ(std::wstring(read.get()), L"kept");
    }

    SetSecurityInfo(raw, SE_REGISTRY_KEY, DACL_SECURITY_INFORMATION, nullptr, nullptr, originalAcl, nullptr);
}

}  // namespace
