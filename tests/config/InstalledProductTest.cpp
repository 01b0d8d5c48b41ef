#include "config/InstalledProduct.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <msi.h>

#include "ManifestText.h"
#include "config/ProductConfiguration.h"
#include "config/ProductConfigurationWin.h"
#include "config/RegistryKey.h"
#include "config/RunSettings.h"
#include "support/MessageBoxRecorder.h"
#include "support/TestFiles.h"
#include "support/TestRegistry.h"

using namespace korvex::config;

namespace {

// The package built from data/InstalledProbe.wxs.
constexpr wchar_t kProbeCode[] = L"{3C7E2A91-5B04-4D6F-8E13-A2C94F0B7D58}";
constexpr char kProbeCodeText[] = "{3C7E2A91-5B04-4D6F-8E13-A2C94F0B7D58}";
constexpr wchar_t kProbeVersion[] = L"18.0.3.1";
constexpr wchar_t kUnknownCode[] = L"{0B5E7D21-7C3A-4F19-A6E4-93D8B2C1F570}";

std::wstring ProbePackagePath()
{
    const std::string path = std::string(KORVEX_BINARY_DIR) + "\\tests\\config\\InstalledProbe.msi";
    return std::wstring(path.begin(), path.end());
}

TEST(QueryInstalledProduct, UnknownProductIsNotInstalledAndSaysNothing)
{
    const MessageBoxRecorder watcher;
    EXPECT_TRUE(QueryInstalledProduct(kUnknownCode).m_strVersion.empty());
    EXPECT_TRUE(QueryInstalledProduct(L"").m_strVersion.empty()) << "a manifest without product code";
    EXPECT_TRUE(watcher.Boxes().empty());
}

TEST(QueryInstalledProduct, OtherFailuresAreShown)
{
    const MessageBoxRecorder watcher;
    EXPECT_TRUE(QueryInstalledProduct(L"not a product code").m_strVersion.empty());
    const std::vector<RecordedBox> seen = watcher.Boxes();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].strText, L"Failed to get installed product info, error code: 87");
    EXPECT_EQ(seen[0].strCaption, L"config_tests");
}

// Installs the probe package for the fixture's life and removes it after.
class InstalledProbe : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        MsiSetInternalUI(INSTALLUILEVEL_NONE, nullptr);
        s_nInstallResult = WhileAnotherInstallRuns([] { return MsiInstallProductW(ProbePackagePath().c_str(), L""); });
    }
    static void TearDownTestSuite()
    {
        WhileAnotherInstallRuns(
            [] { return MsiConfigureProductW(kProbeCode, INSTALLLEVEL_DEFAULT, INSTALLSTATE_ABSENT); });
    }

    // Other test programs in the same prefix may be installing packages:
    // Windows Installer runs one installation at a time.
    template <typename Action>
    static UINT WhileAnotherInstallRuns(Action action)
    {
        UINT result = action();
        for (int attempt = 0; attempt < 120 && result == ERROR_INSTALL_ALREADY_RUNNING; ++attempt) {
            Sleep(500);
            result = action();
        }
        return result;
    }
    void SetUp() override
    {
        ASSERT_EQ(s_nInstallResult, 0u) << "installing the probe package";
        g_productConfiguration = ProductConfiguration();
        g_runSettings = RunSettings();
    }
    void TearDown() override
    {
        g_productConfiguration = ProductConfiguration();
        g_runSettings = RunSettings();
    }

    static inline UINT s_nInstallResult = ERROR_INSTALL_FAILURE;
};

TEST_F(InstalledProbe, VersionOfTheInstalledProduct)
{
    const MessageBoxRecorder watcher;
    EXPECT_EQ(QueryInstalledProduct(kProbeCode).m_strVersion, kProbeVersion);
    EXPECT_TRUE(QueryInstalledProduct(kProbeCode).m_strReserved.empty());
    EXPECT_TRUE(watcher.Boxes().empty());
}

// Windows Installer keeps the version text in the product's registration; a
// text too long for the 260-character buffer makes the query fail with 234.
TEST_F(InstalledProbe, VersionTooLongIsAFailureShown)
{
    const std::wstring properties =
        L"Software\\Microsoft\\Windows\\CurrentVersion\\Installer\\UserData\\S-1-5-18\\Products\\"
        L"19A2E7C340B5F6D4E8312A9CF4B0D785\\InstallProperties";
    const SavedStringValue version(HKEY_LOCAL_MACHINE, properties, L"DisplayVersion");
    version.Set(L"18.0.3." + std::wstring(300, L'1'));
    const MessageBoxRecorder watcher;
    EXPECT_TRUE(QueryInstalledProduct(kProbeCode).m_strVersion.empty());
    const std::vector<RecordedBox> seen = watcher.Boxes();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].strText, L"Failed to get installed product info, error code: 234");
}

TEST_F(InstalledProbe, LoadTakesTheLanguageOfTheFirstInstallation)
{
    const ScratchKey product(HKEY_LOCAL_MACHINE, L"InstalledProduct");
    const std::filesystem::path folder = FreshFolder("installed-load");
    config_test::ManifestFields fields;
    fields.m_productCode = kProbeCodeText;
    fields.m_pid = "FWX-180-DE";
    fields.m_registry = std::string(product.Path().begin(), product.Path().end());
    WriteTestFile(folder / "config" / "manifestPro.xml", config_test::ManifestText(fields));
    const std::wstring executable = folder.wstring() + L"\\KorvexMasterInstaller.exe";

    const struct {
        const char* m_name;
        DWORD m_nInitialLanguage;  // 0: no value
        int m_nExpectedLanguage;
    } rows[] = {
        {"French, not offered", 1036, 1036},
        {"English keeps the list's choice", 1033, 1031},
        {"no value keeps the list's choice", 0, 1031},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.m_name);
        g_productConfiguration = ProductConfiguration();
        g_runSettings = RunSettings();
        RegistryKey languagePacks(HKEY_LOCAL_MACHINE, product.Path() + L"\\LanguagePacks");
        RegDeleteValueW(languagePacks.WriteHandle(), L"InitialLangID");
        if (row.m_nInitialLanguage) {
            RegSetValueExW(languagePacks.WriteHandle(), L"InitialLangID", 0, REG_DWORD,
                           reinterpret_cast<const BYTE*>(&row.m_nInitialLanguage), sizeof(DWORD));
        }
        ASSERT_EQ(LoadProductConfigurationFor(executable), kConfigurationLoaded);
        EXPECT_EQ(g_productConfiguration.m_installedProduct.m_strVersion, kProbeVersion);
        EXPECT_EQ(g_runSettings.m_bProductInstalled, 1);
        EXPECT_EQ(g_productConfiguration.m_nLanguageId, row.m_nExpectedLanguage);
    }
}

}  // namespace
