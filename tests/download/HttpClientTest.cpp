#include <gtest/gtest.h>
#include <windows.h>
#include <wincrypt.h>

#include <chrono>
#include <fstream>
#include <thread>

#include "DownloadTestSupport.h"
#include "download/CancelRequest.h"
#include "download/HttpClient.h"

using namespace korvex::download;

namespace {

constexpr std::size_t kTruncatedSize = 10000;
constexpr std::size_t kTruncatedAfter = 3000;

// Opens the session for every test, gives the plain server its rules and
// trusts the test CA, in this test Wine prefix only, while the tests run.
class DownloadEnvironment final : public ::testing::Environment {
public:
    void SetUp() override
    {
        ASSERT_TRUE(OpenInternetSession());
        WriteServerRules({
            "/status/302=redirect=/status/target.bin",
            "/status/403=status=403",
            "/status/405=status=405",
            "/status/407=status=407",
            "/status/500=status=500",
            "/status/503=status=503,retry-after=7",
            "/length/none=no-length",
            "/length/negative=length=-5",
            "/length/text=length=abc",
            "/length/huge=length=2147483648",
            "/length/enormous=length=99999999999999999999999",
            "/chunked/*=chunked",
            "/endless/chunked.xml=chunked,endless=4096",
            "/resume/*=etag",
            "/trickle/deadline.xml=trickle=1:500",
            "/retry/dropped.bin=close-after=3000,times=1,etag",
            "/retry/restarted.bin=close-after=3000,times=1,etag",
            "/retry/busy.bin=status=503,retry-after=0,times=2",
            "/retry/waiting.bin=status=503,retry-after=30",
            "/retry/held.bin=status=503,retry-after=1,times=1",
            "/cut/*=close-after=" + std::to_string(kTruncatedAfter),
            "/trickle/slow.bin=trickle=1000:100",
            "/trickle/pause.bin=trickle=512:20",
            "/stream/error.xml=status=500",
            "/endless/*=endless=4096",
            "/stall/*=stall-after=20000",
        });
        TrustTestCa();
    }

    void TearDown() override
    {
        UntrustTestCa();
        CloseInternetSession();
    }

private:
    // The root store keeps an added certificate only once it is closed.
    static HCERTSTORE OpenRootStore()
    {
        return CertOpenStore(CERT_STORE_PROV_SYSTEM_W, 0, 0, CERT_SYSTEM_STORE_LOCAL_MACHINE, L"ROOT");
    }

    void TrustTestCa()
    {
        ASSERT_TRUE(ReadLocalFile(std::string(DOWNLOAD_TEST_DIR) + "\\certs\\ca.der", m_caDer));
        const HCERTSTORE store = OpenRootStore();
        ASSERT_NE(store, nullptr);
        EXPECT_TRUE(CertAddEncodedCertificateToStore(
            store, X509_ASN_ENCODING, reinterpret_cast<const BYTE*>(m_caDer.data()), static_cast<DWORD>(m_caDer.size()),
            CERT_STORE_ADD_REPLACE_EXISTING, nullptr));
        CertCloseStore(store, 0);
    }

    void UntrustTestCa()
    {
        const PCCERT_CONTEXT ca = CertCreateCertificateContext(
            X509_ASN_ENCODING, reinterpret_cast<const BYTE*>(m_caDer.data()), static_cast<DWORD>(m_caDer.size()));
        const HCERTSTORE store = OpenRootStore();
        if (ca != nullptr && store != nullptr) {
            if (const PCCERT_CONTEXT added =
                    CertFindCertificateInStore(store, X509_ASN_ENCODING, 0, CERT_FIND_EXISTING, ca, nullptr)) {
                CertDeleteCertificateFromStore(added);
            }
        }
        if (store != nullptr) {
            CertCloseStore(store, 0);
        }
        if (ca != nullptr) {
            CertFreeCertificateContext(ca);
        }
    }

