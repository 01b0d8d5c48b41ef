#include <gtest/gtest.h>

#include <windows.h>
#include <msi.h>

#include <string>

#include "EngineTestSupport.h"
#include "config/RunSettings.h"
#include "install/InstallWorker.h"
#include "install/PackageRunner.h"
#include "install/TransformArgument.h"

using namespace korvex::config;
using namespace korvex::install;

namespace {

InstallPlanItem ProcessItem(const std::wstring& localPath, const std::wstring& commandLine)
{
    InstallPlanItem item;
    item.m_strName = L"prerequisite";
    item.m_strLocalPath = localPath;
    item.m_strCommandLine = commandLine;
    item.m_bRunAsProcess = 1;
    return item;
}

class RunPackageProcessTest : public testing::Test {
protected:
    EngineTestRun m_run;
};

// Unquoted, "<temp>\korvex install engine\component\..." would make the
// program read "<temp>\korvex" as its own path. It runs in its own folder.
TEST_F(RunPackageProcessTest, ProgramIsQuotedAndRunsInItsOwnFolder)
{
    const std::wstring folder = m_run.BaseFolder() + L"component\\4711";
    const std::wstring program = folder + L"\\prerequisite.exe";
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    ASSERT_TRUE(CopyFileW(RecordingProgramPath().c_str(), program.c_str(), FALSE));

    EXPECT_EQ(RunPackageProcess(ProcessItem(program, L"/quiet /norestart"), nullptr), PrerequisiteRun::Ended);
    EXPECT_EQ(ReadFileText(program + L".ran"), L"\"" + program + L"\" /quiet /norestart\n");
    EXPECT_EQ(ReadFileText(program + L".cwd"), folder);
}

TEST_F(RunPackageProcessTest, MsiThenExeRunsAsAProgram)
{
    const std::wstring program = m_run.BaseFolder() + L"component\\setup.msi.exe";
    ASSERT_TRUE(CopyFileW(RecordingProgramPath().c_str(), program.c_str(), FALSE));
    EXPECT_EQ(RunPackageProcess(ProcessItem(program, L""), nullptr), PrerequisiteRun::Ended);
    EXPECT_TRUE(FileExists(program + L".ran"));
}

TEST_F(RunPackageProcessTest, UpperCaseMsiGoesThroughMsiexec)
{
    const std::wstring package = m_run.BaseFolder() + L"component\\4711LANGUAGE.MSI";
    ASSERT_TRUE(CopyFileW(PackagePath(L"LanguagePack.msi").c_str(), package.c_str(), FALSE));
    EXPECT_EQ(RunPackageProcess(ProcessItem(package, L"/qn INSTALLDIR=\"" + m_run.InstallFolder() + L"\""), nullptr),
              PrerequisiteRun::Ended);
    EXPECT_TRUE(IsProductInstalled(kLanguagePackCode));
    EXPECT_TRUE(FileExists(m_run.InstallFolder() + L"\\lang\\1031\\strings.txt"));
}

TEST_F(RunPackageProcessTest, MissingProgramIsReported)
{
    EXPECT_EQ(RunPackageProcess(ProcessItem(m_run.BaseFolder() + L"component\\absent.exe", L""), nullptr),
              PrerequisiteRun::NotStarted);
}

// A path with ';' cannot stand in TRANSFORMS: its short form does (Wine makes
// up 8.3 names), and without short names a held copy that goes again.
TEST(TransformArgumentTest, SemicolonPathsAreNamedByTheirShortFormOrACopy)
{
    EngineTestRun run;
    const std::wstring folder = run.BaseFolder() + L"a;b";
    const std::wstring path = folder + L"\\1031.mst";
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    {
        const FileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
        DWORD written = 0;
        ASSERT_TRUE(WriteFile(file.get(), "transform", 9, &written, nullptr));
    }

    TransformArgument plain;
    const std::wstring transformFolder = run.BaseFolder() + L"transform\\1031.mst";
    EXPECT_EQ(plain.Prepare(transformFolder), transformFolder);
    TransformArgument shortName;
    const std::wstring shortForm = shortName.Prepare(path);
    EXPECT_EQ(shortForm.find(L';'), std::wstring::npos) << shortForm;
    EXPECT_EQ(ReadFileText(shortForm), L"transform");

    // A volume without short names gives the long path back.
    TransformArgument copied(&GetLongPathNameW);
    const std::wstring copy = copied.Prepare(path);
    EXPECT_EQ(copy.find(L';'), std::wstring::npos) << copy;
    EXPECT_NE(copy.find(L"\\KorvexWebInstaller_"), std::wstring::npos) << copy;
    EXPECT_EQ(ReadFileText(copy), L"transform");
    EXPECT_FALSE(DeleteFileW(copy.c_str()));
    copied.Release();
    EXPECT_FALSE(FileExists(copy));
    EXPECT_EQ(GetFileAttributesW(copy.substr(0, copy.rfind(L'\\')).c_str()), INVALID_FILE_ATTRIBUTES);
}

struct DispatchCase {
    const char* name;
    UINT messageType;
    const wchar_t* message;
    int expected;
    bool bBoxShown;
};

class OnInstallerMessageTest : public testing::TestWithParam<DispatchCase> {
protected:
    OnInstallerMessageTest() : m_recorder(IDRETRY)
    {
        g_productConfiguration.m_manifest.m_strShortName = L"Fenwyx Pro";
        m_worker.SetOwnerWindow(GetDesktopWindow());
    }
    ~OnInstallerMessageTest() override { g_productConfiguration = ProductConfiguration(); }

