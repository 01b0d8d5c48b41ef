#pragma once

// One HTTP request of the process's asynchronous WinINet session, made and
// waited on by one thread. Every wait ends at the operation's completion, at
// the cancel event or after the caller's time-out, whichever comes first:
// under Wine neither WinINet's receive time-out nor closing the handle from
// another thread ends a read that waits on a stalled server, so the request
// does not rely on either.
//
// What WinINet writes into (completion result, byte counts, the read buffer)
// lives in a state shared with the status callback until WinINet reports the
// request handle closing, so an operation given up at a time-out or cancel may
// still finish harmlessly after the request was closed. After a failed
// operation the request is only closed.
//
// Wine's WinINet reads the unread rest of a body when its request handle is
// closed, for as long as the server keeps data waiting: measured here, a
// chunked endless body (and one with a huge Content-Length) held the closing
// thread from 0.1 s to past 15 s whatever the request's flags, headers or
// time-outs, and closing the connection first did the same. Windows discards
// the rest. So a request whose body was not read to its end is closed on a
// thread of its own (CloseUnread): the transfer ends at once on both, later
// requests of the session are not held (measured: answered in 3 to 25 ms
// while such a close ran), and the session is left to the process's end while
// one runs (closing it waited for the drain, ending the process did not).

#include <windows.h>
#include <wininet.h>

#include <cstddef>
#include <memory>

#include "base/WinHandles.h"
#include "download/CancelRequest.h"

class InternetRequest {
public:
    // Sets the callback through which the session's requests report; call on
    // a session opened with INTERNET_FLAG_ASYNC before any request is made.
    static bool AttachToSession(HINTERNET hSession);

    // nBufferSize bytes of read buffer, at Buffer().
    explicit InternetRequest(std::size_t nBufferSize);
    ~InternetRequest();
    InternetRequest(const InternetRequest&) = delete;
    InternetRequest& operator=(const InternetRequest&) = delete;

    // HttpOpenRequestW on hConnection; the request is not sent yet.
    bool Open(HINTERNET hConnection, const wchar_t* verb, const wchar_t* object, const wchar_t** acceptTypes,
              DWORD nFlags);
    // Sends the request and waits for the response headers.
    bool Send(const wchar_t* headers, const ICancelRequest& cancel, DWORD nTimeoutMs);
    // Bytes that can be read without waiting; 0 at the end of the body.
    bool QueryAvailable(const ICancelRequest& cancel, DWORD nTimeoutMs, DWORD& nAvailable);
    // Reads up to nWanted bytes into Buffer() + nOffset (which must fit).
    bool Read(std::size_t nOffset, DWORD nWanted, const ICancelRequest& cancel, DWORD nTimeoutMs, DWORD& nRead);

    HINTERNET Handle() const { return m_request.get(); }
    // True once a query or read found the end of the body.
    bool BodyEnded() const { return m_bBodyEnded; }

    // Closes the request (when its body was not read to its end) and then its
    // connection on a thread of its own, so that neither waits for the rest
    // of a body. Both handles are taken over.
    void CloseUnread(InternetHandle& connection);
    // True while such a close still runs.
    static bool ClosesPending();
    char* Buffer();
    // The failed operation's error: WinINet's, ERROR_INTERNET_TIMEOUT or
    // ERROR_INTERNET_OPERATION_CANCELLED.
    DWORD LastError() const { return m_nLastError; }

private:
    struct State;
    // The request handle's context: WinINet's reference to the state, dropped
    // when it reports the handle closing (its last report for the handle).
    using StateReference = std::shared_ptr<State>;

    static void CALLBACK OnStatus(HINTERNET hInternet, DWORD_PTR context, DWORD nStatus, void* info, DWORD nInfoSize);
    // Completes an operation that returned bDone: at once, or after its wait.
    bool Finish(BOOL bDone, const ICancelRequest& cancel, DWORD nTimeoutMs);

    std::shared_ptr<State> m_state;
    InternetHandle m_request;
    DWORD m_nLastError = ERROR_SUCCESS;
    bool m_bBodyEnded = false;
};
