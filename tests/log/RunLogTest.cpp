// The run log's file under Wine: opened or not, written from several threads
// at once, and the request trace's line.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "base/UserMessageBox.h"
#include "base/WinHandles.h"
#include "log/RequestTrace.h"
#include "log/RunLog.h"

namespace {

std::wstring Widen(const char* text)
{
    return std::wstring(text, text + strlen(text));
}

std::wstring TempPath(const wchar_t* name)
{
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    return std::wstring(temp) + name;
}

std::string ReadAll(const std::wstring& path)
{
    const FileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, 0, nullptr));
    if (!file) return std::string();
    std::string bytes(GetFileSize(file.get(), nullptr), '\0');
    DWORD read = 0;
    ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    bytes.resize(read);
    return bytes;
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    for (std::size_t start = 0, end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
        lines.push_back(text.substr(start, end - start));
    }
    return lines;
}

const std::regex kStamp("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{3} ");

}  // namespace

TEST(RunLog, AFileThatCannotBeOpenedLeavesTheLogClosed)
{
    RunLog log;
    EXPECT_FALSE(log.Open(TempPath(L"korvex-no-such-folder\\run.log")));
    EXPECT_FALSE(log.IsOpen());
    log.Write(L"dropped");
    EXPECT_EQ(log.NextMsiLogPath(), L"");
}

TEST(RunLog, ThreadsWriteWholeLinesAndInstallerLogsAreNumbered)
{
    const std::wstring path = TempPath(L"korvex-run-log-test.log");
    RunLog log;
    ASSERT_TRUE(log.Open(path));
    constexpr int kThreads = 4;
    constexpr int kLinesEach = 200;
    std::vector<std::thread> writers;
    for (int t = 0; t < kThreads; ++t) {
        writers.emplace_back([&log, t] {
            for (int i = 0; i < kLinesEach; ++i) {
                log.Write(L"thread " + std::to_wstring(t) + L" line " + std::to_wstring(i) + L" \x00FC");
            }
        });
    }
    for (std::thread& writer : writers) writer.join();
    EXPECT_EQ(log.NextMsiLogPath(), path + L".1.msi.log");
    EXPECT_EQ(log.NextMsiLogPath(), path + L".2.msi.log");

    const std::vector<std::string> lines = Lines(ReadAll(path));
    ASSERT_EQ(lines.size(), static_cast<std::size_t>(kThreads * kLinesEach));
    std::vector<int> next(kThreads, 0);
    const std::regex line("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{3} thread (\\d) line (\\d+) \xC3\xBC$");
    for (const std::string& text : lines) {
        std::smatch match;
        ASSERT_TRUE(std::regex_match(text, match, line)) << text;
        const int thread = std::stoi(match[1]);
        EXPECT_EQ(std::stoi(match[2]), next[thread]++) << "each thread's lines keep their order";
    }

    // Opening again starts an empty log.
    ASSERT_TRUE(log.Open(path));
    EXPECT_EQ(ReadAll(path), "");
    EXPECT_EQ(log.NextMsiLogPath(), path + L".1.msi.log");
    DeleteFileW(path.c_str());
}

TEST(RequestTrace, OneLineWhenTheRequestEnds)
{
    const std::wstring path = TempPath(L"korvex-request-trace-test.log");
    {
        RequestTrace unlogged(L"http://127.0.0.1/closed-log");
    }
    ASSERT_TRUE(g_runLog.Open(path));
    {
        RequestTrace answered(L"http://user:pw@127.0.0.1:8080/a.msi");
        answered.Answered(200, 4096);
        EXPECT_EQ(ReadAll(path), "") << "nothing before the request ends";
        answered.Ended(4096, true);
    }
    {
        RequestTrace unanswered(L"http://127.0.0.1:9/version.xml");
    }
    const std::vector<std::string> lines = Lines(ReadAll(path));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_TRUE(std::regex_search(lines[0], kStamp));
    EXPECT_TRUE(std::regex_search(lines[0], std::regex(" Request GET http://\\*\\*\\*@127\\.0\\.0\\.1:8080/a\\.msi: "
                                                       "status 200, Content-Length 4096, 4096 bytes received, "
                                                       "\\d+ ms, succeeded$")))
        << lines[0];
    EXPECT_TRUE(std::regex_search(lines[1], std::regex(" Request GET http://127\\.0\\.0\\.1:9/version\\.xml: no "
                                                       "answer, 0 bytes received, \\d+ ms, failed$")))
        << lines[1];
}

