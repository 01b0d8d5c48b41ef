#include "config/ProductConfiguration.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>

#include "ManifestText.h"
#include "config/ProductConfigurationWin.h"
#include "config/RegistryKey.h"
#include "config/RunSettings.h"
#include "support/TestFiles.h"
#include "support/TestRegistry.h"

using namespace korvex::config;

namespace {

using config_test::ManifestFields;
using config_test::ManifestText;

constexpr wchar_t kReplacementKey[] = L"SOFTWARE\\Korvex Systems\\Fenwyx Professional\\180";

bool IsFolder(const std::filesystem::path& path)
{
    return std::filesystem::is_directory(path);
}

class LoadProductConfiguration : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_productConfiguration = ProductConfiguration();
        g_runSettings = RunSettings();
        m_replacement.Remove();
        m_folder = FreshFolder(std::string("load-") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        m_executable = m_folder.wstring() + L"\\KorvexMasterInstaller.exe";
    }
    void TearDown() override
    {
        g_productConfiguration = ProductConfiguration();
        g_runSettings = RunSettings();
    }

    void WriteManifest(const ManifestFields& fields)
    {
        WriteTestFile(m_folder / "config" / "manifestPro.xml", ManifestText(fields));
    }
    int Load() { return LoadProductConfigurationFor(m_executable, &m_failure); }
    std::wstring ManifestPath() const { return (m_folder / "config" / "manifestPro.xml").wstring(); }

    SavedStringValue m_replacement{HKEY_CURRENT_USER, kReplacementKey, L"WebInstallerManifest"};
    std::filesystem::path m_folder;
    std::wstring m_executable;
    ConfigurationFailure m_failure;
};

TEST_F(LoadProductConfiguration, LoadsAndPreparesTheWorkFolders)
{
    WriteManifest(ManifestFields());
    ASSERT_EQ(Load(), kConfigurationLoaded);
    const ProductConfiguration& c = g_productConfiguration;
    EXPECT_EQ(c.m_bLoaded, 1);
    EXPECT_EQ(c.m_strExeFolder, m_folder.wstring());
    EXPECT_EQ(c.m_strManifestPath, m_folder.wstring() + L"\\config\\manifestPro.xml");
    EXPECT_EQ(c.m_manifest.m_strPid, L"FWX-180-INT");
    EXPECT_EQ(c.m_strComponentFolder, m_folder.wstring() + L"\\component\\");
    EXPECT_EQ(c.m_strMsiFolder, m_folder.wstring() + L"\\msi\\");
    EXPECT_EQ(c.m_strTransformFolder, m_folder.wstring() + L"\\transform\\");
    EXPECT_EQ(c.m_strLanguageFolder, m_folder.wstring() + L"\\language\\");
    EXPECT_TRUE(IsFolder(m_folder / "component"));
    EXPECT_TRUE(IsFolder(m_folder / "msi"));
    EXPECT_TRUE(IsFolder(m_folder / "transform"));
    EXPECT_TRUE(c.m_installedProduct.m_strVersion.empty());
    EXPECT_EQ(g_runSettings.m_bProductInstalled, 0);
    EXPECT_EQ(c.m_languages.size(), 1u);
    EXPECT_EQ(c.m_bLanguageChoice, 0);
}

TEST_F(LoadProductConfiguration, KeepsDownloadsOfAnEarlierRun)
{
    WriteTestFile(m_folder / "component" / "123FenwyxPro.msi", "downloaded");
    WriteManifest(ManifestFields());
    ASSERT_EQ(Load(), kConfigurationLoaded);
    EXPECT_TRUE(std::filesystem::exists(m_folder / "component" / "123FenwyxPro.msi"));
}

TEST_F(LoadProductConfiguration, StandaloneLeavesTheComponentFolderAlone)
{
    ManifestFields fields;
    fields.m_standalone = "TRUE";
    WriteManifest(fields);
    ASSERT_EQ(Load(), kConfigurationLoaded);
    EXPECT_EQ(g_productConfiguration.m_manifest.m_bStandalone, 1);
    EXPECT_FALSE(std::filesystem::exists(m_folder / "component"));
    EXPECT_TRUE(IsFolder(m_folder / "msi"));
    EXPECT_EQ(MakeComponentPath(L"version.xml"), m_folder.wstring() + L"\\component\\version.xml");
    EXPECT_EQ(MakeLanguagePackPath(1031), m_folder.wstring() + L"\\component\\language_pack_1031.exe");
}

