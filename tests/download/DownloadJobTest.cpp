#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <future>
#include <stdexcept>
#include <thread>

#include "DownloadTestSupport.h"
#include "download/DownloadJob.h"

namespace {

using namespace std::chrono_literals;

struct Expected {
    std::int32_t nStatus;
    std::uint64_t nBytes;
    std::uint64_t nExpected;
};

void ExpectReports(const std::vector<TimedStatus>& reports, const std::vector<Expected>& expected)
{
    ASSERT_EQ(reports.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(reports[i].info.m_nStatus, expected[i].nStatus) << "report " << i;
        EXPECT_EQ(reports[i].info.m_nBytesReceived, expected[i].nBytes) << "report " << i;
        EXPECT_EQ(reports[i].info.m_nExpectedSize, expected[i].nExpected) << "report " << i;
        EXPECT_EQ(reports[i].info.m_nErrorCode, 0u) << "report " << i;
        EXPECT_EQ(reports[i].info.m_strErrorText, L"") << "report " << i;
    }
}

// Waits until the recorder has seen at least nBytes, or 20 s passed.
bool WaitForBytes(const StatusRecorder& recorder, std::uint64_t nBytes)
{
    const auto deadline = std::chrono::steady_clock::now() + 20s;
    while (recorder.LastBytes() < nBytes) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(5ms);
    }
    return true;
}

TEST(DownloadJob, OneChunkFileReportsInOrder)
{
    const std::string body = RandomBytes(1000, 21);
    WriteServedFile("/job/1000.bin", body);
    const std::string path = TestPath("job-1000.bin");
    TestEventOwner owner;
    StatusRecorder recorder;
    CDownloadJob job(ServerUrl(TestServer::Http, "/job/1000.bin"), Widen(path));
    EXPECT_TRUE(job.Run(&owner, recorder.Function()));
    ExpectReports(recorder.Snapshot(), {
                                           {DownloadStatus::Downloading, 0, 0},
                                           {DownloadStatus::Downloading, 1000, 1000},
                                           {DownloadStatus::Downloading, 1000, 1000},
                                           {DownloadStatus::Ended, 1000, 1000},
                                           {DownloadStatus::Downloading, 0, 1000},
                                       });
    std::string stored;
    ASSERT_TRUE(ReadLocalFile(path, stored));
    EXPECT_TRUE(stored == body);
    EXPECT_EQ(RecordedRequests(TestServer::Http, "/job/1000.bin").size(), 1u) << "one request per file";
}

// Until the caller lets go of it, the downloaded file can be read but neither
// written nor deleted.
TEST(DownloadJob, HeldFileRefusesWritersAndDeletion)
{
    WriteServedFile("/job/held.bin", RandomBytes(5000, 27));
    const std::string path = TestPath("job-held.bin");
    TestEventOwner owner;
    CDownloadJob job(ServerUrl(TestServer::Http, "/job/held.bin"), Widen(path));
    ASSERT_TRUE(job.Run(&owner, DownloadStatusFunction()));
    FileHandle held = job.TakeDownloadedFile();
    ASSERT_TRUE(held);
    const auto openFor = [&path](DWORD nAccess, DWORD nShare) {
        return FileHandle(CreateFileA(path.c_str(), nAccess, nShare, nullptr, OPEN_EXISTING, 0, nullptr));
    };
    const DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    EXPECT_FALSE(openFor(GENERIC_WRITE, kShareAll));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    EXPECT_FALSE(DeleteFileA(path.c_str()));
    EXPECT_TRUE(openFor(GENERIC_READ, kShareAll));
    held.reset();
    EXPECT_TRUE(openFor(GENERIC_WRITE, kShareAll));
}

