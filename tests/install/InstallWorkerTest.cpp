// Whole runs of the worker against the loopback test server and the real
// Windows Installer, headless: every box goes to the recorder.

#include <gtest/gtest.h>

#include <windows.h>
#include <msi.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <thread>

#include "EngineTestSupport.h"
#include "config/RunSettings.h"
#include "config/UiStrings.h"
#include "download/HttpClient.h"
#include "install/InstallWorker.h"

using namespace korvex::config;
using namespace korvex::install;

namespace {

struct Sample {
    InstallPhase m_phase;
    float m_fPercent;
};

class InstallWorkerTest : public testing::Test {
protected:
    InstallWorkerTest()
    {
        OpenInternetSession();
        ClearRequests();
        m_hMainWindow = CreateWindowExW(0, L"STATIC", L"main installer window", WS_OVERLAPPED, 0, 0, 10, 10, nullptr,
                                        nullptr, nullptr, nullptr);
        ProductManifest& manifest = g_productConfiguration.m_manifest;
        manifest.m_dependencies = {{L"prerequisite.exe", ServerUrl(L"/prerequisite.exe"), L"/quiet", L""}};
        manifest.m_transforms = {{1033, L"en.mst", ServerUrl(L"/en.mst"), L""}};
        manifest.m_languagePacks = {{1031, L"FNWXPRO-DE", L"LanguagePack.msi", ServerUrl(L"/LanguagePack.msi"), L""}};
        PublishText(L"en.mst", "not applied: an English run names no transform");
    }
    ~InstallWorkerTest() override { DestroyWindow(m_hMainWindow); }

    // Builds the plan, runs the worker to its end phase and samples the
    // progress meanwhile; onSample may cancel.
    InstallPhase Run(const std::function<void(InstallWorker&, const InstallProgressSnapshot&)>& onSample = {})
    {
        InstallWorker worker(m_progress);
        worker.SetOwnerWindow(m_hMainWindow);
        worker.BuildPlan();
        for (const InstallPlanItem& item : worker.m_plan) {
            m_planNames.push_back(item.m_strName);
        }
        worker.Start();
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(3);
        while (!IsEndPhase(m_progress.Phase()) && std::chrono::steady_clock::now() < deadline) {
            const InstallProgressSnapshot snapshot = m_progress.Snapshot();
            m_samples.push_back(Sample{snapshot.m_phase, m_progress.OverallPercent()});
            if (onSample) {
                onSample(worker, snapshot);
            }
            Sleep(2);
        }
        m_bRestartRequired = worker.RestartRequired();
        m_samples.push_back(Sample{m_progress.Phase(), m_progress.OverallPercent()});
        return m_progress.Phase();
    }

    void ExpectProgressOnlyMovesForward() const
    {
        float previous = 0.0f;
        for (const Sample& sample : m_samples) {
            EXPECT_GE(sample.m_fPercent, previous) << "phase " << static_cast<int>(sample.m_phase);
            previous = sample.m_fPercent;
        }
        EXPECT_FLOAT_EQ(previous, 100.0f);
    }

    bool ReachedPhase(InstallPhase phase) const
    {
        return std::any_of(m_samples.begin(), m_samples.end(),
                           [phase](const Sample& sample) { return sample.m_phase == phase; });
    }

    std::wstring ExecutablePath() const { return m_run.InstallFolder() + L"\\bin\\Product.exe"; }

    // The prerequisite's record of how it was started (or, with ".cwd", in
    // which folder), when it ran.
    std::wstring PrerequisiteRecord(const std::wstring& suffix = L".ran") const
    {
        const std::wstring wanted = L"prerequisite.exe" + suffix;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(m_run.BaseFolder() + L"component")) {
            const std::wstring name = entry.path().filename().wstring();
            if (name == wanted) {
                return ReadFileText(entry.path().wstring());
            }
        }
        return L"";
    }

