#include <gtest/gtest.h>

#include "EngineTestSupport.h"
#include "config/RunSettings.h"
#include "install/Registration.h"

using namespace korvex::config;

namespace {

const std::wstring kLanguagePacksKey = std::wstring(kTestRegistryKey) + L"\\LanguagePacks";

class RegistrationTest : public testing::Test {
protected:
    RegistrationTest()
    {
        g_productConfiguration = ProductConfiguration();
        g_runSettings = RunSettings();
        g_productConfiguration.m_manifest.m_strRegistryKey = kTestRegistryKey;
        g_productConfiguration.m_manifest.m_strMainComponentExecutable = L"Product.exe";
        g_productConfiguration.m_strInstallFolder = L"C:\\Apps\\Product\\";
    }
    ~RegistrationTest() override
    {
        for (const wchar_t* folder : {L"C:\\Apps\\Product\\", L"C:\\Apps\\Product\\bin\\"}) {
            RegDeleteKeyValueW(HKEY_CURRENT_USER, kResourceLanguageKey,
                               (std::wstring(folder) + L"Tessulo2.exe").c_str());
        }
        g_productConfiguration = ProductConfiguration();
        g_runSettings = RunSettings();
    }

    static std::wstring ResourceLanguage(const wchar_t* folder)
    {
        return ReadRegistryString(HKEY_CURRENT_USER, kResourceLanguageKey,
                                  (std::wstring(folder) + L"Tessulo2.exe").c_str());
    }

    const RemovedRegistryTree m_machineKey{HKEY_LOCAL_MACHINE, kTestRegistryKey};
    const RemovedRegistryTree m_userKey{HKEY_CURRENT_USER, kTestRegistryKey};
};

TEST_F(RegistrationTest, EnglishRecordsFolderAndExecutableOnly)
{
    EXPECT_TRUE(RegisterInstallation());
    EXPECT_EQ(g_productConfiguration.m_strInstallFolder, L"C:\\Apps\\Product");
    EXPECT_EQ(ReadRegistryString(HKEY_LOCAL_MACHINE, kTestRegistryKey, L"InstallDir"), L"C:\\Apps\\Product\\");
    EXPECT_EQ(ReadRegistryString(HKEY_LOCAL_MACHINE, kTestRegistryKey, L"exe"), L"C:\\Apps\\Product\\Product.exe");
    EXPECT_EQ(ReadRegistryDword(HKEY_LOCAL_MACHINE, kLanguagePacksKey, L"InitialLangID"), -1);
    EXPECT_EQ(ReadRegistryDword(HKEY_CURRENT_USER, kTestRegistryKey, L"ApplicationLanguage"), -1);
    EXPECT_EQ(ResourceLanguage(L"C:\\Apps\\Product\\"), L"<missing>");
}

TEST_F(RegistrationTest, SingleLanguageProductRecordsNoLanguage)
{
    g_productConfiguration.m_nLanguageId = 1031;
    g_productConfiguration.m_bLanguageChoice = 0;
    RegisterInstallation();
    EXPECT_EQ(ReadRegistryString(HKEY_LOCAL_MACHINE, kTestRegistryKey, L"exe"), L"C:\\Apps\\Product\\Product.exe");
    EXPECT_EQ(ReadRegistryDword(HKEY_LOCAL_MACHINE, kLanguagePacksKey, L"InitialLangID"), -1);
}

TEST_F(RegistrationTest, GermanInSubfolderRecordsTheLanguageThreeTimes)
{
    g_productConfiguration.m_nLanguageId = 1031;
    g_productConfiguration.m_manifest.m_strMainComponentExecutable = L"bin\\Product.exe";
    RegisterInstallation();
    EXPECT_EQ(ReadRegistryString(HKEY_LOCAL_MACHINE, kTestRegistryKey, L"InstallDir"), L"C:\\Apps\\Product\\bin\\");
    EXPECT_EQ(ReadRegistryString(HKEY_LOCAL_MACHINE, kTestRegistryKey, L"exe"), L"C:\\Apps\\Product\\bin\\Product.exe");
    EXPECT_EQ(ReadRegistryDword(HKEY_LOCAL_MACHINE, kLanguagePacksKey, L"InitialLangID"), 1031);
    EXPECT_EQ(ReadRegistryDword(HKEY_CURRENT_USER, kTestRegistryKey, L"ApplicationLanguage"), 1031);
    EXPECT_EQ(ResourceLanguage(L"C:\\Apps\\Product\\bin\\"), L"1031");
}

TEST_F(RegistrationTest, UpdateWritesNothing)
{
    g_runSettings.m_bProductInstalled = 1;
    g_productConfiguration.m_nLanguageId = 1031;
    EXPECT_TRUE(RegisterInstallation());
    EXPECT_EQ(g_productConfiguration.m_strInstallFolder, L"C:\\Apps\\Product\\");
    EXPECT_EQ(ReadRegistryString(HKEY_LOCAL_MACHINE, kTestRegistryKey, L"exe"), L"<missing>");
    EXPECT_EQ(ReadRegistryDword(HKEY_LOCAL_MACHINE, kLanguagePacksKey, L"InitialLangID"), -1);
    EXPECT_EQ(ReadRegistryDword(HKEY_CURRENT_USER, kTestRegistryKey, L"ApplicationLanguage"), -1);
}

TEST_F(RegistrationTest, DriveRootKeepsOneBackslash)
{
    g_productConfiguration.m_strInstallFolder = L"C:\\";
    g_productConfiguration.m_manifest.m_strMainComponentExecutable = L"Apps\\Product\\Product.exe";
    RegisterInstallation();
    EXPECT_EQ(ReadRegistryString(HKEY_LOCAL_MACHINE, kTestRegistryKey, L"exe"), L"C:\\Apps\\Product\\Product.exe");
}

}  // namespace
