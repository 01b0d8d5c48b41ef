#include <gtest/gtest.h>

#include <string>

#include "EngineTestSupport.h"
#include "config/RunSettings.h"
#include "base/WinHandles.h"
#include "download/CancelRequest.h"
#include "download/HttpClient.h"
#include "install/ClientCheck.h"
#include "install/ServerManifest.h"
#include "install/ServerManifestFetch.h"

using namespace korvex::config;
using namespace korvex::install;

namespace {

class ClientCheckTest : public testing::Test {
protected:
    ClientCheckTest() { OpenInternetSession(); }

    void OfferClient(const std::wstring& path)
    {
        g_productConfiguration.m_manifest.m_freshInstall.m_strClientDownloadUrl = ServerUrl(path);
    }

    EngineTestRun m_run;
};

TEST_F(ClientCheckTest, RecentClientProceeds)
{
    EXPECT_EQ(CheckClient(), CheckOk);
    EXPECT_EQ(g_productConfiguration.m_manifest.m_freshInstall.m_strMinClientVersion, L"18.0.0.1");
}

TEST_F(ClientCheckTest, OldClientIsOutdated)
{
    g_productConfiguration.m_manifest.m_strWebInstallerVersion = L"17.9.0.9";
    EXPECT_EQ(CheckClient(), CheckClientOutdated);
}

TEST_F(ClientCheckTest, InstalledCurrentProductIsOffered)
{
    g_runSettings.m_bProductInstalled = 1;
    g_productConfiguration.m_installedProduct.m_strVersion = L"1.2.0.5";
    EXPECT_EQ(CheckClient(), CheckProductInstalled);
}

TEST_F(ClientCheckTest, UnreachableServer)
{
    g_productConfiguration.m_manifest.m_strVersionCheckUrl = L"http://127.0.0.1:1/version.xml";
    EXPECT_EQ(CheckClient(), CheckServerUnreachable);
}

// The manifest's file is made anew: a hard link planted at its path is
// removed, not written through, and what is read is what arrived.
TEST_F(ClientCheckTest, ServerManifestIsWrittenToAFileOfItsOwn)
{
    const std::wstring victim = m_run.BaseFolder() + L"victim.txt";
    const std::wstring path = m_run.BaseFolder() + L"component\\version.xml";
    {
        const FileHandle file(CreateFileW(victim.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        DWORD nWritten = 0;
        ASSERT_TRUE(WriteFile(file.get(), "precious", 8, &nWritten, nullptr));
    }
    ASSERT_TRUE(CreateHardLinkW(path.c_str(), victim.c_str(), nullptr));
    EXPECT_TRUE(FetchServerManifest(CancelRequest(), ServerUrl(L"/version.xml"), path));
    EXPECT_EQ(ReadFileText(victim), L"precious");
    EXPECT_EQ(g_productConfiguration.m_manifest.m_freshInstall.m_strMinClientVersion, L"18.0.0.1");
    EXPECT_NE(ReadFileText(path).find(L"korvexwebinstaller"), std::wstring::npos);
}

TEST_F(ClientCheckTest, StandaloneAsksNoServer)
{
    g_productConfiguration.m_manifest.m_bStandalone = 1;
    g_productConfiguration.m_manifest.m_strVersionCheckUrl = L"http://127.0.0.1:1/version.xml";
    EXPECT_EQ(CheckClient(), CheckOk);
}

TEST_F(ClientCheckTest, NewClientIsStoredInTheTemporaryFolder)
{
    OfferClient(L"/prerequisite.exe");
    std::wstring path;
    ASSERT_TRUE(DownloadNewClient(path));
    EXPECT_NE(path.find(L"\\KorvexWebInstaller_"), std::wstring::npos);
    EXPECT_EQ(path.substr(path.rfind(L'\\')), L"\\Fenwyx Pro Engine Test.exe");
    EXPECT_EQ(ReadFileText(path), ReadFileText(RecordingProgramPath()));
    DeleteFileW(path.c_str());
    RemoveDirectoryW(path.substr(0, path.rfind(L'\\')).c_str());
}

// Each download gets a folder nobody had before, and the full name cannot
// lead the file out of it.
TEST_F(ClientCheckTest, NewClientGetsAFreshFolderAndAPlainFileName)
{
    OfferClient(L"/prerequisite.exe");
    g_productConfiguration.m_manifest.m_strFullName = L"..\\..\\Fenwyx: Pro?";
    std::wstring first;
    std::wstring second;
    ASSERT_TRUE(DownloadNewClient(first));
    ASSERT_TRUE(DownloadNewClient(second));
    for (const std::wstring& path : {first, second}) {
        const std::wstring folder = path.substr(0, path.rfind(L'\\'));
        EXPECT_EQ(folder.find(L"\\KorvexWebInstaller_"), folder.rfind(L'\\'));
        EXPECT_EQ(path.substr(folder.size()), L"\\.._.._Fenwyx_ Pro_.exe");
        EXPECT_EQ(ReadFileText(path), ReadFileText(RecordingProgramPath()));
    }
    EXPECT_NE(first.substr(0, first.rfind(L'\\')), second.substr(0, second.rfind(L'\\')));
    for (const std::wstring& path : {first, second}) {
        DeleteFileW(path.c_str());
        RemoveDirectoryW(path.substr(0, path.rfind(L'\\')).c_str());
    }
}

TEST_F(ClientCheckTest, UpdateTakesThePatchClient)
{
    g_runSettings.m_bProductInstalled = 1;
    g_productConfiguration.m_manifest.m_patchInstall.m_strClientDownloadUrl = ServerUrl(L"/prerequisite.exe");
    OfferClient(L"/missing/fresh.exe");
    std::wstring path;
    EXPECT_TRUE(DownloadNewClient(path));
    DeleteFileW(path.c_str());
    RemoveDirectoryW(path.substr(0, path.rfind(L'\\')).c_str());
}

// An error page must never become the client that is started at exit.
TEST_F(ClientCheckTest, ErrorPagesAndEmptyBodiesAreNoClient)
{
    PublishText(L"empty-client.exe", "");
    for (const wchar_t* url : {L"/missing/client.exe", L"/error-client.exe", L"/empty-client.exe"}) {
        OfferClient(url);
        std::wstring path = L"left over";
        EXPECT_FALSE(DownloadNewClient(path)) << testing::PrintToString(std::wstring(url));
        EXPECT_EQ(path, L"");
    }
    g_productConfiguration.m_manifest.m_freshInstall.m_strClientDownloadUrl.clear();
    std::wstring path = L"left over";
    EXPECT_FALSE(DownloadNewClient(path));
    EXPECT_EQ(path, L"");
}

TEST_F(ClientCheckTest, InstalledExecutableMustExist)
{
    EXPECT_EQ(GetInstalledExecutablePath(), L"");
    const std::wstring executable = m_run.InstallFolder() + L"\\Product.exe";
    RegSetKeyValueW(HKEY_LOCAL_MACHINE, kTestRegistryKey, L"exe", REG_SZ, executable.c_str(),
                    static_cast<DWORD>((executable.size() + 1) * sizeof(wchar_t)));
    EXPECT_EQ(GetInstalledExecutablePath(), L"");
    ASSERT_TRUE(CopyFileW(RecordingProgramPath().c_str(), executable.c_str(), FALSE));
    EXPECT_EQ(GetInstalledExecutablePath(), executable);
}

}  // namespace
