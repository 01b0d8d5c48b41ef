#pragma once
// One HTTP request as the run log records it: begun with its address, told
// the answer's status and Content-Length, and written as one line when the
// request ends (the trace goes out of scope): where a resumed body started,
// bytes received, milliseconds, result. A 407 is named for what it means.
// Costs nothing when the log is closed.

#include <cstdint>
#include <string>

class RequestTrace {
public:
    explicit RequestTrace(const std::wstring& url);
    ~RequestTrace();
    RequestTrace(const RequestTrace&) = delete;
    RequestTrace& operator=(const RequestTrace&) = delete;

    void Answered(unsigned long status, std::int64_t contentLength);
    // The body continues a part already held of that many bytes.
    void Continued(std::uint64_t offset);
    void Ended(std::uint64_t bytesReceived, bool succeeded);

private:
    bool m_bActive = false;
    std::wstring m_strUrl;
    std::uint32_t m_nStartTick = 0;
    bool m_bAnswered = false;
    unsigned long m_nStatus = 0;
    std::int64_t m_nContentLength = 0;
    std::uint64_t m_nOffset = 0;
    std::uint64_t m_nBytes = 0;
    bool m_bSucceeded = false;
};