    void ExpectNothingRegistered() const
    {
        EXPECT_EQ(ReadRegistryString(HKEY_LOCAL_MACHINE, kTestRegistryKey, L"InstallDir"), L"<missing>");
        EXPECT_EQ(ReadRegistryString(HKEY_LOCAL_MACHINE, kTestRegistryKey, L"exe"), L"<missing>");
        EXPECT_EQ(ReadRegistryDword(HKEY_LOCAL_MACHINE, std::wstring(kTestRegistryKey) + L"\\LanguagePacks",
                                    L"InitialLangID"),
                  -1);
        EXPECT_EQ(ReadRegistryDword(HKEY_CURRENT_USER, kTestRegistryKey, L"ApplicationLanguage"), -1);
    }

    static long Count(const std::vector<std::string>& paths, const std::string& path)
    {
        return std::count(paths.begin(), paths.end(), path);
    }

    EngineTestRun m_run;
    MessageBoxRecorder m_boxes;
    InstallProgress m_progress;
    HWND m_hMainWindow = nullptr;
    std::vector<std::wstring> m_planNames;
    std::vector<Sample> m_samples;
    int m_bRestartRequired = -1;
};

TEST_F(InstallWorkerTest, FirstInstallInEnglish)
{
    ASSERT_EQ(Run(), InstallPhase::Finished);
    EXPECT_EQ(m_planNames, (std::vector<std::wstring>{L"prerequisite.exe", L"Product.msi", L"en.mst"}));
    EXPECT_TRUE(m_boxes.Boxes().empty());
    ExpectProgressOnlyMovesForward();

    const std::vector<std::string> requests = ReceivedPaths();
    // One request per file.
    EXPECT_EQ(Count(requests, "/version.xml"), 1);
    EXPECT_EQ(Count(requests, "/prerequisite.exe"), 1);
    EXPECT_EQ(Count(requests, "/Product.msi"), 1);
    EXPECT_EQ(Count(requests, "/en.mst"), 1);
    EXPECT_EQ(Count(requests, "/LanguagePack.msi"), 0);

    // The prerequisite was started by its quoted path, which has spaces, in
    // a folder of its own made inside the component folder.
    const std::wstring record = PrerequisiteRecord();
    const std::wstring folder = PrerequisiteRecord(L".cwd");
    EXPECT_EQ(record, L"\"" + folder + L"\\prerequisite.exe\" /quiet\n");
    EXPECT_EQ(folder.rfind(m_run.BaseFolder() + L"component\\", 0), 0u) << folder;
    EXPECT_TRUE(FileExists(m_run.BaseFolder() + L"transform\\1033.mst"));

    EXPECT_TRUE(IsProductInstalled(kProductCode));
    EXPECT_TRUE(FileExists(ExecutablePath()));
    EXPECT_EQ(ReadRegistryString(HKEY_LOCAL_MACHINE, kPackageRecordKey, L"InstallDir"), m_run.InstallFolder() + L"\\");
    EXPECT_EQ(ReadRegistryString(HKEY_LOCAL_MACHINE, kPackageRecordKey, L"ShellIntegration"), L"All");
    EXPECT_EQ(ReadRegistryString(HKEY_LOCAL_MACHINE, kPackageRecordKey, L"Reinstall"), L"");

    EXPECT_EQ(ReadRegistryString(HKEY_LOCAL_MACHINE, kTestRegistryKey, L"InstallDir"),
              m_run.InstallFolder() + L"\\bin\\");
    EXPECT_EQ(ReadRegistryString(HKEY_LOCAL_MACHINE, kTestRegistryKey, L"exe"), ExecutablePath());
    EXPECT_EQ(
        ReadRegistryDword(HKEY_LOCAL_MACHINE, std::wstring(kTestRegistryKey) + L"\\LanguagePacks", L"InitialLangID"),
        -1);
    EXPECT_EQ(ReadRegistryDword(HKEY_CURRENT_USER, kTestRegistryKey, L"ApplicationLanguage"), -1);
    EXPECT_EQ(ReadRegistryString(HKEY_CURRENT_USER, kResourceLanguageKey,
                                 (m_run.InstallFolder() + L"\\bin\\Tessulo2.exe").c_str()),
              L"<missing>");
    EXPECT_EQ(g_productConfiguration.m_strHomePageUrl, L"https://fenwyx.example/home");
    EXPECT_EQ(m_bRestartRequired, 0);
}

