#include "download/HttpClient.h"

#include <wininet.h>

#include <algorithm>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "base/WinHandles.h"
#include "download/InternetRequest.h"
#include "download/ResumeRules.h"
#include "download/TransferRules.h"
#include "log/RequestTrace.h"

using namespace korvex::download;

namespace {

// A session is not closed while an early-ended request is still closing
// (InternetRequest.h): that close would wait for the rest of a body.
struct SessionOwner {
    ~SessionOwner() { Close(); }
    void Close()
    {
        if (InternetRequest::ClosesPending()) {
            handle.release();
        } else {
            handle.reset();
        }
    }
    InternetHandle handle;
};

std::mutex g_sessionLock;
SessionOwner g_internetSession;  // guarded by g_sessionLock

HINTERNET CurrentSession()
{
    std::lock_guard lock(g_sessionLock);
    return g_internetSession.handle.get();
}

// A function-local static exists before the first download can need it and
// needs no explicit creation or deletion.
std::mutex& DownloadWriteLock()
{
    static std::mutex lock;
    return lock;
}

enum class RequestKind { Stream, File };

constexpr DWORD kConnectTimeoutMs = 30000;
constexpr DWORD kTransferTimeoutMs = 60000;
// Sending waits for the connection, then for the response's first bytes.
constexpr DWORD kSendTimeoutMs = kConnectTimeoutMs + kTransferTimeoutMs;

// Every wait of a transfer within the silence time-out and, when it has one,
// before its deadline.
class Deadline {
public:
    explicit Deadline(std::uint64_t nEndTick = 0) : m_nEndTick(nEndTick) {}

    DWORD Bound(DWORD nTimeoutMs) const
    {
        if (m_nEndTick == 0) {
            return nTimeoutMs;
        }
        const ULONGLONG nNow = GetTickCount64();
        return nNow >= m_nEndTick ? 0 : static_cast<DWORD>(std::min<ULONGLONG>(nTimeoutMs, m_nEndTick - nNow));
    }

private:
    std::uint64_t m_nEndTick;
};

// WinINet's own time-outs, which handles opened from the session inherit;
// every wait of a request is bounded by ours as well.
bool SetTimeouts(HINTERNET hSession)
{
    const struct {
        DWORD nOption;
        DWORD nMilliseconds;
    } timeouts[] = {
        {INTERNET_OPTION_CONNECT_TIMEOUT, kConnectTimeoutMs},
        {INTERNET_OPTION_SEND_TIMEOUT, kTransferTimeoutMs},
        {INTERNET_OPTION_RECEIVE_TIMEOUT, kTransferTimeoutMs},
    };
    for (const auto& timeout : timeouts) {
        DWORD nValue = timeout.nMilliseconds;
        if (!InternetSetOptionW(hSession, timeout.nOption, &nValue, sizeof nValue)) {
            return false;
        }
    }
    return true;
}

constexpr DWORD kIgnoreCertificateErrors =
    INTERNET_FLAG_SECURE | INTERNET_FLAG_IGNORE_CERT_CN_INVALID | INTERNET_FLAG_IGNORE_CERT_DATE_INVALID;
constexpr DWORD kQueryFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_UI;
constexpr DWORD kFileFlags =
    INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_KEEP_CONNECTION | INTERNET_FLAG_NO_UI;
static_assert(kQueryFlags == 0x80000200 && (kQueryFlags | kIgnoreCertificateErrors) == 0x80803200);
static_assert(kFileFlags == 0x84400200 && (kFileFlags | kIgnoreCertificateErrors) == 0x84C03200);

constexpr wchar_t kStreamHeaders[] = L"Content-Type: application/json\r\n";

enum class SetupFailure { None, UrlRejected, Connect, OpenRequest, Send };

// Members in this order so the request closes before its connection; one
// whose body was not read to its end is closed without waiting for the rest.
struct OpenedRequest {
    explicit OpenedRequest(std::size_t nBufferSize) : request(nBufferSize) {}
    ~OpenedRequest() { request.CloseUnread(connection); }
    OpenedRequest(const OpenedRequest&) = delete;
    OpenedRequest& operator=(const OpenedRequest&) = delete;