    MessageBoxRecorder m_recorder;
    InstallProgress m_progress;
    InstallWorker m_worker{m_progress};
};

TEST_P(OnInstallerMessageTest, Dispatches)
{
    const DispatchCase& c = GetParam();
    EXPECT_EQ(OnInstallerMessage(&m_worker, c.messageType, c.message), c.expected);
    std::vector<RecordedBox> expected;
    if (c.bBoxShown) {
        expected.push_back({GetDesktopWindow(), c.message, L"Fenwyx Pro", c.messageType & 0x00FFFFFFu});
    }
    EXPECT_EQ(m_recorder.Boxes(), expected);
    EXPECT_EQ(m_worker.m_nErrorKind, InstallErrorNone);
}

INSTANTIATE_TEST_SUITE_P(
    Types, OnInstallerMessageTest,
    testing::Values(DispatchCase{"FatalExit", INSTALLMESSAGE_FATALEXIT | MB_ABORTRETRYIGNORE, L"fatal", IDRETRY, true},
                    DispatchCase{"Error", INSTALLMESSAGE_ERROR | MB_RETRYCANCEL | MB_ICONERROR, L"error", IDRETRY,
                                 true},
                    DispatchCase{"OutOfDiskSpace", INSTALLMESSAGE_OUTOFDISKSPACE | MB_OK, L"disk", IDRETRY, true},
                    DispatchCase{"Warning", INSTALLMESSAGE_WARNING | MB_OK, L"warning", IDOK, false},
                    DispatchCase{"User", INSTALLMESSAGE_USER | MB_OK, L"user", IDOK, false},
                    DispatchCase{"Info", INSTALLMESSAGE_INFO, L"Action start", IDOK, false},
                    DispatchCase{"FilesInUse", INSTALLMESSAGE_FILESINUSE, L"files", 0, false},
                    DispatchCase{"ResolveSource", INSTALLMESSAGE_RESOLVESOURCE, L"source", 0, false},
                    DispatchCase{"ActionStart", INSTALLMESSAGE_ACTIONSTART, L"Action", IDOK, false},
                    DispatchCase{"ActionData", INSTALLMESSAGE_ACTIONDATA, L"File: x", IDOK, false},
                    DispatchCase{"Progress", INSTALLMESSAGE_PROGRESS, L"1: 0 2: 10 3: 0 4: 0 ", IDOK, false},
                    DispatchCase{"CommonData", INSTALLMESSAGE_COMMONDATA, L"1: 0 2: 1033 3: 0 ", IDOK, false},
                    DispatchCase{"Initialize", INSTALLMESSAGE_INITIALIZE, L"", IDOK, false},
                    DispatchCase{"Terminate", INSTALLMESSAGE_TERMINATE, L"", IDOK, false},
                    DispatchCase{"ShowDialog", INSTALLMESSAGE_SHOWDIALOG, L"dialog", IDOK, false},
                    DispatchCase{"InstallEnd", INSTALLMESSAGE_INSTALLEND, L"1: x 2: y 3: 1 ", IDOK, false},
                    DispatchCase{"InstallStart", INSTALLMESSAGE_INSTALLSTART, L"1: x", 0, false},
                    DispatchCase{"Unknown", 0x1F000000u, L"?", 0, false},
                    DispatchCase{"NullMessage", INSTALLMESSAGE_ERROR, nullptr, 0, false}),
    [](const testing::TestParamInfo<DispatchCase>& info) { return std::string(info.param.name); });

class InstallerHandlerTest : public testing::Test {
protected:
    InstallerHandlerTest() { g_productConfiguration.m_manifest.m_strShortName = L"Fenwyx Pro"; }
    ~InstallerHandlerTest() override { g_productConfiguration = ProductConfiguration(); }

