#include <gtest/gtest.h>

#include <string>

#include "install/InstallerProperties.h"
#include "install/MessageText.h"

using namespace korvex::install;

namespace {

struct PropertyCase {
    const char* name;
    InstallerPropertyFacts facts;
    const wchar_t* expected;
};

InstallerPropertyFacts FirstInstall()
{
    InstallerPropertyFacts facts;
    facts.m_strInstallFolder = L"C:\\Apps\\Fenwyx";
    facts.m_bInstallFolderExists = 1;
    facts.m_bLanguageChoice = 1;
    return facts;
}

template <class Change>
InstallerPropertyFacts FirstInstallWith(Change change)
{
    InstallerPropertyFacts facts = FirstInstall();
    change(facts);
    return facts;
}

class InstallerPropertiesTest : public testing::TestWithParam<PropertyCase> {};

TEST_P(InstallerPropertiesTest, BuildsTheExactText)
{
    EXPECT_EQ(BuildInstallerProperties(GetParam().facts), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Runs, InstallerPropertiesTest,
    testing::Values(
        PropertyCase{"GermanFirstInstall", FirstInstallWith([](InstallerPropertyFacts& f) {
                         f.m_nLanguageId = 1031;
                         f.m_strTransformPath = L"C:\\kmi\\transform\\1031.mst";
                         f.m_nAssociationLevel = 1;
                     }),
                     L"INSTALLDIR=\"C:\\Apps\\Fenwyx\" TRANSFORMS=\"C:\\kmi\\transform\\1031.mst\" "
                     L"SHELL_INTEGRATION_LEVEL=\"Free\""},
        PropertyCase{"EnglishUpdate", FirstInstallWith([](InstallerPropertyFacts& f) { f.m_bProductInstalled = 1; }),
                     L"REINSTALL=ALL REINSTALLMODE=vomus REBOOT=ReallySuppress SHELL_INTEGRATION_LEVEL=\"All\""},
        PropertyCase{"GermanUpdateNamesTheTransform", FirstInstallWith([](InstallerPropertyFacts& f) {
                         f.m_bProductInstalled = 1;
                         f.m_nLanguageId = 1031;
                         f.m_strTransformPath = L"C:\\kmi\\transform\\1031.mst";
                     }),
                     L"REINSTALL=ALL REINSTALLMODE=vomus REBOOT=ReallySuppress "
                     L"TRANSFORMS=\"C:\\kmi\\transform\\1031.mst\" SHELL_INTEGRATION_LEVEL=\"All\""},
        PropertyCase{"MissingFolderNoChoiceLevel2", FirstInstallWith([](InstallerPropertyFacts& f) {
                         f.m_bInstallFolderExists = 0;
                         f.m_bLanguageChoice = 0;
                         f.m_nLanguageId = 1031;
                         f.m_strTransformPath = L"C:\\kmi\\transform\\1031.mst";
                         f.m_nAssociationLevel = 2;
                     }),
                     L" SHELL_INTEGRATION_LEVEL=\"None\""},
        PropertyCase{"OwnInstallDirWinsAndComesLast", FirstInstallWith([](InstallerPropertyFacts& f) {
                         f.m_strInstallerProperties = L"INSTALLDIR=\"D:\\Own\" LOG=1";
                     }),
                     L" SHELL_INTEGRATION_LEVEL=\"All\" INSTALLDIR=\"D:\\Own\" LOG=1"},
        PropertyCase{"InstallDirSearchIsCaseSensitive",
                     FirstInstallWith([](InstallerPropertyFacts& f) { f.m_strInstallerProperties = L"installdir=x"; }),
                     L"INSTALLDIR=\"C:\\Apps\\Fenwyx\" SHELL_INTEGRATION_LEVEL=\"All\" installdir=x"},
        PropertyCase{"LevelOutsideTheTable",
                     FirstInstallWith([](InstallerPropertyFacts& f) { f.m_nAssociationLevel = 7; }),
                     L"INSTALLDIR=\"C:\\Apps\\Fenwyx\" SHELL_INTEGRATION_LEVEL=\"\""},
        PropertyCase{"FolderLosesItsTrailingBackslash",
                     FirstInstallWith([](InstallerPropertyFacts& f) { f.m_strInstallFolder = L"C:\\Apps\\Fenwyx\\"; }),
                     L"INSTALLDIR=\"C:\\Apps\\Fenwyx\" SHELL_INTEGRATION_LEVEL=\"All\""},
        PropertyCase{"LanguageWithoutTransformNamesNone",
                     FirstInstallWith([](InstallerPropertyFacts& f) { f.m_nLanguageId = 1036; }),
                     L"INSTALLDIR=\"C:\\Apps\\Fenwyx\" SHELL_INTEGRATION_LEVEL=\"All\""},
        PropertyCase{"EnglishNeverNamesATransform", FirstInstallWith([](InstallerPropertyFacts& f) {
                         f.m_strTransformPath = L"C:\\kmi\\transform\\1031.mst";
                     }),
                     L"INSTALLDIR=\"C:\\Apps\\Fenwyx\" SHELL_INTEGRATION_LEVEL=\"All\""}),
    [](const testing::TestParamInfo<PropertyCase>& info) { return std::string(info.param.name); });

TEST(WithoutTrailingBackslash, KeepsDriveRoots)
{
    EXPECT_EQ(WithoutTrailingBackslash(L"C:\\Apps\\"), L"C:\\Apps");
    EXPECT_EQ(WithoutTrailingBackslash(L"C:\\Apps"), L"C:\\Apps");
    EXPECT_EQ(WithoutTrailingBackslash(L"C:\\"), L"C:\\");
    EXPECT_EQ(WithoutTrailingBackslash(L""), L"");
}

}  // namespace

namespace {

TEST(FillMessageText, FillsOnlyTheFirstStringPlaceholder)
{
    EXPECT_EQ(FillMessageText(L"%s is already installed. Would you like to launch it?", L"Fenwyx Pro"),
              L"Fenwyx Pro is already installed. Would you like to launch it?");
    EXPECT_EQ(FillMessageText(L"No placeholder", L"x"), L"No placeholder");
    EXPECT_EQ(FillMessageText(L"%d %n %s %s", L"%s"), L"%d %n %s %s");
    EXPECT_EQ(FillMessageText(L"", L"x"), L"");
}

}  // namespace