    InternetHandle connection;
    InternetRequest request;
    SetupFailure failure = SetupFailure::None;
    DWORD nError = 0;
};

struct UrlParts {
    INTERNET_SCHEME nScheme = INTERNET_SCHEME_UNKNOWN;
    INTERNET_PORT nPort = 0;
    std::wstring strHost;
    std::wstring strUserName;
    std::wstring strPassword;
    std::wstring strObject;  // path and extra information
};

bool SplitUrl(const std::wstring& url, UrlParts& parts)
{
    constexpr DWORD kPartLength = 4096;
    std::vector<wchar_t> buffers(6 * kPartLength);
    URL_COMPONENTSW components{};
    components.dwStructSize = sizeof components;
    wchar_t* next = buffers.data();
    const auto part = [&](LPWSTR& text, DWORD& length) {
        text = next;
        length = kPartLength;
        next += kPartLength;
    };
    part(components.lpszScheme, components.dwSchemeLength);
    part(components.lpszHostName, components.dwHostNameLength);
    part(components.lpszUserName, components.dwUserNameLength);
    part(components.lpszPassword, components.dwPasswordLength);
    part(components.lpszUrlPath, components.dwUrlPathLength);
    part(components.lpszExtraInfo, components.dwExtraInfoLength);
    if (!InternetCrackUrlW(url.c_str(), 0, 0, &components)) {
        return false;
    }
    parts.nScheme = components.nScheme;
    parts.nPort = components.nPort;
    parts.strHost.assign(components.lpszHostName, components.dwHostNameLength);
    parts.strUserName.assign(components.lpszUserName, components.dwUserNameLength);
    parts.strPassword.assign(components.lpszPassword, components.dwPasswordLength);
    parts.strObject.assign(components.lpszUrlPath, components.dwUrlPathLength);
    parts.strObject.append(components.lpszExtraInfo, components.dwExtraInfoLength);
    return true;
}

const wchar_t* NullWhenEmpty(const std::wstring& text)
{
    return text.empty() ? nullptr : text.c_str();
}

void OpenRequest(const std::wstring& url, RequestKind kind, const std::wstring& headers, const ICancelRequest& cancel,
                 const Deadline& deadline, OpenedRequest& opened)
{
    UrlParts parts;
    if (!SplitUrl(url, parts)) {
        opened.failure = SetupFailure::UrlRejected;
        return;
    }
    const DWORD nService = parts.nScheme == INTERNET_SCHEME_FTP ? INTERNET_SERVICE_FTP : INTERNET_SERVICE_HTTP;
    opened.connection.reset(InternetConnectW(CurrentSession(), parts.strHost.c_str(), parts.nPort,
                                             NullWhenEmpty(parts.strUserName), NullWhenEmpty(parts.strPassword),
                                             nService, 0, 0));
    if (!opened.connection) {
        opened.failure = SetupFailure::Connect;
        opened.nError = GetLastError();
        return;
    }

    static const wchar_t* queryAcceptTypes[] = {L"application/xml", L"*/*", nullptr};
    static const wchar_t* fileAcceptTypes[] = {L"*/*", nullptr};
    DWORD nFlags = kind == RequestKind::File ? kFileFlags : kQueryFlags;
    if (parts.nScheme == INTERNET_SCHEME_HTTPS) {
        nFlags |= kIgnoreCertificateErrors;
    }
    if (!opened.request.Open(opened.connection.get(), L"GET", parts.strObject.c_str(),
                             kind == RequestKind::File ? fileAcceptTypes : queryAcceptTypes, nFlags)) {
        opened.failure = SetupFailure::OpenRequest;
        opened.nError = opened.request.LastError();
        return;
    }
    if (!opened.request.Send(headers.empty() ? nullptr : headers.c_str(), cancel, deadline.Bound(kSendTimeoutMs))) {
        opened.failure = SetupFailure::Send;
        opened.nError = opened.request.LastError();
    }
}

// A header's value as ASCII (anything else becomes '?'), or nothing when the
// answer lacks it. A value too long for the buffer reads as "?": unusable.
std::optional<std::string> ReadHeader(HINTERNET hRequest, DWORD nQuery)
{
    wchar_t buffer[256] = {};
    DWORD nSize = sizeof buffer;
    if (!HttpQueryInfoW(hRequest, nQuery, buffer, &nSize, nullptr)) {
        return GetLastError() == ERROR_INSUFFICIENT_BUFFER ? std::optional<std::string>("?") : std::nullopt;
    }
    std::string text;
    for (DWORD i = 0; i < nSize / sizeof(wchar_t) && buffer[i] != L'\0'; ++i) {
        text.push_back(buffer[i] < 0x80 ? static_cast<char>(buffer[i]) : '?');
    }
    return text;
}

// The Content-Length, kUnusableLength, or nothing when the answer has none.
std::optional<std::int64_t> ReadContentLength(HINTERNET hRequest)
{
    const std::optional<std::string> text = ReadHeader(hRequest, HTTP_QUERY_CONTENT_LENGTH);
    if (!text) {
        return std::nullopt;
    }
    return ParseContentLength(*text);
}

DWORD ReadStatusCode(HINTERNET hRequest)
{
    DWORD nStatus = 0;
    DWORD nSize = sizeof nStatus;
    if (!HttpQueryInfoW(hRequest, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &nStatus, &nSize, nullptr)) {
        return 0;
    }
    return nStatus;
}

std::int32_t ReadRetryAfter(HINTERNET hRequest)
{
    const std::optional<std::string> text = ReadHeader(hRequest, HTTP_QUERY_RETRY_AFTER);
    return text ? ParseRetryAfter(*text) : kNoRetryAfter;
}

// Writing hands the bytes to the system; no disk sync per batch, which
// measured here would cut throughput to a fraction.
bool WriteBatchAt(HANDLE hFile, std::uint64_t nOffset, const char* data, std::size_t nSize, DWORD& nError)
{
    std::lock_guard lock(DownloadWriteLock());
    LARGE_INTEGER position;
    position.QuadPart = static_cast<LONGLONG>(nOffset);
    if (!SetFilePointerEx(hFile, position, nullptr, FILE_BEGIN)) {
        nError = GetLastError();
        return false;
    }
    DWORD nWritten = 0;
    if (!WriteFile(hFile, data, static_cast<DWORD>(nSize), &nWritten, nullptr) || nWritten != nSize) {
        nError = GetLastError();
        return false;
    }
    return true;
}

const wchar_t* SetupFailureText(SetupFailure failure)
{
    switch (failure) {
        case SetupFailure::Connect:
            return kInternetConnectFailed;
        case SetupFailure::OpenRequest:
            return kHttpOpenRequestFailed;
        case SetupFailure::Send:
            return kHttpSendRequestFailed;
        case SetupFailure::None:
        case SetupFailure::UrlRejected:
            break;
    }
    return L"";
}

// Why a request's operation failed: its time-out, the cancel, a refused certificate, or the network.
AttemptCause CauseOfRequestError(DWORD nError, AttemptCause networkCause)
{
    switch (nError) {
        case ERROR_INTERNET_TIMEOUT:
            return AttemptCause::TimedOut;
        case ERROR_INTERNET_OPERATION_CANCELLED:
            return AttemptCause::Cancelled;
        case ERROR_INTERNET_INVALID_CA:
        case ERROR_INTERNET_SEC_CERT_ERRORS:
        case ERROR_INTERNET_SEC_CERT_REVOKED:
        case ERROR_INTERNET_SEC_INVALID_CERT:
            return AttemptCause::CertificateRefused;
        default:
            return networkCause;
    }
}

AttemptCause CauseOfSetupFailure(const OpenedRequest& opened)
{
    if (opened.failure == SetupFailure::UrlRejected) {
        return AttemptCause::UrlRejected;
    }
    return CauseOfRequestError(opened.nError, AttemptCause::NoConnection);
}

// Asking an event is a round trip to the Wine server; per 4 KB read that cost
// about a third of the throughput here. An answer at most 10 ms old is as
// good, since a blocked read is not interrupted anyway.
class CancelPoll {
public:
    explicit CancelPoll(const ICancelRequest& cancel) : m_cancel(cancel) {}