TEST_F(InstallWorkerTest, PackageAskingForARestartStillFinishes)
{
    g_productConfiguration.m_manifest.m_dependencies.clear();
    g_runSettings.m_strInstallerProperties = L"ENGINE_TEST_RESTART=1";
    ASSERT_EQ(Run(), InstallPhase::Finished);
    EXPECT_EQ(m_bRestartRequired, 1);
    EXPECT_TRUE(m_boxes.Boxes().empty());
    EXPECT_TRUE(IsProductInstalled(kProductCode));
    EXPECT_EQ(ReadRegistryString(HKEY_LOCAL_MACHINE, kTestRegistryKey, L"exe"), ExecutablePath());
}

TEST_F(InstallWorkerTest, InstallFolderGivenThroughPropertiesIsRegistered)
{
    g_productConfiguration.m_manifest.m_dependencies.clear();
    const std::wstring chosen = m_run.BaseFolder() + L"chosen by the command line";
    g_runSettings.m_strInstallerProperties = L"INSTALLDIR=\"" + chosen + L"\"";
    ASSERT_EQ(Run(), InstallPhase::Finished);
    EXPECT_TRUE(m_boxes.Boxes().empty());

    EXPECT_TRUE(FileExists(chosen + L"\\bin\\Product.exe"));
    EXPECT_FALSE(FileExists(ExecutablePath()));
    EXPECT_EQ(g_productConfiguration.m_strInstallFolder, chosen);
    EXPECT_EQ(ReadRegistryString(HKEY_LOCAL_MACHINE, kTestRegistryKey, L"InstallDir"), chosen + L"\\bin\\");
    EXPECT_EQ(ReadRegistryString(HKEY_LOCAL_MACHINE, kTestRegistryKey, L"exe"), chosen + L"\\bin\\Product.exe");
}

// The proposed folder does not exist, so none is passed: the package's own
// choice is where the product is, and what is registered.
TEST_F(InstallWorkerTest, FolderThePackageChoseIsRegistered)
{
    g_productConfiguration.m_manifest.m_dependencies.clear();
    g_productConfiguration.m_strInstallFolder = m_run.BaseFolder() + L"never made";
    ASSERT_EQ(Run(), InstallPhase::Finished);
    wchar_t programFiles[MAX_PATH] = {};
    ASSERT_NE(GetEnvironmentVariableW(L"ProgramFiles", programFiles, MAX_PATH), 0u);
    const std::wstring chosen = std::wstring(programFiles) + L"\\KorvexEngineTest";
    EXPECT_TRUE(FileExists(chosen + L"\\bin\\Product.exe"));
    EXPECT_EQ(g_productConfiguration.m_strInstallFolder, chosen);
    EXPECT_EQ(ReadRegistryString(HKEY_LOCAL_MACHINE, kTestRegistryKey, L"exe"), chosen + L"\\bin\\Product.exe");
}

// Confirmed once the package had done everything, the cancel has nothing
// left to stop: the run registers the product and ends Finished.
TEST_F(InstallWorkerTest, CancelAfterTheLastPackageStillFinishes)
{
    g_productConfiguration.m_manifest.m_dependencies.clear();
    g_runSettings.m_strInstallerProperties = L"ENGINE_TEST_LINGER=1";
    bool bCancelled = false;
    const InstallPhase end = Run([&](InstallWorker& worker, const InstallProgressSnapshot&) {
        if (!bCancelled && FileExists(ExecutablePath())) {
            worker.Cancel();
            bCancelled = true;
        }
    });
    EXPECT_TRUE(bCancelled);
    EXPECT_EQ(end, InstallPhase::Finished);
    EXPECT_TRUE(ReachedPhase(InstallPhase::Cancelling));
    EXPECT_TRUE(m_boxes.Boxes().empty());
    EXPECT_EQ(ReadRegistryString(HKEY_LOCAL_MACHINE, kTestRegistryKey, L"exe"), ExecutablePath());
}

