#include <gtest/gtest.h>
#include <windows.h>
#include <wincrypt.h>

#include <thread>

#include "DownloadTestSupport.h"
#include "download/CancelRequest.h"
#include "download/HttpClient.h"

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
            "/status/500=status=500",
            "/status/503=status=503",
            "/length/none=no-length",
            "/length/negative=length=-5",
            "/length/text=length=abc",
            "/length/huge=length=2147483648",
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
    std::string bytes;
    std::vector<TimedStatus> reports;
};

// Creates its file when asked, and remembers the size it was given.
struct TestTarget final : IDownloadTarget {
    explicit TestTarget(std::string strPath) : path(std::move(strPath)) { DeleteFileA(path.c_str()); }
    HANDLE OpenTargetFile(std::uint64_t nSize) override
    {
        nOfferedSize = nSize;
        file.reset(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        return file.get();
    }
    std::string path;
    FileHandle file;
    std::uint64_t nOfferedSize = 0;
};

FileDownload DownloadFile(const std::wstring& url, const std::string& localName,
                          const ICancelRequest& cancel = CancelRequest())
{
    FileDownload download;
    StatusRecorder recorder;
    TestTarget target(TestPath(localName));
    download.bResult = DownloadToFile(cancel, url, target, recorder);
    target.file.reset();
    ReadLocalFile(target.path, download.bytes);
    download.reports = recorder.Snapshot();
    return download;
}

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

TEST(QueryContentLength, AcceptsOnlyUsableStatusesAndLengths)
{
    WriteServedFile("/status/200.bin", RandomBytes(1234, 1));
    WriteServedFile("/status/target.bin", RandomBytes(2345, 2));
    for (const char* path : {"/status/403", "/status/405", "/status/500", "/status/503", "/length/none",
                             "/length/negative", "/length/text", "/length/huge"}) {
        WriteServedFile(path, RandomBytes(777, 3));
    }
    const struct {
        const char* path;
        std::int64_t nSize;
    } cases[] = {
        {"/status/200.bin", 1234}, {"/status/302", 2345}, {"/status/403", 0},  {"/status/missing.bin", 0},
        {"/status/405", 777},      {"/status/500", 777},  {"/status/503", 0},  {"/length/none", 0},
        {"/length/negative", 0},   {"/length/text", 0},   {"/length/huge", 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(QueryContentLength(ServerUrl(TestServer::Http, c.path)), c.nSize) << c.path;
    }
}

TEST(QueryContentLength, UnreachableOrUnparseableIsZero)
{
    EXPECT_EQ(QueryContentLength(L"http://127.0.0.1:" + std::to_wstring(ClosedPort()) + L"/a.bin"), 0);
    EXPECT_EQ(QueryContentLength(L"not a url"), 0);
    EXPECT_EQ(QueryContentLength(L""), 0);
}

TEST(QueryContentLength, SendsAGetThatAcceptsXmlAndAnything)
{
    WriteServedFile("/headers/size.bin", "abc");
    ASSERT_EQ(QueryContentLength(ServerUrl(TestServer::Http, "/headers/size.bin")), 3);
    const auto records = RecordedRequests(TestServer::Http, "/headers/size.bin");
    ASSERT_FALSE(records.empty());
    EXPECT_NE(records.back().find("\"method\": \"GET\""), std::string::npos) << records.back();
    EXPECT_TRUE(HasHeader(records.back(), "Accept", "application/xml, */*")) << records.back();
    EXPECT_TRUE(HasHeader(records.back(), "User-Agent", "Fenwyx Web Installer Client")) << records.back();
    EXPECT_EQ(records.back().find("Content-Type"), std::string::npos) << records.back();
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
    EXPECT_FALSE(download.bResult);
    EXPECT_TRUE(download.bytes == body.substr(0, kTruncatedAfter)) << download.bytes.size();
    ASSERT_FALSE(download.reports.empty());
    const DownloadStatusInfo& last = download.reports.back().info;
    EXPECT_EQ(last.m_nStatus, DownloadStatus::Ended);
    EXPECT_EQ(last.m_nBytesReceived, kTruncatedAfter);
    EXPECT_EQ(last.m_nExpectedSize, kTruncatedSize);
    EXPECT_EQ(last.m_strErrorText, kDownloadFileFailed);
}

// The transfer's own response is held to the size query's rules: a refused
// answer reads no byte, asks for no file and makes no report.
TEST(DownloadToFile, RefusedResponseAsksForNoFile)
{
    WriteServedFile("/sizes/empty.bin", "");
    for (const char* path : {"/status/403", "/status/503", "/length/none", "/length/text", "/length/huge"}) {
        WriteServedFile(path, RandomBytes(777, 3));
    }
    for (const char* path : {"/status/403", "/status/not-served.bin", "/status/503", "/length/none", "/length/text",
                             "/length/huge", "/sizes/empty.bin"}) {
        StatusRecorder recorder;
        TestTarget target(TestPath("refused.bin"));
        EXPECT_FALSE(DownloadToFile(CancelRequest(), ServerUrl(TestServer::Http, path), target, recorder)) << path;
        EXPECT_EQ(recorder.Count(), 0u) << path;
        EXPECT_FALSE(target.file) << path;
        EXPECT_FALSE(LocalFileExists(target.path)) << path;
    }
    WriteServedFile("/status/405", RandomBytes(777, 3));
    const FileDownload accepted = DownloadFile(ServerUrl(TestServer::Http, "/status/405"), "accepted.bin");
    EXPECT_TRUE(accepted.bResult);
    EXPECT_EQ(accepted.bytes.size(), 777u);
}

TEST(DownloadToFile, TargetThatCannotOpenFailsBeforeReading)
{
    WriteServedFile("/sizes/no-target.bin", RandomBytes(3000, 4));
    struct : IDownloadTarget {
        HANDLE OpenTargetFile(std::uint64_t) override { return INVALID_HANDLE_VALUE; }
    } target;
    StatusRecorder recorder;
    EXPECT_FALSE(
        DownloadToFile(CancelRequest(), ServerUrl(TestServer::Http, "/sizes/no-target.bin"), target, recorder));
    EXPECT_EQ(recorder.Count(), 0u);
}

TEST(DownloadToFile, SetUpFailuresEndWithOneReport)
{
    const struct {
        std::wstring url;
        const wchar_t* text;
        bool bHasErrorCode;
    } cases[] = {
        {L"http://127.0.0.1:" + std::to_wstring(ClosedPort()) + L"/a.bin", kHttpSendRequestFailed, true},
        {L"nonsense", L"", false},
    };
    for (const auto& c : cases) {
        const FileDownload download = DownloadFile(c.url, "failed.bin");
        EXPECT_FALSE(download.bResult);
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
        HANDLE OpenTargetFile(std::uint64_t) override
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
    EXPECT_FALSE(
        DownloadToFile(CancelRequest(), ServerUrl(TestServer::Http, "/sizes/unwritable.bin"), target, recorder));
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

TEST(DownloadToStream, WritesAnErrorPageAndReturnsTrue)
{
    const std::string page = "<html><body>Internal trouble</body></html>";
    WriteServedFile("/stream/error.xml", page);
    StringSink out;
    DWORD nStatus = 0;
    EXPECT_TRUE(
        DownloadToStream(CancelRequest(), ServerUrl(TestServer::Http, "/stream/error.xml"), out, 1 << 20, &nStatus));
    EXPECT_EQ(out.bytes, page);
    EXPECT_EQ(nStatus, 500u);
}

TEST(DownloadToStream, SendsTheHeaderLineAndAcceptTypes)
{
    const std::string body = RandomBytes(50000, 11);
    WriteServedFile("/stream/manifest.xml", body);
    StringSink out;
    EXPECT_TRUE(DownloadToStream(CancelRequest(), ServerUrl(TestServer::Http, "/stream/manifest.xml"), out, 1 << 20));
    EXPECT_TRUE(out.bytes == body);
    const auto records = RecordedRequests(TestServer::Http, "/stream/manifest.xml");
    ASSERT_EQ(records.size(), 1u);
    EXPECT_NE(records[0].find("\"method\": \"GET\""), std::string::npos) << records[0];
    EXPECT_TRUE(HasHeader(records[0], "Content-Type", "application/json")) << records[0];
    EXPECT_TRUE(HasHeader(records[0], "Accept", "application/xml, */*")) << records[0];
    EXPECT_TRUE(HasHeader(records[0], "User-Agent", "Fenwyx Web Installer Client")) << records[0];
}

TEST(DownloadToStream, FailsWhenTheBodyIsCutOrTheRequestCancelled)
{
    WriteServedFile("/cut/stream.bin", RandomBytes(kTruncatedSize, 12));
    StringSink cut;
    EXPECT_FALSE(DownloadToStream(CancelRequest(), ServerUrl(TestServer::Http, "/cut/stream.bin"), cut, 1 << 20));
    EXPECT_EQ(cut.bytes.size(), kTruncatedAfter);

    WriteServedFile("/stream/cancelled.bin", "abc");
    const KernelHandle cancelEvent(CreateEventW(nullptr, TRUE, TRUE, nullptr));
    StringSink cancelled;
    EXPECT_FALSE(DownloadToStream(CancelRequest(cancelEvent.get(), nullptr),
                                  ServerUrl(TestServer::Http, "/stream/cancelled.bin"), cancelled, 1 << 20));
    EXPECT_TRUE(cancelled.bytes.empty());

    StringSink unreachable;
    EXPECT_FALSE(DownloadToStream(CancelRequest(), L"http://127.0.0.1:" + std::to_wstring(ClosedPort()) + L"/x",
                                  unreachable, 1 << 20));
}

// A body up to the limit passes; one byte more fails.
TEST(DownloadToStream, StopsAtItsLimit)
{
    const std::string body = RandomBytes(100000, 14);
    WriteServedFile("/stream/limited.bin", body);
    StringSink whole;
    EXPECT_TRUE(DownloadToStream(CancelRequest(), ServerUrl(TestServer::Http, "/stream/limited.bin"), whole, 100000));
    EXPECT_TRUE(whole.bytes == body);
    StringSink over;
    EXPECT_FALSE(DownloadToStream(CancelRequest(), ServerUrl(TestServer::Http, "/stream/limited.bin"), over, 99999));
    EXPECT_LE(over.bytes.size(), 99999u);
}

TEST(DownloadToStream, EndlessBodyFailsAtTheLimit)
{
    WriteServedFile("/endless/manifest.xml", RandomBytes(1000, 15));
    StringSink out;
    EXPECT_FALSE(DownloadToStream(CancelRequest(), ServerUrl(TestServer::Http, "/endless/manifest.xml"), out, 300000));
    EXPECT_LE(out.bytes.size(), 300000u);
    EXPECT_GT(out.bytes.size(), 250000u);
}

TEST(Https, IgnoresWrongNamesAndExpiredDatesButNotUnknownIssuers)
{
    const std::string body = RandomBytes(100000, 13);
    WriteServedFile("/tls/file.bin", body);
    for (const TestServer server : {TestServer::WrongName, TestServer::Expired}) {
        const std::wstring url = ServerUrl(server, "/tls/file.bin");
        EXPECT_EQ(QueryContentLength(url), static_cast<std::int64_t>(body.size())) << static_cast<int>(server);
        const FileDownload download = DownloadFile(url, "tls.bin");
        EXPECT_TRUE(download.bResult) << static_cast<int>(server);
        EXPECT_TRUE(download.bytes == body) << static_cast<int>(server);
        StringSink out;
        EXPECT_TRUE(DownloadToStream(CancelRequest(), url, out, 1 << 20)) << static_cast<int>(server);
        EXPECT_TRUE(out.bytes == body) << static_cast<int>(server);
    }
    EXPECT_EQ(QueryContentLength(ServerUrl(TestServer::Untrusted, "/tls/file.bin")), 0);
}

}  // namespace
