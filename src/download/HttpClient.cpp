#include "download/HttpClient.h"

#include <wininet.h>

#include <algorithm>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "base/WinHandles.h"
#include "download/InternetRequest.h"
#include "download/TransferRules.h"
#include "log/RequestTrace.h"

using namespace korvex::download;

namespace {

std::mutex g_sessionLock;
InternetHandle g_internetSession;  // guarded by g_sessionLock

HINTERNET CurrentSession()
{
    std::lock_guard lock(g_sessionLock);
    return g_internetSession.get();
}

// A function-local static exists before the first download can need it and
// needs no explicit creation or deletion.
std::mutex& DownloadWriteLock()
{
    static std::mutex lock;
    return lock;
}

enum class RequestKind { SizeQuery, Stream, File };

constexpr DWORD kConnectTimeoutMs = 30000;
constexpr DWORD kTransferTimeoutMs = 60000;
// Sending waits for the connection, then for the response's first bytes.
constexpr DWORD kSendTimeoutMs = kConnectTimeoutMs + kTransferTimeoutMs;

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

// Members in this order so the request closes before its connection.
struct OpenedRequest {
    explicit OpenedRequest(std::size_t nBufferSize) : request(nBufferSize) {}

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

void OpenRequest(const std::wstring& url, RequestKind kind, const ICancelRequest& cancel, OpenedRequest& opened)
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
    // The size query names no verb, which WinINet takes as GET.
    if (!opened.request.Open(opened.connection.get(), kind == RequestKind::SizeQuery ? nullptr : L"GET",
                             parts.strObject.c_str(), kind == RequestKind::File ? fileAcceptTypes : queryAcceptTypes,
                             nFlags)) {
        opened.failure = SetupFailure::OpenRequest;
        opened.nError = opened.request.LastError();
        return;
    }
    if (!opened.request.Send(kind == RequestKind::Stream ? kStreamHeaders : nullptr, cancel, kSendTimeoutMs)) {
        opened.failure = SetupFailure::Send;
        opened.nError = opened.request.LastError();
    }
}

// 0 when the header is missing, too long for its 32-byte buffer, or unusable.
std::int64_t ReadContentLength(HINTERNET hRequest)
{
    wchar_t buffer[16] = {};
    DWORD nSize = sizeof buffer;
    if (!HttpQueryInfoW(hRequest, HTTP_QUERY_CONTENT_LENGTH, buffer, &nSize, nullptr)) {
        return 0;
    }
    std::string text;
    for (DWORD i = 0; i < nSize / sizeof(wchar_t) && buffer[i] != L'\0'; ++i) {
        text.push_back(buffer[i] < 0x80 ? static_cast<char>(buffer[i]) : '?');
    }
    return ParseContentLength(text);
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

// The size query's rule: an accepted status and a usable Content-Length, or 0.
std::int64_t AcceptedLength(HINTERNET hRequest)
{
    if (!IsSizeQueryStatusAccepted(ReadStatusCode(hRequest))) {
        return 0;
    }
    return ReadContentLength(hRequest);
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
    bool bFailed = false;
    DWORD nError = 0;
};

// The read loop of a file download; fills status as it goes.
// A set cancel event also ends a wait for the server at once.
FileTransfer ReceiveIntoFile(const ICancelRequest& cancel, InternetRequest& request, HANDLE hFile,
                             IDownloadCallback& callback, DownloadStatusInfo& status)
{
    FileTransfer transfer;
    CancelPoll poll(cancel);
    // Reads land straight in the batch, the request's buffer: after every
    // write check it has room for a full read.
    char* const batch = request.Buffer();
    std::size_t nHeld = 0;
    std::uint64_t nWriteOffset = 0;
    const auto writeHeld = [&] {
        if (!WriteBatchAt(hFile, nWriteOffset, batch, nHeld, transfer.nError)) {
            transfer.bFailed = true;
            return false;
        }
        nWriteOffset += nHeld;
        nHeld = 0;
        return true;
    };

    for (;;) {
        DWORD nAvailable = 0;
        if (!request.QueryAvailable(cancel, kTransferTimeoutMs, nAvailable)) {
            transfer.bFailed = true;
            transfer.nError = request.LastError();
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
            transfer.bFailed = true;
            transfer.nError = request.LastError();
            break;
        }
        if (nRead == 0) {
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

}  // namespace

bool OpenInternetSession()
{
    std::lock_guard lock(g_sessionLock);
    if (!g_internetSession) {
        InternetHandle session(
            InternetOpenW(kInternetUserAgent, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, INTERNET_FLAG_ASYNC));
        if (!session || !SetTimeouts(session.get()) || !InternetRequest::AttachToSession(session.get())) {
            return false;
        }
        g_internetSession = std::move(session);
    }
    return true;
}

void CloseInternetSession()
{
    std::lock_guard lock(g_sessionLock);
    g_internetSession.reset();
}

std::int64_t QueryContentLength(const std::wstring& url)
{
    RequestTrace trace(url);
    OpenedRequest opened(0);
    OpenRequest(url, RequestKind::SizeQuery, CancelRequest(), opened);
    if (opened.failure != SetupFailure::None) {
        return 0;
    }
    const DWORD nStatus = ReadStatusCode(opened.request.Handle());
    const std::int64_t nLength = ReadContentLength(opened.request.Handle());
    trace.Answered(nStatus, nLength);
    const bool bAccepted = IsSizeQueryStatusAccepted(nStatus) && nLength > 0;
    trace.Ended(0, bAccepted);
    return bAccepted ? nLength : 0;
}

bool DownloadToFile(const ICancelRequest& cancel, const std::wstring& url, IDownloadTarget& target,
                    IDownloadCallback& callback)
{
    DownloadStatusInfo status;
    bool bResult = false;
    RequestTrace trace(url);
    OpenedRequest opened(kFileBatchSize);
    OpenRequest(url, RequestKind::File, cancel, opened);
    if (opened.failure != SetupFailure::None) {
        status.m_nErrorCode = opened.nError;
        status.m_strErrorText = SetupFailureText(opened.failure);
    } else if (!cancel.IsCancelRequested()) {
        trace.Answered(ReadStatusCode(opened.request.Handle()), ReadContentLength(opened.request.Handle()));
        const std::int64_t nLength = AcceptedLength(opened.request.Handle());
        if (nLength <= 0) {
            return false;
        }
        status.m_nExpectedSize = static_cast<std::uint64_t>(nLength);
        const HANDLE hFile = target.OpenTargetFile(status.m_nExpectedSize);
        if (hFile == INVALID_HANDLE_VALUE) {
            return false;
        }
        const FileTransfer transfer = ReceiveIntoFile(cancel, opened.request, hFile, callback, status);
        // A short body would leave a corrupt package that looks complete.
        if (transfer.bFailed || status.m_nBytesReceived < status.m_nExpectedSize) {
            status.m_nErrorCode = transfer.nError;
            status.m_strErrorText = kDownloadFileFailed;
        } else {
            bResult = true;
        }
    }

    if (cancel.IsCancelRequested()) {
        bResult = false;
        status.m_nStatus = DownloadStatus::Cancelled;
        Sleep(500);
    } else {
        status.m_nStatus = DownloadStatus::Ended;
    }
    trace.Ended(status.m_nBytesReceived, bResult);
    callback.OnDownloadStatus(status);
    return bResult;
}

bool DownloadToStream(const ICancelRequest& cancel, const std::wstring& url, IByteSink& output, std::uint64_t nLimit,
                      DWORD* pnHttpStatus)
{
    if (pnHttpStatus != nullptr) {
        *pnHttpStatus = 0;
    }
    RequestTrace trace(url);
    OpenedRequest opened(kStreamReadSize);
    OpenRequest(url, RequestKind::Stream, cancel, opened);
    if (opened.failure != SetupFailure::None || cancel.IsCancelRequested()) {
        return false;
    }
    if (pnHttpStatus != nullptr) {
        *pnHttpStatus = ReadStatusCode(opened.request.Handle());
    }
    const std::uint64_t nDeclared = static_cast<std::uint64_t>(ReadContentLength(opened.request.Handle()));
    trace.Answered(ReadStatusCode(opened.request.Handle()), static_cast<std::int64_t>(nDeclared));

    InternetRequest& request = opened.request;
    std::uint64_t nReceived = 0;
    for (;;) {
        DWORD nAvailable = 0;
        if (!request.QueryAvailable(cancel, kTransferTimeoutMs, nAvailable)) {
            return false;
        }
        if (cancel.IsCancelRequested() || nAvailable == 0) {
            break;
        }
        DWORD nRead = 0;
        const DWORD nWanted = std::min<DWORD>(nAvailable, kStreamReadSize);
        if (!request.Read(0, nWanted, cancel, kTransferTimeoutMs, nRead)) {
            return false;
        }
        if (nRead == 0) {
            break;
        }
        if (nRead > nLimit - nReceived || !output.Write(request.Buffer(), nRead)) {
            return false;
        }
        nReceived += nRead;
    }
    const bool bResult = nReceived >= nDeclared && !cancel.IsCancelRequested();
    trace.Ended(nReceived, bResult);
    return bResult;
}
