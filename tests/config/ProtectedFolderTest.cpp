// The folders the installer downloads into: their DACL when elevated, and
// which paths are taken as folders.

#include "config/ProductConfigurationWin.h"
#include "config/ProtectedFolder.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <string>

#include "ManifestText.h"
#include "config/ProductConfiguration.h"
#include "support/TestFiles.h"

using namespace korvex::config;

namespace {

struct Ace {
    WELL_KNOWN_SID_TYPE m_sid;
    DWORD m_nMask;
};

// Wine 8 keeps no DACL on files (a folder created with this one reads back
// with Wine's default), so the DACL is checked as the folders receive it.
TEST(ProtectedFolder, ElevatedFoldersGetAProtectedDaclForAdministratorsSystemAndUsers)
{
    const Ace expected[] = {
        {WinBuiltinAdministratorsSid, FILE_ALL_ACCESS},
        {WinLocalSystemSid, FILE_ALL_ACCESS},
        {WinBuiltinUsersSid, FILE_GENERIC_READ | FILE_GENERIC_EXECUTE},
    };
    EXPECT_EQ(ProtectedFolder(false).Dacl(), nullptr);
    const ProtectedFolder folders(true);
    const PACL dacl = folders.Dacl();
    ASSERT_NE(dacl, nullptr);
    ASSERT_TRUE(::IsValidAcl(dacl));
    ASSERT_EQ(dacl->AceCount, 3);
    for (DWORD i = 0; i < 3; ++i) {
        void* entry = nullptr;
        ASSERT_TRUE(::GetAce(dacl, i, &entry));
        const auto* ace = static_cast<const ACCESS_ALLOWED_ACE*>(entry);
        EXPECT_EQ(ace->Header.AceType, ACCESS_ALLOWED_ACE_TYPE) << i;
        EXPECT_EQ(ace->Header.AceFlags, OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE) << i;
        EXPECT_EQ(ace->Mask, expected[i].m_nMask) << i;
        EXPECT_TRUE(::IsWellKnownSid(const_cast<DWORD*>(&ace->SidStart), expected[i].m_sid)) << i;
    }
}

// CreateNew wants a name nobody took, CreateUnique finds one; Ensure takes
// over an existing folder but nothing else, elevated or not.
TEST(ProtectedFolder, NewMeansNewAndOnlyFoldersAreEnsured)
{
    const std::filesystem::path root = FreshFolder("protected-folder");
    WriteTestFile(root / "file", "not a folder");
    for (const bool bProtect : {false, true}) {
        SCOPED_TRACE(bProtect);
        const ProtectedFolder folders(bProtect);
        const std::wstring fresh = (root / (bProtect ? "fresh-protected" : "fresh")).wstring();
        EXPECT_TRUE(folders.CreateNew(fresh));
        EXPECT_FALSE(folders.CreateNew(fresh));
        EXPECT_TRUE(folders.Ensure(fresh));
        EXPECT_FALSE(folders.Ensure((root / "file").wstring()));
        EXPECT_FALSE(folders.CreateNew((root / "file").wstring()));
        EXPECT_FALSE(folders.Ensure((root / "missing" / "child").wstring()));
        EXPECT_FALSE(ProtectedFolder::IsReparsePoint(fresh));
        WriteTestFile(fresh + L"_1", "taken");
        EXPECT_EQ(folders.CreateUnique(fresh), fresh + L"_2");
        EXPECT_EQ(folders.CreateUnique((root / "missing" / "child").wstring()), L"");
    }
}

// config_test_links made installer\msi a symbolic link to elsewhere: the load
// refuses it and nothing lands in the folder it leads to.
TEST(ProtectedFolder, AWorkFolderThatIsAReparsePointIsRefused)
{
    const std::filesystem::path root = std::filesystem::path(KORVEX_BINARY_DIR) / "config-test-links";
    const std::wstring link = (root / "installer" / "msi").wstring();
    ASSERT_TRUE(ProtectedFolder::IsReparsePoint(link)) << "run through ctest: config_test_links makes the link";
    EXPECT_FALSE(ProtectedFolder::IsReparsePoint((root / "elsewhere").wstring()));
    for (const bool bProtect : {false, true}) {
        EXPECT_FALSE(ProtectedFolder(bProtect).Ensure(link));
    }
    WriteTestFile(root / "installer" / "config" / "manifestPro.xml",
                  config_test::ManifestText(config_test::ManifestFields()));
    g_productConfiguration = ProductConfiguration();
    EXPECT_EQ(LoadProductConfigurationFor((root / "installer" / "KorvexMasterInstaller.exe").wstring()),
              kWorkFoldersFailed);
    EXPECT_EQ(g_productConfiguration.m_bLoaded, 0);
    EXPECT_TRUE(std::filesystem::is_empty(root / "elsewhere"));
    g_productConfiguration = ProductConfiguration();
}

}  // namespace
