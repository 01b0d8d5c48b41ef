#pragma once

// Cancel and pause of a transfer, driven from another thread through two
// manual-reset events: the cancel event (signalled: stop) and the proceed
// event (not signalled: hold still). The events are borrowed, not owned.

#include <windows.h>

class ICancelRequest {
public:
    virtual bool IsCancelRequested() const = 0;
    virtual bool IsPauseRequested() const = 0;
    // Returns when the pause or the cancel may have changed, or after at most
    // nTimeoutMs, so a paused transfer neither spins nor misses a cancel.
    virtual void WaitWhilePaused(DWORD nTimeoutMs) const = 0;
    // The event that signals a cancel, or null when nothing can cancel; a
    // transfer waits on it to close its request when a read is blocked.
    virtual HANDLE CancelEvent() const = 0;

protected:
    ~ICancelRequest() = default;
};

class CancelRequest final : public ICancelRequest {
public:
    // Without events: never cancels, never pauses.
    CancelRequest() = default;
    CancelRequest(HANDLE hCancelEvent, HANDLE hProceedEvent);

    bool IsCancelRequested() const override;
    bool IsPauseRequested() const override;
    void WaitWhilePaused(DWORD nTimeoutMs) const override;
    HANDLE CancelEvent() const override { return m_hCancelEvent; }

private:
    HANDLE m_hCancelEvent = nullptr;
    HANDLE m_hProceedEvent = nullptr;
};
