#include "log/RequestTrace.h"

#include "base/DecimalText.h"
#include "log/LogText.h"
#include "log/RunLog.h"

using korvex::base::DecimalText;

using namespace korvex::log;

RequestTrace::RequestTrace(const std::wstring& url) : m_bActive(g_runLog.IsOpen())
{
    if (!m_bActive) return;
    m_strUrl = WithoutCredentials(url);
    m_nStartTick = GetTickCount();
}

RequestTrace::~RequestTrace()
{
    if (!m_bActive) return;
    std::wstring line = L"Request GET " + m_strUrl + L": ";
    if (m_bAnswered) {
        line += L"status " + DecimalText(m_nStatus) + (m_nStatus == 407 ? L" (the proxy asks for credentials)" : L"") +
                L", Content-Length " + (m_nContentLength > 0 ? DecimalText(m_nContentLength) : std::wstring(L"none")) +
                L", ";
        if (m_nOffset > 0) {
            line += L"continuing from byte " + DecimalText(m_nOffset) + L", ";
        }
    } else {
        line += L"no answer, ";
    }
    line += DecimalText(m_nBytes) + L" bytes received, " + DecimalText(GetTickCount() - m_nStartTick) + L" ms, " +
            (m_bSucceeded ? L"succeeded" : L"failed");
    LogEvent(line);
}

void RequestTrace::Answered(unsigned long status, std::int64_t contentLength)
{
    m_bAnswered = true;
    m_nStatus = status;
    m_nContentLength = contentLength;
}

void RequestTrace::Continued(std::uint64_t offset)
{
    m_nOffset = offset;
}

void RequestTrace::Ended(std::uint64_t bytesReceived, bool succeeded)
{
    m_nBytes = bytesReceived;
    m_bSucceeded = succeeded;
}