// The cancel ends the wait on a prerequisite that takes its time; it is left
// to finish on its own, and the product is not installed.
TEST_F(InstallWorkerTest, CancelEndsTheWaitOnAPrerequisite)
{
    g_productConfiguration.m_manifest.m_dependencies[0].m_strInstallCommandLine = L"/linger";
    bool bCancelled = false;
    const InstallPhase end = Run([&](InstallWorker& worker, const InstallProgressSnapshot& snapshot) {
        if (!bCancelled && snapshot.m_phase == InstallPhase::Installing) {
            worker.Cancel();
            bCancelled = true;
        }
    });
    EXPECT_EQ(end, InstallPhase::Cancelled);
    EXPECT_EQ(PrerequisiteRecord(), L"") << "the run waited for the prerequisite";
    EXPECT_FALSE(IsProductInstalled(kProductCode));
    ExpectNothingRegistered();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (PrerequisiteRecord().empty() && std::chrono::steady_clock::now() < deadline) {
        Sleep(100);
    }
    EXPECT_NE(PrerequisiteRecord(), L"") << "the prerequisite did not finish on its own";
}

TEST_F(InstallWorkerTest, FirstInstallInGermanAddsTheLanguagePack)
{
    g_productConfiguration.m_nLanguageId = 1031;
    g_productConfiguration.m_manifest.m_dependencies.clear();
    g_productConfiguration.m_nAssociationLevel = 1;
    ASSERT_EQ(Run(), InstallPhase::Finished);
    EXPECT_EQ(m_planNames, (std::vector<std::wstring>{L"Product.msi", L"LanguagePack.msi"}));
    EXPECT_TRUE(m_boxes.Boxes().empty());
    ExpectProgressOnlyMovesForward();

    EXPECT_TRUE(FileExists(ExecutablePath()));
    EXPECT_TRUE(FileExists(m_run.InstallFolder() + L"\\lang\\1031\\strings.txt"));
    EXPECT_TRUE(IsProductInstalled(kLanguagePackCode));
    EXPECT_EQ(ReadRegistryString(HKEY_LOCAL_MACHINE, kPackageRecordKey, L"ShellIntegration"), L"Free");
    EXPECT_EQ(ReadRegistryString(HKEY_LOCAL_MACHINE, kTestRegistryKey, L"exe"), ExecutablePath());
    EXPECT_EQ(
        ReadRegistryDword(HKEY_LOCAL_MACHINE, std::wstring(kTestRegistryKey) + L"\\LanguagePacks", L"InitialLangID"),
        1031);
    EXPECT_EQ(ReadRegistryDword(HKEY_CURRENT_USER, kTestRegistryKey, L"ApplicationLanguage"), 1031);
    EXPECT_EQ(ReadRegistryString(HKEY_CURRENT_USER, kResourceLanguageKey,
                                 (m_run.InstallFolder() + L"\\bin\\Tessulo2.exe").c_str()),
              L"1031");
}