    bool IsCancelRequested()
    {
        Refresh();
        return m_bCancel;
    }
    bool IsPauseRequested()
    {
        Refresh();
        return m_bPause;
    }
    void WaitWhilePaused()
    {
        m_cancel.WaitWhilePaused(50);
        m_nNextCheck = 0;
    }

private:
    void Refresh()
    {
        const ULONGLONG nNow = GetTickCount64();
        if (nNow < m_nNextCheck) {
            return;
        }
        m_bCancel = m_cancel.IsCancelRequested();
        m_bPause = !m_bCancel && m_cancel.IsPauseRequested();
        m_nNextCheck = nNow + 10;
    }

    const ICancelRequest& m_cancel;
    ULONGLONG m_nNextCheck = 0;
    bool m_bCancel = false;
    bool m_bPause = false;
};

struct FileTransfer {
    AttemptCause cause = AttemptCause::None;
    DWORD nError = 0;
};

// The read loop of a file download from answer.m_nOffset; fills status as it
// goes. A set cancel event also ends a wait for the server at once.
FileTransfer ReceiveIntoFile(const ICancelRequest& cancel, InternetRequest& request, HANDLE hFile,
                             IDownloadCallback& callback, DownloadStatusInfo& status)
{
    FileTransfer transfer;
    CancelPoll poll(cancel);
    // Reads land straight in the batch, the request's buffer: after every
    // write check it has room for a full read.
    char* const batch = request.Buffer();
    std::size_t nHeld = 0;
    std::uint64_t nWriteOffset = status.m_nBytesReceived;
    const auto writeHeld = [&] {
        if (!WriteBatchAt(hFile, nWriteOffset, batch, nHeld, transfer.nError)) {
            transfer.cause = AttemptCause::LocalFile;
            return false;
        }
        nWriteOffset += nHeld;
        nHeld = 0;
        return true;
    };
    const auto failRequest = [&] {
        transfer.nError = request.LastError();
        transfer.cause = CauseOfRequestError(transfer.nError, AttemptCause::CutShort);
    };

    for (;;) {
        DWORD nAvailable = 0;
        if (!request.QueryAvailable(cancel, kTransferTimeoutMs, nAvailable)) {
            failRequest();
            break;
        }
        if (poll.IsCancelRequested()) {
            break;
        }
        if (poll.IsPauseRequested()) {
            poll.WaitWhilePaused();
            continue;
        }
        if (nAvailable == 0) {
            break;
        }
        DWORD nRead = 0;
        const DWORD nWanted = std::min<DWORD>(nAvailable, kFileReadSize);
        if (!request.Read(nHeld, nWanted, cancel, kTransferTimeoutMs, nRead)) {
            failRequest();
            break;
        }
        if (nRead == 0) {
            break;
        }
        // Bytes past the length would make a file that is not the one named.
        if (nRead > status.m_nExpectedSize - status.m_nBytesReceived) {
            transfer.cause = AttemptCause::TooLong;
            break;
        }
        status.m_nStatus = DownloadStatus::Downloading;
        status.m_nBytesReceived += nRead;
        callback.OnDownloadStatus(status);

        nHeld += nRead;
        if (IsBatchDue(nHeld, nRead) && !writeHeld()) {
            return transfer;
        }
        callback.OnDownloadStatus(status);
    }
    if (nHeld > 0) {
        writeHeld();
    }
    return transfer;
}

// Where an accepted answer's body goes, or the cause that refuses it.
AttemptCause AcceptFileAnswer(HINTERNET hRequest, DWORD nStatus, const FilePart& resume, FilePart& answer)
{
    // The part does not fit the file the server has now.
    if (nStatus == 416 && resume.m_nOffset > 0) {
        return AttemptCause::RangeMismatch;
    }
    if (!IsSuccessStatus(nStatus)) {
        return AttemptCause::RefusedStatus;
    }
    const std::int64_t nLength = ReadContentLength(hRequest).value_or(kUnusableLength);
    if (nLength <= 0) {
        return AttemptCause::LengthUnusable;
    }
    const auto length = static_cast<std::uint64_t>(nLength);
    answer.m_strValidator = ChooseValidator(ReadHeader(hRequest, HTTP_QUERY_ETAG).value_or(std::string()),
                                            ReadHeader(hRequest, HTTP_QUERY_LAST_MODIFIED).value_or(std::string()));
    if (resume.m_nOffset == 0) {
        answer.m_nOffset = 0;
        answer.m_nTotal = length;
        return nStatus == 206 ? AttemptCause::RangeMismatch : AttemptCause::None;
    }
    const std::string contentRange = ReadHeader(hRequest, HTTP_QUERY_CONTENT_RANGE).value_or(std::string());
    switch (JudgeResumeAnswer(nStatus, contentRange, length, resume.m_nOffset, resume.m_nTotal)) {
        case ResumeVerdict::Append:
            answer.m_nOffset = resume.m_nOffset;
            answer.m_nTotal = resume.m_nTotal;
            if (answer.m_strValidator.empty()) {
                answer.m_strValidator = resume.m_strValidator;
            }
            return AttemptCause::None;
        case ResumeVerdict::StartOver:
            answer.m_nOffset = 0;
            answer.m_nTotal = length;
            return AttemptCause::None;
        case ResumeVerdict::Refused:
            break;
    }
    return AttemptCause::RangeMismatch;
}

std::wstring ResumeHeaders(const FilePart& resume)
{
    if (resume.m_nOffset == 0) {
        return std::wstring();
    }
    const std::string text = ResumeRequestHeaders(resume.m_nOffset, resume.m_strValidator);
    return std::wstring(text.begin(), text.end());
}

// The body of an accepted file answer into the target's file; the outcome's
// cause, with the final report's error filled in.
AttemptCause ReceiveFileAnswer(const ICancelRequest& cancel, OpenedRequest& opened, const FilePart& answer,
                               IDownloadTarget& target, IDownloadCallback& callback, DownloadStatusInfo& status)
{
    status.m_nBytesReceived = answer.m_nOffset;
    status.m_nExpectedSize = answer.m_nTotal;
    const HANDLE hFile = target.OpenTargetFile(answer);
    if (hFile == INVALID_HANDLE_VALUE) {
        return AttemptCause::LocalFile;
    }
    FileTransfer transfer = ReceiveIntoFile(cancel, opened.request, hFile, callback, status);
    // A short body would leave a corrupt package that looks complete.
    if (transfer.cause == AttemptCause::None && status.m_nBytesReceived < status.m_nExpectedSize) {
        transfer.cause = AttemptCause::CutShort;
    }
    if (transfer.cause != AttemptCause::None) {
        status.m_nErrorCode = transfer.nError;
        status.m_strErrorText = kDownloadFileFailed;
    }
    return transfer.cause;
}

}  // namespace

