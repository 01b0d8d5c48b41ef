#pragma once

// The one attempt loop every download goes through: the server manifest,
// the newer client and every planned file. One transfer is tried up to N
// times (the manifest's download_attempts) after a failure the attempt rules
// call passing; between attempts it waits 1 s, 2 s, 4 s, ... or what the
// server's Retry-After names. A wait holds still while the cancel question
// is open (the proceed event is reset) and ends at once on a cancel. A
// transfer with a deadline starts no attempt whose wait would pass it. Every
// failed attempt, its cause and the wait go to the run log. Runs on the
// thread of the transfer (the install worker's or the validator's task).

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

#include "download/AttemptRules.h"
#include "download/CancelRequest.h"

class TransferAttempts {
public:
    // One attempt: its number (1 for the first) and whether it is the last.
    using Attempt = std::function<korvex::download::AttemptOutcome(int nAttempt, bool bLastAttempt)>;

    // nAttempts below 1 count as 1; nDeadlineTick is a GetTickCount64() value,
    // or 0 for none.
    TransferAttempts(const ICancelRequest& cancel, std::wstring strUrl, int nAttempts, std::uint64_t nDeadlineTick = 0);

    // The outcome of the attempt that succeeded, or of the last one made.
    korvex::download::AttemptOutcome Run(const Attempt& attempt) const;

private:
    // False when a cancel ended the wait.
    bool Wait(std::uint32_t nSeconds) const;
    bool WaitWouldPassDeadline(std::uint32_t nSeconds) const;
    void LogFailure(int nAttempt, const korvex::download::AttemptOutcome& outcome, const std::wstring& next) const;

    const ICancelRequest& m_cancel;
    std::wstring m_strUrl;
    int m_nAttempts;
    std::uint64_t m_nDeadlineTick;
};
