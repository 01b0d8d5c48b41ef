#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>
#include <tlhelp32.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "app/CommandLineSwitches.h"
#include "app/StartupSteps.h"
#include "base/WinHandles.h"
#include "support/TestFolders.h"

using namespace korvex::app;
using namespace korvex::config;

namespace {

std::wstring Widen(const char* text)
{
    return std::wstring(text, text + strlen(text));
}

std::wstring BinaryPath(const wchar_t* name)
{
    return Widen(KORVEX_BINARY_DIR) + L"\\" + name;
}

// Waits for a process while serving this thread's windows, since the other
// process's ShowWindow on our window waits for us to handle it.
bool WaitPumping(HANDLE process, DWORD timeoutMs)
{
    DWORD deadline = ::GetTickCount() + timeoutMs;
    for (;;) {
        DWORD now = ::GetTickCount();
        if (static_cast<LONG>(deadline - now) <= 0) return false;
        DWORD wait = ::MsgWaitForMultipleObjects(1, &process, FALSE, deadline - now, QS_ALLINPUT);
        if (wait == WAIT_OBJECT_0) return true;
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
}

// A child that is ended, if still running, when the test is done.
struct Process {
    KernelHandle process;
    KernelHandle thread;
    ~Process()
    {
        if (process) {
            ::TerminateProcess(process.get(), 1);
            ::WaitForSingleObject(process.get(), 10000);
        }
    }
    bool Start(const std::wstring& path, const std::wstring& arguments)
    {
        std::wstring commandLine = L"\"" + path + L"\" " + arguments;
        STARTUPINFOW startup = {};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION info = {};
        if (!::CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                              &info)) {
            return false;
        }
        process.reset(info.hProcess);
        thread.reset(info.hThread);
        return true;
    }
};

class MainWindowClass : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(RegisterMainWindowClass() || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS); }
    void TearDown() override
    {
        if (m_window) ::DestroyWindow(m_window);
    }
    HWND CreateMainClassWindow(DWORD style)
    {
        m_window = ::CreateWindowExW(0, kMainWindowClassName, L"first instance", style, 10, 10, 300, 200, nullptr,
                                     nullptr, ::GetModuleHandleW(nullptr), nullptr);
        return m_window;
    }
    HWND m_window = nullptr;
};

}  // namespace

TEST_F(MainWindowClass, IsTheDialogClassUnderOurNameAndCreatable)
{
    WNDCLASSW dialogClass = {}, ours = {};
    ASSERT_TRUE(::GetClassInfoW(nullptr, MAKEINTATOM(32770), &dialogClass));
    ASSERT_TRUE(::GetClassInfoW(::GetModuleHandleW(nullptr), kMainWindowClassName, &ours));
    EXPECT_EQ(ours.lpfnWndProc, dialogClass.lpfnWndProc);
    EXPECT_EQ(ours.cbWndExtra, dialogClass.cbWndExtra);
    ASSERT_NE(CreateMainClassWindow(WS_OVERLAPPEDWINDOW), nullptr);
    EXPECT_EQ(::FindWindowW(kMainWindowClassName, nullptr), m_window);
}

TEST_F(MainWindowClass, SecondInstanceRestoresTheFirstWindowAndExits)
{
    KernelHandle semaphore(::CreateSemaphoreW(nullptr, 0, 1, kInstanceSemaphoreName));
    ASSERT_NE(semaphore.get(), nullptr);
    ASSERT_NE(CreateMainClassWindow(WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_MINIMIZE), nullptr);
    ASSERT_TRUE(::IsIconic(m_window));

    Process second;
    ASSERT_TRUE(second.Start(BinaryPath(L"KorvexMasterInstaller.exe"), L"/n"));
    ASSERT_TRUE(WaitPumping(second.process.get(), 30000)) << "the second instance did not exit";
    WaitPumping(::GetCurrentProcess(), 200);  // let the restore's messages settle

    EXPECT_FALSE(::IsIconic(m_window));
    EXPECT_TRUE(::IsWindowVisible(m_window));
    EXPECT_EQ(::GetForegroundWindow(), m_window);
    DWORD exitCode = 1;
    ASSERT_TRUE(::GetExitCodeProcess(second.process.get(), &exitCode));
    EXPECT_EQ(exitCode, 1618u);  // another installation is running
}