bool OpenInternetSession()
{
    std::lock_guard lock(g_sessionLock);
    if (!g_internetSession.handle) {
        InternetHandle session(
            InternetOpenW(kInternetUserAgent, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, INTERNET_FLAG_ASYNC));
        if (!session || !SetTimeouts(session.get()) || !InternetRequest::AttachToSession(session.get())) {
            return false;
        }
        g_internetSession.handle = std::move(session);
    }
    return true;
}

void CloseInternetSession()
{
    std::lock_guard lock(g_sessionLock);
    g_internetSession.Close();
}

AttemptOutcome DownloadToFile(const ICancelRequest& cancel, const std::wstring& url, const FilePart& resume,
                              IDownloadTarget& target, IDownloadCallback& callback)
{
    DownloadStatusInfo status;
    AttemptOutcome outcome;
    RequestTrace trace(url);
    OpenedRequest opened(kFileBatchSize);
    OpenRequest(url, RequestKind::File, ResumeHeaders(resume), cancel, Deadline(), opened);
    if (opened.failure != SetupFailure::None) {
        outcome.m_cause = CauseOfSetupFailure(opened);
        status.m_nErrorCode = opened.nError;
        status.m_strErrorText = SetupFailureText(opened.failure);
    } else if (!cancel.IsCancelRequested()) {
        const HINTERNET hRequest = opened.request.Handle();
        outcome.m_nHttpStatus = ReadStatusCode(hRequest);
        outcome.m_nRetryAfterSeconds = ReadRetryAfter(hRequest);
        trace.Answered(outcome.m_nHttpStatus, ReadContentLength(hRequest).value_or(0));
        FilePart answer;
        outcome.m_cause = AcceptFileAnswer(hRequest, outcome.m_nHttpStatus, resume, answer);
        if (outcome.m_cause != AttemptCause::None) {
            trace.Ended(0, false);
            return outcome;
        }
        trace.Continued(answer.m_nOffset);
        outcome.m_cause = ReceiveFileAnswer(cancel, opened, answer, target, callback, status);
    }

    if (cancel.IsCancelRequested()) {
        outcome.m_cause = AttemptCause::Cancelled;
        status.m_nStatus = DownloadStatus::Cancelled;
        Sleep(500);
    } else {
        status.m_nStatus = DownloadStatus::Ended;
    }
    trace.Ended(status.m_nBytesReceived, outcome.Succeeded());
    callback.OnDownloadStatus(status);
    return outcome;
}