    int Send(UINT type, const wchar_t* message) { return OnInstallerMessage(&m_worker, type, message); }

    InstallProgress m_progress;
    InstallWorker m_worker{m_progress};
};

TEST_F(InstallerHandlerTest, CancelInABoxIsRemembered)
{
    MessageBoxRecorder recorder(IDCANCEL);
    EXPECT_EQ(Send(INSTALLMESSAGE_ERROR | MB_RETRYCANCEL, L"disk full"), IDCANCEL);
    EXPECT_EQ(m_worker.m_nErrorKind, InstallErrorUserCancel);
}

TEST_F(InstallerHandlerTest, ProgressRecordsMoveTheCurrentItem)
{
    m_worker.m_nInstallIndex = 2;
    m_worker.m_strCurrentPackage = L"Product.msi";
    Send(INSTALLMESSAGE_PROGRESS, L"1: 0 2: 200 3: 0 4: 0 ");
    EXPECT_EQ(m_progress.Phase(), InstallPhase::Initial);
    Send(INSTALLMESSAGE_PROGRESS, L"1: 2 2: 50 ");
    const InstallProgressSnapshot snapshot = m_progress.Snapshot();
    EXPECT_EQ(snapshot.m_phase, InstallPhase::Installing);
    EXPECT_EQ(snapshot.m_nItemIndex, 2);
    EXPECT_EQ(snapshot.m_nItemPercent, 25);
    EXPECT_EQ(m_progress.ItemText(), L"Product.msi");
}

TEST_F(InstallerHandlerTest, AfterCancelProgressIsAnsweredCancelButMalformedOk)
{
    m_worker.Cancel();
    EXPECT_EQ(Send(INSTALLMESSAGE_PROGRESS, L"1: 0 2: 200 3: 0 4: 0 "), IDCANCEL);
    EXPECT_EQ(Send(INSTALLMESSAGE_PROGRESS, L"1: 2 2: 50 "), IDCANCEL);
    EXPECT_EQ(Send(INSTALLMESSAGE_PROGRESS, L"7: 1 "), IDOK);
    EXPECT_EQ(Send(INSTALLMESSAGE_PROGRESS, L""), IDOK);
    EXPECT_EQ(m_progress.Phase(), InstallPhase::Cancelling);
}

TEST_F(InstallerHandlerTest, FirstHomePageWins)
{
    Send(INSTALLMESSAGE_INFO, L"Property(C): InstallHomepageURL = https://client.example");
    Send(INSTALLMESSAGE_INFO, L"Property(S): InstallHomepageURL = https://fenwyx.example/home ");
    Send(INSTALLMESSAGE_INFO, L"Property(S): InstallHomepageURL = https://second.example");
    EXPECT_EQ(m_worker.m_strHomePageUrlFound, L"https://fenwyx.example/home");
}

// A package whose custom action reports an error and fails: the text reaches
// the box function with the installer's own style, and the package fails.
TEST(InstallPackageTest, FailingPackageShowsItsErrorAndFails)
{
    EngineTestRun run;
    MessageBoxRecorder recorder(IDOK);
    InstallProgress progress;
    InstallWorker worker(progress);
    worker.SetOwnerWindow(GetDesktopWindow());
    InstallPlanItem item;
    item.m_strName = L"Failing.msi";
    item.m_strLocalPath = PackagePath(L"Failing.msi");

    EXPECT_FALSE(InstallPackage(worker, item));
    EXPECT_EQ(
        recorder.Boxes(),
        (std::vector<RecordedBox>{{GetDesktopWindow(), kFailingPackageText, L"Fenwyx Pro", MB_OK | MB_ICONERROR}}));
    EXPECT_FALSE(IsProductInstalled(kFailingCode));
}

}  // namespace
