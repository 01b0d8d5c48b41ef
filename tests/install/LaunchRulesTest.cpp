// How prerequisites and the product are started: the command, the working
// folder and where the product's executable is.

#include <gtest/gtest.h>

#include "install/PrerequisiteCommand.h"
#include "install/ProductLocation.h"

using namespace korvex::install;

namespace {

const wchar_t kSystem[] = L"C:\\windows\\system32";

PrerequisiteCommand CommandFor(const wchar_t* localPath, const wchar_t* commandLine)
{
    InstallPlanItem item;
    item.m_strLocalPath = localPath;
    item.m_strCommandLine = commandLine;
    return PrerequisiteCommandFor(item, kSystem);
}

TEST(PrerequisiteCommand, ProgramsRunInTheirOwnFolderMsiexecInTheSystemFolder)
{
    const PrerequisiteCommand program = CommandFor(L"C:\\kmi dir\\component\\81\\vc_redist.exe", L"/q /norestart");
    EXPECT_FALSE(program.m_bWindowsInstaller);
    EXPECT_EQ(program.m_strApplication, L"C:\\kmi dir\\component\\81\\vc_redist.exe");
    EXPECT_EQ(program.m_strCommandLine, L"\"C:\\kmi dir\\component\\81\\vc_redist.exe\" /q /norestart");
    EXPECT_EQ(program.m_strWorkingFolder, L"C:\\kmi dir\\component\\81");
    EXPECT_EQ(CommandFor(L"C:\\setup.exe", L"").m_strWorkingFolder, L"C:\\");

    const PrerequisiteCommand package = CommandFor(L"C:\\kmi dir\\component\\81runtime.MSI", L"/qn");
    EXPECT_TRUE(package.m_bWindowsInstaller);
    EXPECT_EQ(package.m_strApplication, L"C:\\windows\\system32\\msiexec.exe");
    EXPECT_EQ(package.m_strArguments, L"/i \"C:\\kmi dir\\component\\81runtime.MSI\" /qn");
    EXPECT_EQ(package.m_strCommandLine,
              L"\"C:\\windows\\system32\\msiexec.exe\" /i \"C:\\kmi dir\\component\\81runtime.MSI\" /qn");
    EXPECT_EQ(package.m_strWorkingFolder, kSystem);
}

TEST(ProductLocation, RecordedExeThenInstallDirThenNothing)
{
    EXPECT_EQ(ExecutableInFolder(L"C:\\Custom", L"bin\\Product.exe"), L"C:\\Custom\\bin\\Product.exe");
    EXPECT_EQ(ExecutableInFolder(L"D:\\", L"Product.exe"), L"D:\\Product.exe");
    EXPECT_EQ(RecordedExecutable(L"C:\\Custom\\bin\\Product.exe", L"C:\\Other\\", L"bin\\Product.exe"),
              L"C:\\Custom\\bin\\Product.exe");
    EXPECT_EQ(RecordedExecutable(L"", L"C:\\Custom\\bin\\", L"bin\\Product.exe"), L"C:\\Custom\\bin\\Product.exe");
    EXPECT_EQ(RecordedExecutable(L"", L"C:\\Custom", L"Product.exe"), L"C:\\Custom\\Product.exe");
    EXPECT_EQ(RecordedExecutable(L"", L"", L"bin\\Product.exe"), L"");
}

}  // namespace
