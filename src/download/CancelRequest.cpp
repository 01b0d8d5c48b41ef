#include "download/CancelRequest.h"

CancelRequest::CancelRequest(HANDLE hCancelEvent, HANDLE hProceedEvent)
    : m_hCancelEvent(hCancelEvent), m_hProceedEvent(hProceedEvent)
{}

bool CancelRequest::IsCancelRequested() const
{
    return m_hCancelEvent != nullptr && WaitForSingleObject(m_hCancelEvent, 0) == WAIT_OBJECT_0;
}

bool CancelRequest::IsPauseRequested() const
{
    return m_hProceedEvent != nullptr && WaitForSingleObject(m_hProceedEvent, 0) != WAIT_OBJECT_0;
}

void CancelRequest::WaitWhilePaused(DWORD nTimeoutMs) const
{
    if (m_hProceedEvent == nullptr) {
        return;
    }
    if (m_hCancelEvent == nullptr) {
        WaitForSingleObject(m_hProceedEvent, nTimeoutMs);
        return;
    }
    const HANDLE events[] = {m_hProceedEvent, m_hCancelEvent};
    WaitForMultipleObjects(2, events, FALSE, nTimeoutMs);
}