TEST_F(InstallWorkerTest, UpdateRepairsAndRegistersNothing)
{
    const std::wstring installDir = L"INSTALLDIR=\"" + m_run.InstallFolder() + L"\"";
    MsiSetInternalUI(INSTALLUILEVEL_NONE, nullptr);
    ASSERT_EQ(MsiInstallProductW(PackagePath(L"Product.msi").c_str(), installDir.c_str()), 0u);
    ASSERT_EQ(MsiInstallProductW(PackagePath(L"LanguagePack.msi").c_str(), installDir.c_str()), 0u);
    HKEY languagePack = nullptr;
    RegCreateKeyExW(HKEY_LOCAL_MACHINE, (std::wstring(kTestRegistryKey) + L"\\LanguagePacks\\1031").c_str(), 0, nullptr,
                    0, KEY_WRITE, nullptr, &languagePack, nullptr);
    const RegistryKeyHandle created(languagePack);
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, kPackageRecordKey);
    PublishText(L"version.xml", ServerManifestText("1.2.0.6"));
    g_runSettings.m_bProductInstalled = 1;
    g_productConfiguration.m_installedProduct.m_strVersion = L"1.2.0.5";
    g_productConfiguration.m_manifest.m_dependencies.clear();

    ASSERT_EQ(Run(), InstallPhase::Finished);
    EXPECT_EQ(m_planNames, (std::vector<std::wstring>{L"Product.msi", L"en.mst", L"LanguagePack.msi"}));
    EXPECT_TRUE(m_boxes.Boxes().empty());
    ExpectProgressOnlyMovesForward();
    // The repair rewrote the package's registry record with its properties.
    EXPECT_EQ(ReadRegistryString(HKEY_LOCAL_MACHINE, kPackageRecordKey, L"Reinstall"), L"ALL");
    EXPECT_TRUE(IsProductInstalled(kProductCode));
    EXPECT_TRUE(IsProductInstalled(kLanguagePackCode));
    ExpectNothingRegistered();
}

TEST_F(InstallWorkerTest, CancelDuringDownloadEndsCancelledWithoutABox)
{
    g_productConfiguration.m_manifest.m_dependencies.clear();
    g_productConfiguration.m_manifest.m_strMainComponentUrl = ServerUrl(L"/slow/Product.msi");
    PublishFile(L"slow\\Product.msi", PackagePath(L"Product.msi"));
    bool bCancelled = false;
    const InstallPhase end = Run([&](InstallWorker& worker, const InstallProgressSnapshot& snapshot) {
        if (!bCancelled && snapshot.m_phase == InstallPhase::Downloading && snapshot.m_nItemPercent > 0) {
            worker.Cancel();
            bCancelled = true;
        }
    });
    EXPECT_TRUE(bCancelled);
    EXPECT_EQ(end, InstallPhase::Cancelled);
    EXPECT_TRUE(ReachedPhase(InstallPhase::Cancelling));
    EXPECT_TRUE(m_boxes.Boxes().empty());
    // The transfer stopped; without a SHA-256 its part cannot be resumed and goes.
    EXPECT_FALSE(FileExists(m_run.BaseFolder() + L"msi\\Product.msi"));
    EXPECT_FALSE(IsProductInstalled(kProductCode));
    ExpectNothingRegistered();
}

TEST_F(InstallWorkerTest, CancelDuringThePackageRollsItBack)
{
    g_productConfiguration.m_manifest.m_dependencies.clear();
    bool bCancelled = false;
    const InstallPhase end = Run([&](InstallWorker& worker, const InstallProgressSnapshot& snapshot) {
        if (!bCancelled && snapshot.m_phase == InstallPhase::Installing) {
            worker.Cancel();
            bCancelled = true;
        }
    });
    EXPECT_TRUE(bCancelled);
    EXPECT_EQ(end, InstallPhase::Cancelled);
    EXPECT_TRUE(m_boxes.Boxes().empty());
    EXPECT_FALSE(IsProductInstalled(kProductCode));
    EXPECT_FALSE(FileExists(ExecutablePath()));
    ExpectNothingRegistered();
    EXPECT_EQ(g_productConfiguration.m_strHomePageUrl, L"");
}