TEST_F(LoadProductConfiguration, ComponentPathsCarryTheTickCount)
{
    WriteManifest(ManifestFields());
    ASSERT_EQ(Load(), kConfigurationLoaded);
    const std::wstring folder = m_folder.wstring() + L"\\component\\";
    const long long before = static_cast<int>(GetTickCount());
    const std::wstring path = MakeComponentPath(L"version.xml");
    const long long after = static_cast<int>(GetTickCount());
    ASSERT_EQ(path.rfind(folder, 0), 0u);
    ASSERT_GT(path.size(), folder.size() + 11);
    const std::wstring digits = path.substr(folder.size(), path.size() - folder.size() - 11);
    EXPECT_EQ(path.substr(path.size() - 11), L"version.xml");
    const long long tick = std::stoll(digits);
    EXPECT_TRUE(tick >= before && tick <= after) << tick;
    const std::wstring pack = MakeLanguagePackPath(1036);
    EXPECT_EQ(pack.substr(pack.size() - 22), L"language_pack_1036.exe");
}

TEST_F(LoadProductConfiguration, ManifestProblemsGiveStatusOne)
{
    const struct {
        const char* m_name;
        ManifestFields m_fields;
        ConfigurationFault m_fault;
    } rows[] = {
        {"no pid",
         [] {
             ManifestFields f;
             f.m_pid.clear();
             return f;
         }(),
         ConfigurationFault::PidMissing},
        {"no registry",
         [] {
             ManifestFields f;
             f.m_registry.clear();
             return f;
         }(),
         ConfigurationFault::RegistryKeyMissing},
        {"no main component url",
         [] {
             ManifestFields f;
             f.m_fullUrl.clear();
             return f;
         }(),
         ConfigurationFault::MainPackageUrlMissing},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.m_name);
        g_productConfiguration = ProductConfiguration();
        WriteManifest(row.m_fields);
        EXPECT_EQ(Load(), kManifestUnusable);
        EXPECT_EQ(m_failure.m_fault, row.m_fault);
        EXPECT_EQ(m_failure.m_strPath, ManifestPath());
        EXPECT_EQ(g_productConfiguration.m_bLoaded, 0);
        EXPECT_TRUE(g_productConfiguration.m_languages.empty()) << "nothing after the manifest is prepared";
        EXPECT_FALSE(std::filesystem::exists(m_folder / "msi"));
    }
    std::filesystem::remove(m_folder / "config" / "manifestPro.xml");
    EXPECT_EQ(Load(), kManifestUnusable) << "missing manifest";
    EXPECT_EQ(m_failure.m_fault, ConfigurationFault::ManifestMissing);
    EXPECT_EQ(m_failure.m_strPath, ManifestPath());
    WriteTestFile(m_folder / "config" / "manifestPro.xml", "<korvexwebinstaller><product>");
    EXPECT_EQ(Load(), kManifestUnusable) << "malformed manifest";
    EXPECT_EQ(m_failure.m_fault, ConfigurationFault::ManifestNotXml);
    WriteTestFile(m_folder / "config" / "manifestPro.xml", "<installer><product><pid>P</pid></product></installer>");
    EXPECT_EQ(Load(), kManifestUnusable) << "another document element";
    EXPECT_EQ(m_failure.m_fault, ConfigurationFault::PidMissing);
}