namespace {

// Waits for a top-level window of the main window class to show.
HWND WaitForMainWindow(DWORD timeoutMs)
{
    for (DWORD waited = 0; waited < timeoutMs; waited += 100) {
        HWND window = ::FindWindowW(kMainWindowClassName, nullptr);
        if (window && ::IsWindowVisible(window)) return window;
        ::Sleep(100);
    }
    return nullptr;
}

}  // namespace

namespace {

constexpr char kUsableManifest[] =
    "<korvexwebinstaller><product><pid>FWXPRO-180-WW</pid><full_name>Fenwyx Pro 18</full_name>"
    "<registry>SOFTWARE\\Korvex Systems\\Startup Test</registry><main_component><name>FenwyxPro.msi</name>"
    "<full_url>http://127.0.0.1:9/FenwyxPro.msi</full_url></main_component></product></korvexwebinstaller>";

void WriteText(const std::wstring& path, const char* text)
{
    const FileHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    ASSERT_TRUE(file);
    DWORD written = 0;
    ::WriteFile(file.get(), text, static_cast<DWORD>(strlen(text)), &written, nullptr);
}

// A fresh folder holding a copy of the installer and, unless manifest is
// null, its config\manifestPro.xml. Returns the copy's path.
std::wstring InstallerFolder(const wchar_t* name, const char* manifest)
{
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + name;
    RemoveTree(folder);
    ::CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring exe = folder + L"\\KorvexMasterInstaller.exe";
    ::CopyFileW(BinaryPath(L"KorvexMasterInstaller.exe").c_str(), exe.c_str(), FALSE);
    if (manifest) {
        ::CreateDirectoryW((folder + L"\\config").c_str(), nullptr);
        WriteText(folder + L"\\config\\manifestPro.xml", manifest);
    }
    return exe;
}

// The first box captioned caption, or null when none appeared in time.
HWND WaitForBox(const wchar_t* caption, DWORD timeoutMs)
{
    for (DWORD waited = 0; waited < timeoutMs; waited += 50) {
        if (HWND box = ::FindWindowW(L"#32770", caption)) return box;
        ::Sleep(50);
    }
    return nullptr;
}

// The box's text; answers it with OK.
std::wstring AnswerBox(HWND box)
{
    wchar_t text[1024] = {};
    ::GetDlgItemTextW(box, 0xFFFF, text, 1024);
    ::PostMessageW(box, WM_COMMAND, IDOK, 0);
    return text;
}

bool HasModule(DWORD processId, const wchar_t* name)
{
    // Like CreateFile, the snapshot fails with INVALID_HANDLE_VALUE.
    const FileHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, processId));
    MODULEENTRY32W module = {};
    module.dwSize = sizeof(module);
    if (!snapshot) return false;
    for (BOOL more = ::Module32FirstW(snapshot.get(), &module); more; more = ::Module32NextW(snapshot.get(), &module)) {
        if (_wcsicmp(module.szModule, name) == 0) return true;
    }
    return false;
}

}  // namespace

// A manifest that cannot be used ends the run before any window or download:
// one box captioned with the program's name says what is wrong and where.
TEST(Startup, UnusableConfigurationStopsTheRunWithItsReason)
{
    std::string noPid = kUsableManifest;
    noPid.erase(noPid.find("<pid>"), strlen("<pid>FWXPRO-180-WW</pid>"));
    const struct {
        const wchar_t* m_folder;
        const char* m_manifest;
        const wchar_t* m_blockingFile;
        const wchar_t* m_what;
    } rows[] = {
        {L"korvex-start-missing", nullptr, nullptr, L"\\config\\manifestPro.xml\" is missing"},
        {L"korvex-start-not-xml", "<korvexwebinstaller><product>", nullptr, L"\" is not readable XML"},
        {L"korvex-start-no-pid", noPid.c_str(), nullptr, L"(<pid> in <product>)"},
        {L"korvex-start-blocked", kUsableManifest, L"msi", L"\\msi\\\" beside the installer cannot be created"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.m_what, row.m_what + wcslen(row.m_what)));
        const std::wstring exe = InstallerFolder(row.m_folder, row.m_manifest);
        const std::wstring folder = exe.substr(0, exe.rfind(L'\\'));
        if (row.m_blockingFile) WriteText(folder + L"\\" + row.m_blockingFile, "a file");

        Process run;
        ASSERT_TRUE(run.Start(exe, L"/s"));
        const HWND box = WaitForBox(L"KorvexMasterInstaller", 30000);
        ASSERT_NE(box, nullptr) << "no box";
        // Nothing reached for the network before start-up had a manifest.
        const DWORD processId = ::GetProcessId(run.process.get());
        EXPECT_TRUE(HasModule(processId, L"KorvexMasterInstaller.exe"));
        EXPECT_FALSE(HasModule(processId, L"wininet.dll")) << "the HTTP session was opened at program load";
        const std::wstring text = AnswerBox(box);
        ASSERT_TRUE(WaitPumping(run.process.get(), 30000)) << "the installer did not end";
        EXPECT_NE(text.find(folder), std::wstring::npos) << std::string(text.begin(), text.end());
        EXPECT_NE(text.find(row.m_what), std::wstring::npos) << std::string(text.begin(), text.end());
        DWORD exitCode = 0;
        ASSERT_TRUE(::GetExitCodeProcess(run.process.get(), &exitCode));
        EXPECT_EQ(exitCode, 1603u);
        // The validator never ran: it would have fetched into the component folder.
        WIN32_FIND_DATAW found;
        const FindHandle search(::FindFirstFileW((folder + L"\\component\\*").c_str(), &found));
        int entries = 0;
        for (BOOL more = search ? TRUE : FALSE; more; more = ::FindNextFileW(search.get(), &found)) ++entries;
        EXPECT_LE(entries, 2) << "something was downloaded";
        RemoveTree(folder);
    }
}