namespace {

// The read loop of a stream download: the cause it ended with.
AttemptCause ReceiveIntoStream(const ICancelRequest& cancel, InternetRequest& request, IByteSink& output,
                               std::uint64_t nLimit, const Deadline& deadline, std::uint64_t& nReceived)
{
    for (;;) {
        DWORD nAvailable = 0;
        if (!request.QueryAvailable(cancel, deadline.Bound(kTransferTimeoutMs), nAvailable)) {
            return CauseOfRequestError(request.LastError(), AttemptCause::CutShort);
        }
        if (cancel.IsCancelRequested()) {
            return AttemptCause::Cancelled;
        }
        if (nAvailable == 0) {
            return AttemptCause::None;
        }
        DWORD nRead = 0;
        const DWORD nWanted = std::min<DWORD>(nAvailable, kStreamReadSize);
        if (!request.Read(0, nWanted, cancel, deadline.Bound(kTransferTimeoutMs), nRead)) {
            return CauseOfRequestError(request.LastError(), AttemptCause::CutShort);
        }
        if (nRead == 0) {
            return AttemptCause::None;
        }
        if (nRead > nLimit - nReceived) {
            return AttemptCause::TooLong;
        }
        if (!output.Write(request.Buffer(), nRead)) {
            return AttemptCause::LocalFile;
        }
        nReceived += nRead;
    }
}

// The cause that refuses a stream's answer before its body is read.
AttemptCause AcceptStreamAnswer(std::uint32_t nStatus, std::optional<std::int64_t> declared, const StreamLimits& limits)
{
    if (limits.m_bSuccessOnly && !IsSuccessStatus(nStatus)) {
        return AttemptCause::RefusedStatus;
    }
    if (declared && *declared == kUnusableLength) {
        return AttemptCause::LengthUnusable;
    }
    if (declared && static_cast<std::uint64_t>(*declared) > limits.m_nCap) {
        return AttemptCause::TooLong;
    }
    return AttemptCause::None;
}

}  // namespace