    std::string m_caDer;
};

[[maybe_unused]] ::testing::Environment* const g_environment =
    ::testing::AddGlobalTestEnvironment(new DownloadEnvironment);

struct FileDownload {
    bool bResult = false;
    AttemptOutcome outcome;
    FilePart answer;
    std::string bytes;
    std::vector<TimedStatus> reports;
};

// Opens its file when asked (kept, so a part can be continued), and
// remembers the answer it was given.
struct TestTarget final : IDownloadTarget {
    explicit TestTarget(std::string strPath, bool bKeep = false) : path(std::move(strPath))
    {
        if (!bKeep) {
            DeleteFileA(path.c_str());
        }
    }
    HANDLE OpenTargetFile(const FilePart& offered) override
    {
        answer = offered;
        file.reset(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (offered.m_nOffset == 0) {
            SetEndOfFile(file.get());
        }
        return file.get();
    }
    std::string path;
    FileHandle file;
    FilePart answer;
};

FileDownload DownloadFile(const std::wstring& url, const std::string& localName,
                          const ICancelRequest& cancel = CancelRequest(), const FilePart& resume = FilePart())
{
    FileDownload download;
    StatusRecorder recorder;
    TestTarget target(TestPath(localName), resume.m_nOffset > 0);
    download.outcome = DownloadToFile(cancel, url, resume, target, recorder);
    download.bResult = download.outcome.Succeeded();
    download.answer = target.answer;
    target.file.reset();
    ReadLocalFile(target.path, download.bytes);
    download.reports = recorder.Snapshot();
    return download;
}

struct StreamDownload {
    AttemptOutcome outcome;
    std::string bytes;
};

struct StringSink final : IByteSink {
    bool Write(const char* data, std::size_t nSize) override
    {
        bytes.append(data, nSize);
        return true;
    }
    std::string bytes;
};

bool HasHeader(const std::string& record, const std::string& name, const std::string& value)
{
    return record.find("[\"" + name + "\", \"" + value + "\"]") != std::string::npos;
}

StreamDownload Stream(const std::string& path, std::uint64_t nCap = 1 << 20, std::uint64_t nDeadlineTick = 0,
                      const ICancelRequest& cancel = CancelRequest())
{
    StreamDownload download;
    StringSink out;
    download.outcome =
        DownloadToStream(cancel, ServerUrl(TestServer::Http, path), out, StreamLimits{nCap, nDeadlineTick, false});
    download.bytes = out.bytes;
    return download;
}

TEST(DownloadToFile, StoresBodiesOfEverySizeWhole)
{
    const std::size_t sizes[] = {25 * 4096, 40960, 1, 5 * 1024 * 1024};
    for (const std::size_t nSize : sizes) {
        const std::string name = "/sizes/" + std::to_string(nSize) + ".bin";
        const std::string body = RandomBytes(nSize, static_cast<unsigned>(nSize));
        WriteServedFile(name, body);
        const FileDownload download = DownloadFile(ServerUrl(TestServer::Http, name), "size.bin");
        EXPECT_TRUE(download.bResult) << nSize;
        EXPECT_TRUE(download.bytes == body) << nSize << " bytes came back as " << download.bytes.size();
        ASSERT_FALSE(download.reports.empty());
        const DownloadStatusInfo& last = download.reports.back().info;
        EXPECT_EQ(last.m_nStatus, DownloadStatus::Ended);
        EXPECT_EQ(last.m_nBytesReceived, nSize);
        EXPECT_EQ(last.m_nExpectedSize, nSize);
        EXPECT_EQ(last.m_nErrorCode, 0u);
        EXPECT_EQ(last.m_strErrorText, L"");
        EXPECT_EQ(RecordedRequests(TestServer::Http, name).size(), 1u) << "one request per file";
        std::uint64_t nPrevious = 0;
        for (std::size_t i = 0; i + 1 < download.reports.size(); ++i) {
            const DownloadStatusInfo& report = download.reports[i].info;
            EXPECT_EQ(report.m_nStatus, DownloadStatus::Downloading);
            EXPECT_GE(report.m_nBytesReceived, nPrevious);
            EXPECT_LE(report.m_nBytesReceived - nPrevious, 4096u) << "reads are at most 4096 bytes";
            nPrevious = report.m_nBytesReceived;
        }
    }
}

TEST(DownloadToFile, ShortBodyIsAFailureAndKeepsWhatArrived)
{
    const std::string body = RandomBytes(kTruncatedSize, 7);
    WriteServedFile("/cut/file.bin", body);
    const FileDownload download = DownloadFile(ServerUrl(TestServer::Http, "/cut/file.bin"), "cut.bin");
    EXPECT_EQ(download.outcome.m_cause, AttemptCause::CutShort);
    EXPECT_TRUE(download.bytes == body.substr(0, kTruncatedAfter)) << download.bytes.size();
    ASSERT_FALSE(download.reports.empty());
    const DownloadStatusInfo& last = download.reports.back().info;
    EXPECT_EQ(last.m_nStatus, DownloadStatus::Ended);
    EXPECT_EQ(last.m_nBytesReceived, kTruncatedAfter);
    EXPECT_EQ(last.m_nExpectedSize, kTruncatedSize);
    EXPECT_EQ(last.m_strErrorText, kDownloadFileFailed);
}

// Only a 2xx answer with a usable length carries a file: an error page, a
// proxy's demand, a chunked body or a lying length reads no byte, asks for no
// file and makes no report; the outcome says why, with the status.
TEST(DownloadToFile, RefusedAnswersAskForNoFile)
{
    WriteServedFile("/sizes/empty.bin", "");
    WriteServedFile("/status/target.bin", RandomBytes(2345, 2));
    for (const char* path : {"/status/403", "/status/405", "/status/407", "/status/500", "/status/503", "/length/none",
                             "/length/text", "/length/huge", "/length/enormous", "/chunked/file.bin"}) {
        WriteServedFile(path, RandomBytes(777, 3));
    }
    const struct {
        const char* path;
        AttemptCause cause;
        std::uint32_t nStatus;
    } cases[] = {
        {"/status/403", AttemptCause::RefusedStatus, 403},
        {"/status/not-served.bin", AttemptCause::RefusedStatus, 404},
        {"/status/405", AttemptCause::RefusedStatus, 405},
        {"/status/407", AttemptCause::RefusedStatus, 407},
        {"/status/500", AttemptCause::RefusedStatus, 500},
        {"/status/503", AttemptCause::RefusedStatus, 503},
        {"/length/none", AttemptCause::LengthUnusable, 200},
        {"/length/text", AttemptCause::LengthUnusable, 200},
        {"/length/huge", AttemptCause::LengthUnusable, 200},
        {"/length/enormous", AttemptCause::LengthUnusable, 200},
        {"/chunked/file.bin", AttemptCause::LengthUnusable, 200},
        {"/sizes/empty.bin", AttemptCause::LengthUnusable, 200},
    };
    for (const auto& c : cases) {
        StatusRecorder recorder;
        TestTarget target(TestPath("refused.bin"));
        const AttemptOutcome outcome =
            DownloadToFile(CancelRequest(), ServerUrl(TestServer::Http, c.path), FilePart(), target, recorder);
        EXPECT_EQ(outcome.m_cause, c.cause) << c.path;
        EXPECT_EQ(outcome.m_nHttpStatus, c.nStatus) << c.path;
        EXPECT_EQ(recorder.Count(), 0u) << c.path;
        EXPECT_FALSE(target.file) << c.path;
        EXPECT_FALSE(LocalFileExists(target.path)) << c.path;
    }
    EXPECT_EQ(DownloadFile(ServerUrl(TestServer::Http, "/status/503"), "busy.bin").outcome.m_nRetryAfterSeconds, 7);
    const FileDownload redirected = DownloadFile(ServerUrl(TestServer::Http, "/status/302"), "redirected.bin");
    EXPECT_TRUE(redirected.bResult);
    EXPECT_EQ(redirected.bytes.size(), 2345u);
}

// A part is continued only by the rest of the same file: a 206 appended, a
// stale validator's 200 starting over, a total that differs refused.
TEST(DownloadToFile, ContinuesAPartWithRangeAndIfRange)
{
    const std::string body = RandomBytes(50000, 31);
    WriteServedFile("/resume/file.bin", body);
    const FileDownload whole = DownloadFile(ServerUrl(TestServer::Http, "/resume/file.bin"), "resume-whole.bin");
    ASSERT_TRUE(whole.bResult);
    const std::string etag = whole.answer.m_strValidator;
    ASSERT_EQ(etag.front(), '"');

    const std::string path = TestPath("resume-part.bin");
    std::ofstream(path, std::ios::binary | std::ios::trunc) << body.substr(0, 20000);
    const FileDownload rest = DownloadFile(ServerUrl(TestServer::Http, "/resume/file.bin"), "resume-part.bin",
                                           CancelRequest(), FilePart{20000, body.size(), etag});
    EXPECT_TRUE(rest.bResult);
    EXPECT_EQ(rest.answer.m_nOffset, 20000u);
    EXPECT_TRUE(rest.bytes == body);
    EXPECT_EQ(rest.reports.back().info.m_nBytesReceived, body.size());
    const auto records = RecordedRequests(TestServer::Http, "/resume/file.bin");
    EXPECT_TRUE(HasHeader(records.back(), "Range", "bytes=20000-")) << records.back();
    EXPECT_NE(records.back().find("If-Range"), std::string::npos) << records.back();

    const FileDownload stale = DownloadFile(ServerUrl(TestServer::Http, "/resume/file.bin"), "resume-part.bin",
                                            CancelRequest(), FilePart{20000, body.size(), "\"other\""});
    EXPECT_TRUE(stale.bResult);
    EXPECT_EQ(stale.answer.m_nOffset, 0u);
    EXPECT_TRUE(stale.bytes == body);

    const FileDownload otherSize = DownloadFile(ServerUrl(TestServer::Http, "/resume/file.bin"), "resume-part.bin",
                                                CancelRequest(), FilePart{20000, body.size() + 1, etag});
    EXPECT_EQ(otherSize.outcome.m_cause, AttemptCause::RangeMismatch);
    // A part longer than the server's file now: its 416 says the part does not fit.
    const FileDownload beyond = DownloadFile(ServerUrl(TestServer::Http, "/resume/file.bin"), "resume-part.bin",
                                             CancelRequest(), FilePart{body.size() + 5, body.size() + 9, etag});
    EXPECT_EQ(beyond.outcome.m_cause, AttemptCause::RangeMismatch);
    EXPECT_EQ(beyond.outcome.m_nHttpStatus, 416u);
}

TEST(DownloadToFile, TargetThatCannotOpenFailsBeforeReading)
{
    WriteServedFile("/sizes/no-target.bin", RandomBytes(3000, 4));
    struct : IDownloadTarget {
        HANDLE OpenTargetFile(const FilePart&) override { return INVALID_HANDLE_VALUE; }
    } target;
    StatusRecorder recorder;
    EXPECT_EQ(DownloadToFile(CancelRequest(), ServerUrl(TestServer::Http, "/sizes/no-target.bin"), FilePart(), target,
                             recorder)
                  .m_cause,
              AttemptCause::LocalFile);
    EXPECT_EQ(recorder.Count(), 1u);
}

TEST(DownloadToFile, SetUpFailuresEndWithOneReport)
{
    const struct {
        std::wstring url;
        const wchar_t* text;
        bool bHasErrorCode;
        AttemptCause cause;
    } cases[] = {
        {L"http://127.0.0.1:" + std::to_wstring(ClosedPort()) + L"/a.bin", kHttpSendRequestFailed, true,
         AttemptCause::NoConnection},
        {L"nonsense", L"", false, AttemptCause::UrlRejected},
    };
    for (const auto& c : cases) {
        const FileDownload download = DownloadFile(c.url, "failed.bin");
        EXPECT_EQ(download.outcome.m_cause, c.cause);
        ASSERT_EQ(download.reports.size(), 1u);
        EXPECT_EQ(download.reports[0].info.m_nStatus, DownloadStatus::Ended);
        EXPECT_EQ(download.reports[0].info.m_strErrorText, c.text);
        EXPECT_EQ(download.reports[0].info.m_nErrorCode != 0, c.bHasErrorCode);
        EXPECT_TRUE(download.bytes.empty());
    }
}

TEST(DownloadToFile, FailedWriteIsAFailure)
{
    WriteServedFile("/sizes/unwritable.bin", RandomBytes(5000, 9));
    struct ReadOnlyTarget final : IDownloadTarget {
        HANDLE OpenTargetFile(const FilePart&) override
        {
            const std::string path = TestPath("read-only.bin");
            FileHandle(
                CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
            file.reset(
                CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
            return file.get();
        }
        FileHandle file;
    } target;
    StatusRecorder recorder;
    EXPECT_EQ(DownloadToFile(CancelRequest(), ServerUrl(TestServer::Http, "/sizes/unwritable.bin"), FilePart(), target,
                             recorder)
                  .m_cause,
              AttemptCause::LocalFile);
    ASSERT_TRUE(target.file);
    const auto reports = recorder.Snapshot();
    ASSERT_FALSE(reports.empty());
    EXPECT_EQ(reports.back().info.m_nStatus, DownloadStatus::Ended);
    EXPECT_EQ(reports.back().info.m_strErrorText, kDownloadFileFailed);
    EXPECT_NE(reports.back().info.m_nErrorCode, 0u);
}

TEST(DownloadToFile, RequestAcceptsAnything)
{
    WriteServedFile("/headers/file.bin", "xyz");
    ASSERT_TRUE(DownloadFile(ServerUrl(TestServer::Http, "/headers/file.bin"), "headers.bin").bResult);
    const auto records = RecordedRequests(TestServer::Http, "/headers/file.bin");
    ASSERT_FALSE(records.empty());
    EXPECT_TRUE(HasHeader(records.back(), "Accept", "*/*")) << records.back();
    EXPECT_TRUE(HasHeader(records.back(), "User-Agent", "Fenwyx Web Installer Client")) << records.back();
}

TEST(DownloadToFile, ParallelDownloadsKeepTheirOwnBytes)
{
    constexpr int kCount = 3;
    std::string bodies[kCount];
    FileDownload downloads[kCount];
    std::vector<std::thread> threads;
    for (int i = 0; i < kCount; ++i) {
        bodies[i] = RandomBytes(1024 * 1024 + 333 * i, 100 + i);
        WriteServedFile("/parallel/" + std::to_string(i), bodies[i]);
    }
    for (int i = 0; i < kCount; ++i) {
        threads.emplace_back([&, i] {
            downloads[i] = DownloadFile(ServerUrl(TestServer::Http, "/parallel/" + std::to_string(i)),
                                        "parallel" + std::to_string(i) + ".bin");
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    for (int i = 0; i < kCount; ++i) {
        EXPECT_TRUE(downloads[i].bResult) << i;
        EXPECT_TRUE(downloads[i].bytes == bodies[i]) << i;
    }
}

TEST(DownloadToStream, WritesAnErrorPageAndReportsItsStatus)
{
    const std::string page = "<html><body>Internal trouble</body></html>";
    WriteServedFile("/stream/error.xml", page);
    const StreamDownload download = Stream("/stream/error.xml");
    EXPECT_TRUE(download.outcome.Succeeded());
    EXPECT_EQ(download.bytes, page);
    EXPECT_EQ(download.outcome.m_nHttpStatus, 500u);
    StringSink refused;
    EXPECT_EQ(DownloadToStream(CancelRequest(), ServerUrl(TestServer::Http, "/stream/error.xml"), refused,
                               StreamLimits{1 << 20, 0, true})
                  .m_cause,
              AttemptCause::RefusedStatus);
    EXPECT_TRUE(refused.bytes.empty());
}

TEST(DownloadToStream, SendsTheHeaderLineAndAcceptTypes)
{
    const std::string body = RandomBytes(50000, 11);
    WriteServedFile("/stream/manifest.xml", body);
    EXPECT_TRUE(Stream("/stream/manifest.xml").bytes == body);
    const auto records = RecordedRequests(TestServer::Http, "/stream/manifest.xml");
    ASSERT_EQ(records.size(), 1u);
    EXPECT_NE(records[0].find("\"method\": \"GET\""), std::string::npos) << records[0];
    EXPECT_TRUE(HasHeader(records[0], "Content-Type", "application/json")) << records[0];
    EXPECT_TRUE(HasHeader(records[0], "Accept", "application/xml, */*")) << records[0];
    EXPECT_TRUE(HasHeader(records[0], "User-Agent", "Fenwyx Web Installer Client")) << records[0];
}

// Each way a stream ends without its whole body, and the cause it gives.
TEST(DownloadToStream, FailsUnlessTheWholeBodyArrives)
{
    WriteServedFile("/cut/stream.bin", RandomBytes(kTruncatedSize, 12));
    WriteServedFile("/stream/limited.bin", RandomBytes(100000, 14));
    WriteServedFile("/length/huge", RandomBytes(777, 3));
    WriteServedFile("/chunked/stream.xml", RandomBytes(5000, 16));
    const struct {
        const char* path;
        std::uint64_t nCap;
        AttemptCause cause;
        std::size_t nKept;
    } cases[] = {
        {"/cut/stream.bin", 1 << 20, AttemptCause::CutShort, kTruncatedAfter},
        {"/stream/limited.bin", 100000, AttemptCause::None, 100000},
        {"/stream/limited.bin", 99999, AttemptCause::TooLong, 0},
        {"/length/huge", 1 << 20, AttemptCause::LengthUnusable, 0},
        {"/chunked/stream.xml", 1 << 20, AttemptCause::None, 5000},
        {"/chunked/stream.xml", 4999, AttemptCause::TooLong, 0},
    };
    for (const auto& c : cases) {
        const StreamDownload download = Stream(c.path, c.nCap);
        EXPECT_EQ(download.outcome.m_cause, c.cause) << c.path << " " << c.nCap;
        if (c.cause != AttemptCause::TooLong) {
            EXPECT_EQ(download.bytes.size(), c.nKept) << c.path;
        }
        EXPECT_LE(download.bytes.size(), c.nCap) << c.path;
    }
    EXPECT_EQ(Stream("/x", 1 << 20, 0, CancelRequest()).outcome.m_nHttpStatus, 404u);
    WriteServedFile("/stream/cancelled.bin", "abc");
    const KernelHandle cancelEvent(CreateEventW(nullptr, TRUE, TRUE, nullptr));
    const StreamDownload cancelled =
        Stream("/stream/cancelled.bin", 1 << 20, 0, CancelRequest(cancelEvent.get(), nullptr));
    EXPECT_EQ(cancelled.outcome.m_cause, AttemptCause::Cancelled);
    EXPECT_TRUE(cancelled.bytes.empty());
    StringSink unreachable;
    EXPECT_EQ(DownloadToStream(CancelRequest(), L"http://127.0.0.1:" + std::to_wstring(ClosedPort()) + L"/x",
                               unreachable, StreamLimits{1 << 20})
                  .m_cause,
              AttemptCause::NoConnection);
}

// Bodies that never end, with and without the chunked coding, end at the cap
// and let go of their request at once (Wine would read them for ever); a
// body that trickles ends at the deadline.
TEST(DownloadToStream, EndlessAndTricklingBodiesEndAtTheirLimits)
{
    WriteServedFile("/endless/manifest.xml", RandomBytes(1000, 15));
    WriteServedFile("/endless/chunked.xml", RandomBytes(1000, 17));
    for (const char* path : {"/endless/manifest.xml", "/endless/chunked.xml"}) {
        const auto started = std::chrono::steady_clock::now();
        const StreamDownload download = Stream(path, 300000);
        EXPECT_EQ(download.outcome.m_cause, AttemptCause::TooLong) << path;
        EXPECT_LE(download.bytes.size(), 300000u) << path;
        EXPECT_GT(download.bytes.size(), 250000u) << path;
        EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(20)) << path;
    }
    WriteServedFile("/trickle/deadline.xml", RandomBytes(1000, 18));
    const auto started = std::chrono::steady_clock::now();
    const StreamDownload trickled = Stream("/trickle/deadline.xml", 1 << 20, GetTickCount64() + 2000);
    EXPECT_EQ(trickled.outcome.m_cause, AttemptCause::TimedOut);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(10));
    EXPECT_LT(trickled.bytes.size(), 1000u);
}

TEST(Https, IgnoresWrongNamesAndExpiredDatesButNotUnknownIssuers)
{
    const std::string body = RandomBytes(100000, 13);
    WriteServedFile("/tls/file.bin", body);
    for (const TestServer server : {TestServer::WrongName, TestServer::Expired}) {
        const std::wstring url = ServerUrl(server, "/tls/file.bin");
        const FileDownload download = DownloadFile(url, "tls.bin");
        EXPECT_TRUE(download.bResult) << static_cast<int>(server);
        EXPECT_TRUE(download.bytes == body) << static_cast<int>(server);
        StringSink out;
        EXPECT_TRUE(DownloadToStream(CancelRequest(), url, out, StreamLimits{1 << 20}).Succeeded())
            << static_cast<int>(server);
        EXPECT_TRUE(out.bytes == body) << static_cast<int>(server);
    }
    EXPECT_EQ(DownloadFile(ServerUrl(TestServer::Untrusted, "/tls/file.bin"), "tls.bin").outcome.m_cause,
              AttemptCause::CertificateRefused);
}

}  // namespace