TEST(Startup, RealFirstInstanceComesForwardWhenASecondStarts)
{
    ASSERT_EQ(::OpenSemaphoreW(SYNCHRONIZE, FALSE, kInstanceSemaphoreName), nullptr) << "an instance is running";
    const std::wstring exe = InstallerFolder(L"korvex-start-first", kUsableManifest);
    Process first;
    ASSERT_TRUE(first.Start(exe, L"/n"));
    HWND window = WaitForMainWindow(30000);
    ASSERT_NE(window, nullptr) << "the first instance showed no main window";
    ::ShowWindow(window, SW_MINIMIZE);
    ASSERT_TRUE(::IsIconic(window));

    Process second;
    ASSERT_TRUE(second.Start(exe, L"/n"));
    ASSERT_TRUE(WaitPumping(second.process.get(), 30000)) << "the second instance did not exit";
    EXPECT_FALSE(::IsIconic(window));
    EXPECT_EQ(::GetForegroundWindow(), window);
}

TEST(StartupSteps, CommandLineSplitNarrowedAndWalkedAsStartUpDoes)
{
    auto arguments = ReadCommandLineArguments(
        L"\"C:\\with space\\KorvexMasterInstaller.exe\" /lang 1031 /v \"INSTALLDIR=D:\\My Apps\" /S -n /l");
    ASSERT_EQ(arguments.size(), 8u);
    EXPECT_EQ(arguments[0].m_wide, L"C:\\with space\\KorvexMasterInstaller.exe");
    EXPECT_EQ(arguments[1].m_narrow, "/lang");
    EXPECT_EQ(arguments[4].m_wide, L"INSTALLDIR=D:\\My Apps");

    RunSettings settings;
    WalkSwitches(BuildSwitchTable(settings), arguments);
    EXPECT_EQ(settings.m_strLanguage, L"1031");
    EXPECT_EQ(settings.m_strInstallerProperties, L"INSTALLDIR=D:\\My Apps");
    EXPECT_EQ(settings.m_bSilent, 0);
    EXPECT_EQ(settings.m_bSkipClientCheck, 0);
    EXPECT_EQ(settings.m_bLaunchProduct, 1);
}

TEST(StartupSteps, NarrowingKeepsSwitchesAndNeverMakesOneFromOtherText)
{
    EXPECT_EQ(NarrowForSwitchLookup(L"/lang"), "/lang");
    EXPECT_EQ(NarrowForSwitchLookup(L""), "");
    // A fullwidth solidus is not a slash, whatever the code page makes of it.
    EXPECT_EQ(NarrowForSwitchLookup(L"\xFF0Fs"), "?s");
    EXPECT_EQ(NarrowForSwitchLookup(L"\x2215lang"), "?lang");
    EXPECT_NE(NarrowForSwitchLookup(L"/s\x0416"), "/s");
}