TEST_F(LoadProductConfiguration, RegistryReplacementManifest)
{
    WriteManifest(ManifestFields());
    ManifestFields replacementFields;
    replacementFields.m_pid = "FWX-180-DE";
    const std::filesystem::path replacement = m_folder / "elsewhere" / "replacement.xml";
    WriteTestFile(replacement, ManifestText(replacementFields));

    m_replacement.Set(replacement.wstring());
    ASSERT_EQ(Load(), kConfigurationLoaded);
    EXPECT_EQ(g_productConfiguration.m_strManifestPath, replacement.wstring());
    EXPECT_EQ(g_productConfiguration.m_manifest.m_strPid, L"FWX-180-DE");
    EXPECT_EQ(g_productConfiguration.m_nLanguageId, 1031) << "the replacement's edition language";

    g_productConfiguration = ProductConfiguration();
    m_replacement.Set((m_folder / "elsewhere" / "missing.xml").wstring());
    ASSERT_EQ(Load(), kConfigurationLoaded);
    EXPECT_EQ(g_productConfiguration.m_manifest.m_strPid, L"FWX-180-INT") << "a missing file leaves the local one";
    EXPECT_EQ(g_productConfiguration.m_strManifestPath, m_folder.wstring() + L"\\config\\manifestPro.xml");

    g_productConfiguration = ProductConfiguration();
    m_replacement.Set(L"");
    ASSERT_EQ(Load(), kConfigurationLoaded);
    EXPECT_EQ(g_productConfiguration.m_manifest.m_strPid, L"FWX-180-INT");

    g_productConfiguration = ProductConfiguration();
    const std::filesystem::path broken = m_folder / "elsewhere" / "broken.xml";
    WriteTestFile(broken, "<korvexwebinstaller><product>");
    m_replacement.Set(broken.wstring());
    EXPECT_EQ(Load(), kManifestUnusable);
    EXPECT_EQ(g_productConfiguration.m_bLoaded, 0);
    EXPECT_EQ(g_productConfiguration.m_manifest.m_strPid, L"FWX-180-INT") << "the first manifest stays";

    // A standalone package ignores the replacement.
    g_productConfiguration = ProductConfiguration();
    ManifestFields standalone;
    standalone.m_standalone = "true";
    WriteManifest(standalone);
    m_replacement.Set(replacement.wstring());
    ASSERT_EQ(Load(), kConfigurationLoaded);
    EXPECT_EQ(g_productConfiguration.m_manifest.m_strPid, L"FWX-180-INT");
}

// Something that is not a folder stands where a work folder must go: the
// folder cannot be written, whatever the rights of the process.
TEST_F(LoadProductConfiguration, WorkFoldersThatCannotBeMadeGiveStatusTwo)
{
    WriteManifest(ManifestFields());
    for (const char* blocked : {"component", "msi", "transform"}) {
        SCOPED_TRACE(blocked);
        g_productConfiguration = ProductConfiguration();
        std::filesystem::remove_all(m_folder / "component");
        std::filesystem::remove_all(m_folder / "msi");
        std::filesystem::remove_all(m_folder / "transform");
        WriteTestFile(m_folder / blocked, "a file");
        EXPECT_EQ(Load(), kWorkFoldersFailed);
        EXPECT_EQ(m_failure.m_fault, ConfigurationFault::WorkFolderNotCreatable);
        EXPECT_EQ(m_failure.m_strPath, m_folder.wstring() + L"\\" + std::filesystem::path(blocked).wstring() + L"\\");
        EXPECT_EQ(g_productConfiguration.m_bLoaded, 0);
        std::filesystem::remove(m_folder / blocked);
    }
}

TEST_F(LoadProductConfiguration, ExecutablePathWithoutFolderGivesStatusThree)
{
    for (const wchar_t* path : {L"", L"KorvexMasterInstaller.exe", L"\\KorvexMasterInstaller.exe"}) {
        EXPECT_EQ(LoadProductConfigurationFor(path), kExecutablePathUnknown) << std::wstring(path).size();
        EXPECT_EQ(g_productConfiguration.m_bLoaded, 0);
    }
}

TEST_F(LoadProductConfiguration, InstalledLanguagePacksFromTheRegistry)
{
    const ScratchKey product(HKEY_LOCAL_MACHINE, L"Packs");
    g_productConfiguration.m_manifest.m_strRegistryKey = product.Path();
    EXPECT_TRUE(GetInstalledLanguagePacks().empty());
    for (const wchar_t* language : {L"1031", L"1036", L"2052"}) {
        RegistryKey pack(HKEY_LOCAL_MACHINE, product.Path() + L"\\LanguagePacks\\" + language);
    }
    std::vector<int> packs = GetInstalledLanguagePacks();
    std::sort(packs.begin(), packs.end());
    EXPECT_EQ(packs, (std::vector<int>{1031, 1036, 2052}));
}

}  // namespace
