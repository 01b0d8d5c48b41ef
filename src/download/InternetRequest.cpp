#include "download/InternetRequest.h"

#include <atomic>
#include <vector>

namespace {

std::atomic<int> g_nClosesPending{0};

struct UnreadHandles {
    HINTERNET hRequest;
    HINTERNET hConnection;
};

DWORD WINAPI CloseUnreadHandles(void* parameter)
{
    const auto* handles = static_cast<UnreadHandles*>(parameter);
    InternetCloseHandle(handles->hRequest);
    if (handles->hConnection != nullptr) {
        InternetCloseHandle(handles->hConnection);
    }
    delete handles;
    --g_nClosesPending;
    return 0;
}

}  // namespace

struct InternetRequest::State {
    // Auto-reset: the wait that sees a completion also consumes it. WinINet
    // reports a completion only for an operation that returned
    // ERROR_IO_PENDING, so no stale signal is left for the next wait.
    KernelHandle completed{CreateEventW(nullptr, FALSE, FALSE, nullptr)};
    // Success is a non-zero result; a completed query for data puts its byte
    // count, not an error, where the error would be.
    DWORD_PTR nResult = 0;
    DWORD nError = ERROR_SUCCESS;
    DWORD nAvailable = 0;
    DWORD nRead = 0;
    std::vector<char> buffer;
};

bool InternetRequest::AttachToSession(HINTERNET hSession)
{
    return InternetSetStatusCallbackW(hSession, &InternetRequest::OnStatus) != INTERNET_INVALID_STATUS_CALLBACK;
}

void CALLBACK InternetRequest::OnStatus(HINTERNET, DWORD_PTR context, DWORD nStatus, void* info, DWORD nInfoSize)
{
    // The session and connection handles carry no context.
    auto* reference = reinterpret_cast<StateReference*>(context);
    if (reference == nullptr) {
        return;
    }
    if (nStatus == INTERNET_STATUS_REQUEST_COMPLETE && info != nullptr && nInfoSize >= sizeof(INTERNET_ASYNC_RESULT)) {
        State& state = **reference;
        const auto* result = static_cast<const INTERNET_ASYNC_RESULT*>(info);
        state.nResult = result->dwResult;
        state.nError = result->dwError;
        SetEvent(state.completed.get());
    } else if (nStatus == INTERNET_STATUS_HANDLE_CLOSING) {
        delete reference;
    }
}

InternetRequest::InternetRequest(std::size_t nBufferSize) : m_state(std::make_shared<State>())
{
    m_state->buffer.resize(nBufferSize);
}

// Closing may report the handle closing at once, from this thread, or later
// from WinINet's, once an operation given up still running has ended.
InternetRequest::~InternetRequest() = default;

char* InternetRequest::Buffer()
{
    return m_state->buffer.data();
}

void InternetRequest::CloseUnread(InternetHandle& connection)
{
    if (!m_request || m_bBodyEnded) {
        return;
    }
    auto* handles = new UnreadHandles{m_request.release(), connection.release()};
    ++g_nClosesPending;
    const KernelHandle thread(CreateThread(nullptr, 0, &CloseUnreadHandles, handles, 0, nullptr));
    if (!thread) {
        CloseUnreadHandles(handles);
    }
}

bool InternetRequest::ClosesPending()
{
    return g_nClosesPending.load() > 0;
}

bool InternetRequest::Open(HINTERNET hConnection, const wchar_t* verb, const wchar_t* object,
                           const wchar_t** acceptTypes, DWORD nFlags)
{
    if (!m_state->completed) {
        m_nLastError = GetLastError();
        return false;
    }
    auto* reference = new StateReference(m_state);
    m_request.reset(HttpOpenRequestW(hConnection, verb, object, L"HTTP/1.1", nullptr, acceptTypes, nFlags,
                                     reinterpret_cast<DWORD_PTR>(reference)));
    if (!m_request) {
        // No handle was made, so none will report closing.
        m_nLastError = GetLastError();
        delete reference;
        return false;
    }
    return true;
}

bool InternetRequest::Send(const wchar_t* headers, const ICancelRequest& cancel, DWORD nTimeoutMs)
{
    const DWORD nHeadersLength = headers != nullptr ? static_cast<DWORD>(-1) : 0;
    return Finish(HttpSendRequestW(m_request.get(), headers, nHeadersLength, nullptr, 0), cancel, nTimeoutMs);
}

bool InternetRequest::QueryAvailable(const ICancelRequest& cancel, DWORD nTimeoutMs, DWORD& nAvailable)
{
    // A completed query has filled WinINet's buffer, so asking again answers
    // at once; a server that sends a little at a time is waited for again.
    for (;;) {
        const BOOL bDone = InternetQueryDataAvailable(m_request.get(), &m_state->nAvailable, 0, 0);
        if (bDone) {
            nAvailable = m_state->nAvailable;
            m_bBodyEnded = nAvailable == 0;
            return true;
        }
        if (!Finish(bDone, cancel, nTimeoutMs)) {
            return false;
        }
    }
}

bool InternetRequest::Read(std::size_t nOffset, DWORD nWanted, const ICancelRequest& cancel, DWORD nTimeoutMs,
                           DWORD& nRead)
{
    m_state->nRead = 0;
    const BOOL bDone = InternetReadFile(m_request.get(), m_state->buffer.data() + nOffset, nWanted, &m_state->nRead);
    if (!Finish(bDone, cancel, nTimeoutMs)) {
        return false;
    }
    nRead = m_state->nRead;
    m_bBodyEnded = nRead == 0;
    return true;
}

bool InternetRequest::Finish(BOOL bDone, const ICancelRequest& cancel, DWORD nTimeoutMs)
{
    if (bDone) {
        return true;
    }
    m_nLastError = GetLastError();
    if (m_nLastError != ERROR_IO_PENDING) {
        return false;
    }
    const HANDLE hCancelEvent = cancel.CancelEvent();
    const HANDLE events[] = {m_state->completed.get(), hCancelEvent};
    const DWORD nWait = WaitForMultipleObjects(hCancelEvent != nullptr ? 2 : 1, events, FALSE, nTimeoutMs);
    if (nWait == WAIT_OBJECT_0) {
        const bool bSucceeded = m_state->nResult != 0;
        m_nLastError = bSucceeded ? ERROR_SUCCESS : m_state->nError;
        return bSucceeded;
    }
    m_nLastError = nWait == WAIT_OBJECT_0 + 1 ? ERROR_INTERNET_OPERATION_CANCELLED : ERROR_INTERNET_TIMEOUT;
    return false;
}