AttemptOutcome DownloadToStream(const ICancelRequest& cancel, const std::wstring& url, IByteSink& output,
                                const StreamLimits& limits)
{
    AttemptOutcome outcome;
    RequestTrace trace(url);
    const Deadline deadline(limits.m_nDeadlineTick);
    OpenedRequest opened(kStreamReadSize);
    OpenRequest(url, RequestKind::Stream, kStreamHeaders, cancel, deadline, opened);
    if (opened.failure != SetupFailure::None || cancel.IsCancelRequested()) {
        outcome.m_cause = opened.failure != SetupFailure::None ? CauseOfSetupFailure(opened) : AttemptCause::Cancelled;
        return outcome;
    }
    const HINTERNET hRequest = opened.request.Handle();
    outcome.m_nHttpStatus = ReadStatusCode(hRequest);
    outcome.m_nRetryAfterSeconds = ReadRetryAfter(hRequest);
    const std::optional<std::int64_t> declared = ReadContentLength(hRequest);
    trace.Answered(outcome.m_nHttpStatus, declared.value_or(0));
    outcome.m_cause = AcceptStreamAnswer(outcome.m_nHttpStatus, declared, limits);
    std::uint64_t nReceived = 0;
    if (outcome.m_cause == AttemptCause::None) {
        outcome.m_cause = ReceiveIntoStream(cancel, opened.request, output, limits.m_nCap, deadline, nReceived);
    }
    if (outcome.m_cause == AttemptCause::None && declared && nReceived != static_cast<std::uint64_t>(*declared)) {
        outcome.m_cause =
            nReceived < static_cast<std::uint64_t>(*declared) ? AttemptCause::CutShort : AttemptCause::TooLong;
    }
    if (outcome.m_cause == AttemptCause::None && cancel.IsCancelRequested()) {
        outcome.m_cause = AttemptCause::Cancelled;
    }
    trace.Ended(nReceived, outcome.Succeeded());
    return outcome;
}