// Starts record_arguments.exe as the newer client; its command line split
// back by the system and walked as start-up walks it, or nothing.
std::vector<std::wstring> LaunchRecordedClient(const std::wstring& parameters)
{
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    std::wstring record = std::wstring(temp) + L"korvex-launch-record.txt";
    ::DeleteFileW(record.c_str());
    ::SetEnvironmentVariableW(L"KORVEX_RECORD_FILE", record.c_str());

    EXPECT_TRUE(LaunchDownloadedClient(BinaryPath(L"bin\\record_arguments.exe"), parameters, L"KorvexMasterInstaller"));

    std::wstring commandLine;
    for (int attempt = 0; attempt < 100 && commandLine.empty(); ++attempt) {
        ::Sleep(100);
        const FileHandle file(
            ::CreateFileW(record.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
        if (!file) continue;
        wchar_t buffer[1024] = {};
        DWORD read = 0;
        ::ReadFile(file.get(), buffer, sizeof(buffer) - sizeof(wchar_t), &read, nullptr);
        commandLine.assign(buffer, read / sizeof(wchar_t));
    }
    ::DeleteFileW(record.c_str());
    std::vector<std::wstring> arguments;
    for (const CommandLineArgument& argument : ReadCommandLineArguments(commandLine.c_str())) {
        arguments.push_back(argument.m_wide);
    }
    return arguments;
}

// The newer client receives this run's switches and reads them as this run did.
TEST(StartupSteps, DownloadedClientStartsWithSkipSwitchAndThisRunsSwitches)
{
    const std::vector<RunSettings> runs = [] {
        RunSettings plain;
        RunSettings silent;
        silent.m_bSilent = silent.m_bLaunchProduct = 1;
        silent.m_strLanguage = L"1031";
        silent.m_strInstallerProperties = L"SAMPLE_TAG=\"two words\" INSTALLDIR=\"C:\\Some Folder\\\"";
        return std::vector<RunSettings>{plain, silent};
    }();
    for (const RunSettings& run : runs) {
        const std::vector<std::wstring> arguments = LaunchRecordedClient(HandOverParameters(run));
        ASSERT_FALSE(arguments.empty()) << "the client was not started";
        EXPECT_NE(arguments[0].find(L"record_arguments.exe"), std::wstring::npos);
        EXPECT_EQ(arguments[1], L"/n");
        std::vector<CommandLineArgument> walked;
        for (const std::wstring& argument : arguments) walked.push_back({NarrowForSwitchLookup(argument), argument});
        RunSettings seen;
        WalkSwitches(BuildSwitchTable(seen), walked);
        EXPECT_EQ(seen.m_bSkipClientCheck, 1);
        EXPECT_EQ(seen.m_bSilent, run.m_bSilent);
        EXPECT_EQ(seen.m_bLaunchProduct, run.m_bLaunchProduct);
        EXPECT_EQ(seen.m_strLanguage, run.m_strLanguage);
        EXPECT_EQ(seen.m_strInstallerProperties, run.m_strInstallerProperties);
    }
}

TEST(StartupSteps, MissingOrEmptyClientPathStartsNothingAndShowsNothing)
{
    // Either would block on a message box if it tried and failed.
    EXPECT_FALSE(LaunchDownloadedClient(L"", L"/n", L"KorvexMasterInstaller"));
    EXPECT_FALSE(LaunchDownloadedClient(BinaryPath(L"no-such-client.exe"), L"/n", L"KorvexMasterInstaller"));
    EXPECT_EQ(::FindWindowW(L"#32770", L"KorvexMasterInstaller"), nullptr);
}

TEST(StartupSteps, UnlaunchableClientReportsTheFixedMessage)
{
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    std::wstring path = std::wstring(temp) + L"korvex-client.unlaunchable-type";
    {
        const FileHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        ASSERT_NE(file.get(), INVALID_HANDLE_VALUE);
    }

    // The message box is modal: a second thread reads it and presses OK.
    const wchar_t* caption = L"KorvexLaunchTest";
    std::atomic<bool> seen{false};
    std::wstring text;
    std::thread watcher([&] {
        for (int attempt = 0; attempt < 200; ++attempt) {
            HWND box = ::FindWindowW(L"#32770", caption);
            if (box) {
                wchar_t buffer[256] = {};
                ::GetDlgItemTextW(box, 0xFFFF, buffer, 256);
                text = buffer;
                seen = true;
                ::PostMessageW(box, WM_COMMAND, IDOK, 0);
                return;
            }
            ::Sleep(50);
        }
    });
    EXPECT_FALSE(LaunchDownloadedClient(path, L"/n", caption));
    watcher.join();
    ::DeleteFileW(path.c_str());
    ASSERT_TRUE(seen) << "no message box appeared";
    EXPECT_EQ(text, L"The updater cannot be launched!");
}