TEST(RunLog, ObservedBoxesAreLoggedWithTheirAnswer)
{
    const std::wstring path = TempPath(L"korvex-box-log-test.log");
    ASSERT_TRUE(g_runLog.Open(path));
    const UserMessageBoxFunction previous =
        SetUserMessageBoxFunction([](HWND, const wchar_t*, const wchar_t*, UINT) { return IDYES; });
    SetUserMessageBoxObserver(&LogMessageBox);
    EXPECT_EQ(UserMessageBox(nullptr, L"Cancel the installation?", L"Fenwyx Pro", MB_YESNO), IDYES);
    SetUserMessageBoxObserver(nullptr);
    UserMessageBox(nullptr, L"Not observed", L"Fenwyx Pro", MB_OK);
    SetUserMessageBoxFunction(previous);

    const std::vector<std::string> lines = Lines(ReadAll(path));
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_TRUE(
        std::regex_search(lines[0], std::regex(" Message box \"Fenwyx Pro\": Cancel the installation\\? -> Yes$")))
        << lines[0];
}

// log_test_links made dangling.log, a symbolic link to a file that does not
// exist, and folder.log, one to a folder (Wine shows a link to an existing
// file as that file, so only these two can be shown here). A hard link at a
// log's name, the run log's or a package log's, is never written either: no
// log, and the other file stays as it was.
TEST(RunLog, NeverWritesThroughALinkOrIntoAFileWithAnotherName)
{
    const std::wstring links = Widen(KORVEX_BINARY_DIR) + L"\\log-test-links\\";
    ASSERT_NE(GetFileAttributesW((links + L"folder.log").c_str()), INVALID_FILE_ATTRIBUTES)
        << "run through ctest: log_test_links makes the links";
    RunLog log;
    for (const wchar_t* name : {L"dangling.log", L"folder.log"}) {
        EXPECT_FALSE(log.Open(links + name)) << name;
    }
    EXPECT_EQ(GetFileAttributesW((links + L"missing-target.log").c_str()), INVALID_FILE_ATTRIBUTES)
        << "the link's target was created";

    const std::wstring other = TempPath(L"korvex-log-other-file.txt");
    const std::wstring path = TempPath(L"korvex-log-links.log");
    for (const std::wstring& name : {path, path + L".1.msi.log", path + L".2.msi.log", other}) {
        DeleteFileW(name.c_str());
    }
    {
        const FileHandle file(CreateFileW(other.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
        DWORD written = 0;
        ASSERT_TRUE(WriteFile(file.get(), "kept", 4, &written, nullptr));
    }
    ASSERT_TRUE(CreateHardLinkW(path.c_str(), other.c_str(), nullptr));
    EXPECT_FALSE(log.Open(path));
    ASSERT_TRUE(DeleteFileW(path.c_str()));

    {
        RunLog opened;
        ASSERT_TRUE(opened.Open(path));
        ASSERT_TRUE(CreateHardLinkW((path + L".1.msi.log").c_str(), other.c_str(), nullptr));
        EXPECT_EQ(opened.NextMsiLogPath(), L"");
        EXPECT_EQ(ReadAll(other), "kept");
        EXPECT_EQ(opened.NextMsiLogPath(), path + L".2.msi.log");
        EXPECT_FALSE(DeleteFileW((path + L".2.msi.log").c_str())) << "a package's log is held until the next one";
    }
    for (const std::wstring& name : {path, path + L".1.msi.log", path + L".2.msi.log", other}) {
        EXPECT_TRUE(DeleteFileW(name.c_str()));
    }
}