TEST_F(InstallWorkerTest, FailingPackageShowsItsErrorAndKeepsThePrerequisite)
{
    g_productConfiguration.m_manifest.m_strMainComponentName = L"Failing.msi";
    g_productConfiguration.m_manifest.m_strMainComponentUrl = ServerUrl(L"/Failing.msi");
    ASSERT_EQ(Run(), InstallPhase::Failed);
    EXPECT_EQ(m_boxes.Boxes(),
              (std::vector<RecordedBox>{{m_hMainWindow, kFailingPackageText, L"Fenwyx Pro", MB_OK | MB_ICONERROR}}));
    EXPECT_NE(PrerequisiteRecord(), L"");
    EXPECT_FALSE(IsProductInstalled(kFailingCode));
    ExpectNothingRegistered();
}

TEST_F(InstallWorkerTest, UnreachableServerFailsWithTheConnectMessage)
{
    g_productConfiguration.m_manifest.m_strVersionCheckUrl = L"http://127.0.0.1:1/version.xml";
    ASSERT_EQ(Run(), InstallPhase::Failed);
    EXPECT_EQ(
        m_boxes.Boxes(),
        (std::vector<RecordedBox>{{nullptr, IDS_ERR_CONNECT_DOWNLOAD_SERVER.m_default, L"Fenwyx Pro", MB_ICONERROR}}));
    EXPECT_FALSE(ReachedPhase(InstallPhase::Downloading));
    EXPECT_EQ(Count(ReceivedPaths(), "/Product.msi"), 0);
}

TEST_F(InstallWorkerTest, MissingPackageFailsWithTheConnectMessage)
{
    g_productConfiguration.m_manifest.m_strMainComponentUrl = ServerUrl(L"/missing/Product.msi");
    ASSERT_EQ(Run(), InstallPhase::Failed);
    EXPECT_EQ(
        m_boxes.Boxes(),
        (std::vector<RecordedBox>{{nullptr, IDS_ERR_CONNECT_DOWNLOAD_SERVER.m_default, L"Fenwyx Pro", MB_ICONERROR}}));
    EXPECT_FALSE(ReachedPhase(InstallPhase::Installing));
    EXPECT_EQ(PrerequisiteRecord(), L"");
}

TEST_F(InstallWorkerTest, InstalledCurrentProductIsRefused)
{
    g_runSettings.m_bProductInstalled = 1;
    g_productConfiguration.m_installedProduct.m_strVersion = L"1.2.0.5";
    ASSERT_EQ(Run(), InstallPhase::Failed);
    EXPECT_EQ(
        m_boxes.Boxes(),
        (std::vector<RecordedBox>{{m_hMainWindow, L"Fenwyx Pro is already installed. Would you like to launch it?",
                                   L"Windows Installer", MB_OKCANCEL | MB_ICONERROR}}));
    EXPECT_EQ(Count(ReceivedPaths(), "/Product.msi"), 0);
}

// A standalone file is checked where it lies: one that differs from its
// SHA-256 fails the run as a failed download does, and stays.
TEST_F(InstallWorkerTest, StandalonePackageThatDiffersFromItsSha256FailsTheRun)
{
    ProductManifest& manifest = g_productConfiguration.m_manifest;
    manifest.m_bStandalone = 1;
    manifest.m_dependencies.clear();
    manifest.m_transforms.clear();
    manifest.m_strMainComponentSha256 = std::wstring(64, L'0');
    const std::wstring package = m_run.BaseFolder() + L"msi\\Product.msi";
    ASSERT_TRUE(CopyFileW(PackagePath(L"Product.msi").c_str(), package.c_str(), FALSE));
    ASSERT_EQ(Run(), InstallPhase::Failed);
    EXPECT_EQ(
        m_boxes.Boxes(),
        (std::vector<RecordedBox>{{nullptr, IDS_ERR_CONNECT_DOWNLOAD_SERVER.m_default, L"Fenwyx Pro", MB_ICONERROR}}));
    EXPECT_TRUE(ReceivedPaths().empty());
    EXPECT_FALSE(IsProductInstalled(kProductCode));
    EXPECT_TRUE(FileExists(package)) << "a standalone file is not ours to delete";
}

}  // namespace