// A link left at the download's path is replaced, never written through.
TEST(DownloadJob, HardLinkAtThePathIsReplacedNotWrittenThrough)
{
    const std::string body = RandomBytes(3000, 28);
    WriteServedFile("/job/linked.bin", body);
    const std::string victim = TestPath("job-victim.txt");
    const std::string path = TestPath("job-linked.bin");
    DeleteFileA(path.c_str());
    {
        FileHandle file(CreateFileA(victim.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        DWORD nWritten = 0;
        ASSERT_TRUE(WriteFile(file.get(), "precious", 8, &nWritten, nullptr));
    }
    ASSERT_TRUE(CreateHardLinkA(path.c_str(), victim.c_str(), nullptr));
    TestEventOwner owner;
    CDownloadJob job(ServerUrl(TestServer::Http, "/job/linked.bin"), Widen(path));
    EXPECT_TRUE(job.Run(&owner, DownloadStatusFunction()));
    std::string stored;
    ASSERT_TRUE(ReadLocalFile(victim, stored));
    EXPECT_EQ(stored, "precious");
    ASSERT_TRUE(ReadLocalFile(path, stored));
    EXPECT_TRUE(stored == body);
}

// "abc" has a well-known SHA-256. A mismatch fails the job like a failed
// download and leaves no file behind.
TEST(DownloadJob, Sha256IsCheckedAfterTheTransfer)
{
    WriteServedFile("/job/abc.txt", "abc");
    const struct {
        const wchar_t* sha256;
        bool bResult;
    } cases[] = {
        {L"", true},
        {L"ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad", true},
        {L"BA7816BF8F01CFEA414140DE5DAE2223B00361A396177A9CB410FF61F20015AD", true},
        {L"ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ae", false},
        {L"ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015", false},
        {L"not a hash", false},
    };
    for (const auto& c : cases) {
        const std::string path = TestPath("job-abc.txt");
        TestEventOwner owner;
        StatusRecorder recorder;
        CDownloadJob job(ServerUrl(TestServer::Http, "/job/abc.txt"), Widen(path), c.sha256);
        EXPECT_EQ(job.Run(&owner, recorder.Function()), c.bResult) << c.sha256;
        EXPECT_EQ(LocalFileExists(path), c.bResult) << c.sha256;
        EXPECT_EQ(static_cast<bool>(job.TakeDownloadedFile()), c.bResult) << c.sha256;
        EXPECT_EQ(recorder.Snapshot().back().info.m_nExpectedSize, 3u) << c.sha256;
    }
}

TEST(DownloadJob, ReplacesAnExistingLongerFile)
{
    const std::string body = RandomBytes(25 * 4096, 22);
    WriteServedFile("/job/replace.bin", body);
    const std::string path = TestPath("job-replace.bin");
    {
        FileHandle old(
            CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        const std::string longer(body.size() * 2, 'x');
        DWORD nWritten = 0;
        ASSERT_TRUE(WriteFile(old.get(), longer.data(), static_cast<DWORD>(longer.size()), &nWritten, nullptr));
    }
    TestEventOwner owner;
    StatusRecorder recorder;
    CDownloadJob job(ServerUrl(TestServer::Http, "/job/replace.bin"), Widen(path));
    EXPECT_TRUE(job.Run(&owner, recorder.Function()));
    std::string stored;
    ASSERT_TRUE(ReadLocalFile(path, stored));
    EXPECT_TRUE(stored == body) << stored.size();
    for (const TimedStatus& report : recorder.Snapshot()) {
        if (report.info.m_nBytesReceived > 0) {
            EXPECT_EQ(report.info.m_nExpectedSize, body.size());
        }
    }
}

// Owners may hold raw handles as well as owning wrappers.
struct RawEventOwner {
    HANDLE m_hCancelEvent;
    HANDLE m_hProceedEvent;
};

TEST(DownloadJob, CancelledBeforeStartReportsOnceAndSendsNothing)
{
    WriteServedFile("/job/never.bin", "abc");
    const KernelHandle cancel(CreateEventW(nullptr, TRUE, TRUE, nullptr));
    const KernelHandle proceed(CreateEventW(nullptr, TRUE, TRUE, nullptr));
    RawEventOwner owner{cancel.get(), proceed.get()};
    StatusRecorder recorder;
    const std::string path = TestPath("job-never.bin");
    DeleteFileA(path.c_str());
    CDownloadJob job(ServerUrl(TestServer::Http, "/job/never.bin"), Widen(path));
    EXPECT_FALSE(job.Run(&owner, recorder.Function()));
    ExpectReports(recorder.Snapshot(), {{DownloadStatus::NotStarted, 0, 0}});
    EXPECT_TRUE(RecordedRequests(TestServer::Http, "/job/never.bin").empty());
    EXPECT_FALSE(LocalFileExists(path));
}

TEST(DownloadJob, WithoutOwnerDoesNothing)
{
    StatusRecorder recorder;
    CDownloadJob job(ServerUrl(TestServer::Http, "/job/ownerless.bin"), Widen(TestPath("ownerless.bin")));
    EXPECT_FALSE(job.Run(static_cast<TestEventOwner*>(nullptr), recorder.Function()));
    EXPECT_EQ(recorder.Count(), 0u);
    EXPECT_TRUE(RecordedRequests(TestServer::Http, "/job/ownerless.bin").empty());
}

TEST(DownloadJob, ExceptionFromTheReceiverEndsTheJobWithStatusFive)
{
    WriteServedFile("/job/throwing.bin", RandomBytes(3000, 26));
    TestEventOwner owner;
    std::vector<std::int32_t> statuses;
    CDownloadJob job(ServerUrl(TestServer::Http, "/job/throwing.bin"), Widen(TestPath("job-throwing.bin")));
    const bool bResult = job.Run(&owner, [&statuses](const DownloadStatusInfo& status) {
        statuses.push_back(status.m_nStatus);
        if (status.m_nBytesReceived > 0) {
            throw std::runtime_error("receiver failed");
        }
    });
    EXPECT_FALSE(bResult);
    EXPECT_EQ(statuses, (std::vector<std::int32_t>{DownloadStatus::Downloading, DownloadStatus::Downloading,
                                                   DownloadStatus::NotStarted}));
}

TEST(DownloadJob, UnknownSizeFailsWithoutCreatingTheFile)
{
    WriteServedFile("/job/empty.bin", "");
    const char* paths[] = {"/job/missing.bin", "/job/empty.bin", "/status/503"};
    for (const char* served : paths) {
        const std::string path = TestPath("job-unknown.bin");
        DeleteFileA(path.c_str());
        TestEventOwner owner;
        StatusRecorder recorder;
        CDownloadJob job(ServerUrl(TestServer::Http, served), Widen(path));
        EXPECT_FALSE(job.Run(&owner, recorder.Function())) << served;
        ExpectReports(recorder.Snapshot(), {{DownloadStatus::Downloading, 0, 0}, {DownloadStatus::Downloading, 0, 0}});
        EXPECT_FALSE(LocalFileExists(path)) << served;
    }
}

TEST(DownloadJob, TruncatedTransferFails)
{
    WriteServedFile("/cut/job.bin", RandomBytes(10000, 23));
    TestEventOwner owner;
    StatusRecorder recorder;
    CDownloadJob job(ServerUrl(TestServer::Http, "/cut/job.bin"), Widen(TestPath("job-cut.bin")));
    EXPECT_FALSE(job.Run(&owner, recorder.Function()));
    const auto reports = recorder.Snapshot();
    ASSERT_GE(reports.size(), 3u);
    const DownloadStatusInfo& ended = reports[reports.size() - 2].info;
    EXPECT_EQ(ended.m_nStatus, DownloadStatus::Ended);
    EXPECT_LT(ended.m_nBytesReceived, 10000u);
    EXPECT_EQ(ended.m_strErrorText, kDownloadFileFailed);
}

// 100 chunks of 1000 bytes, 100 ms apart: ten seconds if nothing stops it.
TEST(DownloadJob, CancelDuringTransferEndsWithinOneReadAndTheWait)
{
    const std::string body = RandomBytes(100000, 24);
    WriteServedFile("/trickle/slow.bin", body);
    TestEventOwner owner;
    StatusRecorder recorder;
    CDownloadJob job(ServerUrl(TestServer::Http, "/trickle/slow.bin"), Widen(TestPath("job-slow.bin")));
    auto result = std::async(std::launch::async, [&] { return job.Run(&owner, recorder.Function()); });
    ASSERT_TRUE(WaitForBytes(recorder, 3000));
    const auto cancelledAt = std::chrono::steady_clock::now();
    SetEvent(owner.m_hCancelEvent.get());
    ASSERT_EQ(result.wait_for(20s), std::future_status::ready);
    const auto elapsed = std::chrono::steady_clock::now() - cancelledAt;
    EXPECT_FALSE(result.get());
    // One 100 ms read plus the 500 ms wait, with room for a loaded machine.
    EXPECT_LT(elapsed, 2500ms);
    EXPECT_GE(elapsed, 500ms);

    const auto reports = recorder.Snapshot();
    ASSERT_GE(reports.size(), 2u);
    const DownloadStatusInfo& ended = reports[reports.size() - 2].info;
    EXPECT_EQ(ended.m_nStatus, DownloadStatus::Cancelled);
    EXPECT_LT(ended.m_nBytesReceived, body.size());
    EXPECT_EQ(reports.back().info.m_nStatus, DownloadStatus::Downloading);
    EXPECT_EQ(reports.back().info.m_nBytesReceived, 0u);
}

// 20000 bytes, then a server that holds the connection and sends nothing:
// the cancel ends the read waiting on it, not the 60-second time-out.
TEST(DownloadJob, CancelEndsAReadWaitingOnAStalledServer)
{
    WriteServedFile("/stall/job.bin", RandomBytes(100000, 26));
    TestEventOwner owner;
    StatusRecorder recorder;
    CDownloadJob job(ServerUrl(TestServer::Http, "/stall/job.bin"), Widen(TestPath("job-stalled.bin")));
    auto result = std::async(std::launch::async, [&] { return job.Run(&owner, recorder.Function()); });
    ASSERT_TRUE(WaitForBytes(recorder, 20000));
    SetEvent(owner.m_hCancelEvent.get());
    ASSERT_EQ(result.wait_for(20s), std::future_status::ready) << "the cancel did not end the waiting read";
    EXPECT_FALSE(result.get());

    const auto reports = recorder.Snapshot();
    ASSERT_GE(reports.size(), 2u);
    const DownloadStatusInfo& ended = reports[reports.size() - 2].info;
    EXPECT_EQ(ended.m_nStatus, DownloadStatus::Cancelled);
    EXPECT_EQ(ended.m_nBytesReceived, 20000u);
}

// 512-byte chunks 20 ms apart; the pause stays in place for a second.
TEST(DownloadJob, PauseHoldsReadsAndResumesWhereItStopped)
{
    const std::string body = RandomBytes(40 * 512, 25);
    WriteServedFile("/trickle/pause.bin", body);
    const std::string path = TestPath("job-pause.bin");
    TestEventOwner owner;
    StatusRecorder recorder;
    CDownloadJob job(ServerUrl(TestServer::Http, "/trickle/pause.bin"), Widen(path));
    auto result = std::async(std::launch::async, [&] { return job.Run(&owner, recorder.Function()); });
    ASSERT_TRUE(WaitForBytes(recorder, 2048));
    ResetEvent(owner.m_hProceedEvent.get());
    std::this_thread::sleep_for(500ms);  // a read already under way may finish
    const std::size_t nHeldCount = recorder.Count();
    const std::uint64_t nHeldBytes = recorder.LastBytes();
    std::this_thread::sleep_for(1000ms);
    EXPECT_EQ(recorder.Count(), nHeldCount) << "reports arrived while paused";
    EXPECT_EQ(recorder.LastBytes(), nHeldBytes);
    EXPECT_LT(nHeldBytes, body.size());
    SetEvent(owner.m_hProceedEvent.get());

    ASSERT_EQ(result.wait_for(20s), std::future_status::ready);
    EXPECT_TRUE(result.get());
    const auto reports = recorder.Snapshot();
    ASSERT_GT(reports.size(), nHeldCount + 2);
    EXPECT_GT(reports[nHeldCount].info.m_nBytesReceived, nHeldBytes);
    EXPECT_EQ(reports[reports.size() - 2].info.m_nStatus, DownloadStatus::Ended);
    EXPECT_EQ(reports[reports.size() - 2].info.m_nBytesReceived, body.size());
    std::string stored;
    ASSERT_TRUE(ReadLocalFile(path, stored));
    EXPECT_TRUE(stored == body);
}

// A job run to its end on its own thread; how the requests for one path went.
struct JobRun {
    bool bResult = false;
    bool bReused = false;
    std::vector<std::string> requests;
    std::vector<TimedStatus> reports;
};

JobRun RunJob(const std::string& served, const std::string& local, const std::wstring& sha256, int nAttempts)
{
    JobRun run;
    const std::size_t nBefore = RecordedRequests(TestServer::Http, served).size();
    TestEventOwner owner;
    StatusRecorder recorder;
    CDownloadJob job(ServerUrl(TestServer::Http, served), Widen(TestPath(local)), sha256, nAttempts);
    run.bResult = job.Run(&owner, recorder.Function());
    run.bReused = job.Reused();
    const auto all = RecordedRequests(TestServer::Http, served);
    run.requests.assign(all.begin() + static_cast<std::ptrdiff_t>(nBefore), all.end());
    run.reports = recorder.Snapshot();
    return run;
}

bool AsksForRange(const std::string& request, std::size_t nFrom)
{
    return request.find("[\"Range\", \"bytes=" + std::to_string(nFrom) + "-\"]") != std::string::npos &&
           request.find("\"If-Range\"") != std::string::npos;
}

// No file or record of an earlier test run at the local path.
void Forget(const std::string& local)
{
    DeleteFileA(TestPath(local).c_str());
    DeleteFileA(TestPath(local + ".resume").c_str());
}

std::string StoredFile(const std::string& local)
{
    std::string bytes;
    ReadLocalFile(TestPath(local), bytes);
    return bytes;
}

// One dropped connection: with a SHA-256 the next attempt asks only for the
// rest and the bar never goes back; without one it starts over.
TEST(DownloadJob, ADroppedConnectionIsTriedAgain)
{
    const std::string body = RandomBytes(20000, 40);
    for (const char* path : {"/retry/dropped.bin", "/retry/restarted.bin"}) {
        WriteServedFile(path, body);
    }
    Forget("job-dropped.bin");
    Forget("job-restarted.bin");
    const JobRun resumed = RunJob("/retry/dropped.bin", "job-dropped.bin", Sha256Hex(body), 2);
    EXPECT_TRUE(resumed.bResult);
    EXPECT_TRUE(StoredFile("job-dropped.bin") == body);
    ASSERT_EQ(resumed.requests.size(), 2u);
    EXPECT_TRUE(AsksForRange(resumed.requests[1], 3000)) << resumed.requests[1];
    EXPECT_FALSE(LocalFileExists(TestPath("job-dropped.bin.resume")));
    std::uint64_t nHighest = 0;
    for (const TimedStatus& report : resumed.reports) {
        if (report.info.m_nBytesReceived > 0) {
            EXPECT_GE(report.info.m_nBytesReceived, nHighest);
            nHighest = report.info.m_nBytesReceived;
        }
    }

    const JobRun restarted = RunJob("/retry/restarted.bin", "job-restarted.bin", L"", 2);
    EXPECT_TRUE(restarted.bResult);
    ASSERT_EQ(restarted.requests.size(), 2u);
    EXPECT_EQ(restarted.requests[1].find("\"Range\""), std::string::npos);
    EXPECT_TRUE(StoredFile("job-restarted.bin") == body);
}

// A record that does not describe its part is no record: the whole file is
// fetched again, and the result is the file the SHA-256 names.
TEST(DownloadJob, ARecordThatDoesNotFitItsPartIsDiscarded)
{
    const std::string body = RandomBytes(30000, 42);
    WriteServedFile("/resume/job.bin", body);
    const std::string sha = std::string(64, 'a');
    const std::string cases[] = {
        "KorvexPart 1\nsha256 " + sha + "\nvalidator \"x\"\nreceived 4000\ntotal 30000\n",  // another file's
        "KorvexPart 1\nsha256 SHA\nvalidator \"x\"\nreceived 3999\ntotal 30000\n",          // not the part's length
    };
    const std::wstring wideSha = Sha256Hex(body);
    for (std::string record : cases) {
        if (const std::size_t at = record.find("SHA"); at != std::string::npos) {
            record.replace(at, 3, std::string(wideSha.begin(), wideSha.end()));
        }
        std::ofstream(TestPath("job-record.bin"), std::ios::binary | std::ios::trunc) << body.substr(0, 4000);
        std::ofstream(TestPath("job-record.bin.resume"), std::ios::binary | std::ios::trunc) << record;
        const JobRun run = RunJob("/resume/job.bin", "job-record.bin", wideSha, 1);
        EXPECT_TRUE(run.bResult) << record;
        ASSERT_EQ(run.requests.size(), 1u) << record;
        EXPECT_EQ(run.requests[0].find("\"Range\""), std::string::npos) << record;
        EXPECT_TRUE(StoredFile("job-record.bin") == body) << record;
    }
}

// A complete earlier file that matches is used as it is; one that does not
// is replaced.
TEST(DownloadJob, AVerifiedCompleteFileIsReused)
{
    const std::string body = RandomBytes(12000, 43);
    WriteServedFile("/job/reused.bin", body);
    std::ofstream(TestPath("job-reused.bin"), std::ios::binary | std::ios::trunc) << body;
    const JobRun reused = RunJob("/job/reused.bin", "job-reused.bin", Sha256Hex(body), 3);
    EXPECT_TRUE(reused.bResult);
    EXPECT_TRUE(reused.bReused);
    EXPECT_TRUE(reused.requests.empty());
    ASSERT_GE(reused.reports.size(), 2u);
    EXPECT_EQ(reused.reports[1].info.m_nBytesReceived, body.size());
    EXPECT_EQ(reused.reports[1].info.m_nExpectedSize, body.size());

    std::ofstream(TestPath("job-reused.bin"), std::ios::binary | std::ios::trunc) << body.substr(1) << 'x';
    const JobRun replaced = RunJob("/job/reused.bin", "job-reused.bin", Sha256Hex(body), 3);
    EXPECT_TRUE(replaced.bResult);
    EXPECT_FALSE(replaced.bReused);
    EXPECT_EQ(replaced.requests.size(), 1u);
    EXPECT_TRUE(StoredFile("job-reused.bin") == body);
}

// Passing trouble is tried again; an answer that will not change is not.
TEST(DownloadJob, OnlyPassingFailuresAreTriedAgain)
{
    WriteServedFile("/retry/busy.bin", "abc");
    WriteServedFile("/job/hashed.bin", "abc");
    const struct {
        const char* path;
        const wchar_t* sha256;
        bool bResult;
        std::size_t nRequests;
    } cases[] = {
        {"/retry/busy.bin", L"", true, 3},
        {"/job/not-there.bin", L"", false, 1},
        {"/status/403", L"", false, 1},
        {"/job/hashed.bin", L"ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ae", false, 1},
    };
    for (const auto& c : cases) {
        const JobRun run = RunJob(c.path, "job-passing.bin", c.sha256, 3);
        EXPECT_EQ(run.bResult, c.bResult) << c.path;
        EXPECT_EQ(run.requests.size(), c.nRequests) << c.path;
    }
}

// A wait before the next attempt ends at once on a cancel, and holds still
// while the cancel question is open.
TEST(DownloadJob, RetryWaitsEndOnCancelAndHoldWhilePaused)
{
    WriteServedFile("/retry/waiting.bin", "abc");
    WriteServedFile("/retry/held.bin", "abc");
    const auto requestsOf = [](const char* path) { return RecordedRequests(TestServer::Http, path).size(); };
    {
        const std::size_t nBefore = requestsOf("/retry/waiting.bin");
        TestEventOwner owner;
        CDownloadJob job(ServerUrl(TestServer::Http, "/retry/waiting.bin"), Widen(TestPath("job-waiting.bin")), L"", 2);
        auto result = std::async(std::launch::async, [&] { return job.Run(&owner, DownloadStatusFunction()); });
        const auto deadline = std::chrono::steady_clock::now() + 20s;
        while (requestsOf("/retry/waiting.bin") == nBefore && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(10ms);
        }
        std::this_thread::sleep_for(300ms);
        SetEvent(owner.m_hCancelEvent.get());
        ASSERT_EQ(result.wait_for(5s), std::future_status::ready) << "the 30 s wait did not end on the cancel";
        EXPECT_FALSE(result.get());
        EXPECT_EQ(requestsOf("/retry/waiting.bin"), nBefore + 1);
    }
    const std::size_t nBefore = requestsOf("/retry/held.bin");
    TestEventOwner owner;
    ResetEvent(owner.m_hProceedEvent.get());
    CDownloadJob job(ServerUrl(TestServer::Http, "/retry/held.bin"), Widen(TestPath("job-held-wait.bin")), L"", 2);
    auto result = std::async(std::launch::async, [&] { return job.Run(&owner, DownloadStatusFunction()); });
    std::this_thread::sleep_for(3s);
    EXPECT_EQ(requestsOf("/retry/held.bin"), nBefore + 1) << "the 1 s wait went on while held";
    SetEvent(owner.m_hProceedEvent.get());
    ASSERT_EQ(result.wait_for(20s), std::future_status::ready);
    EXPECT_TRUE(result.get());
    EXPECT_EQ(requestsOf("/retry/held.bin"), nBefore + 2);
}

}  // namespace
