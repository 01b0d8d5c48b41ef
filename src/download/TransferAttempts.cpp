#include "download/TransferAttempts.h"

#include <algorithm>

#include "base/DecimalText.h"
#include "log/LogText.h"
#include "log/RunLog.h"

using korvex::base::DecimalText;

using namespace korvex::download;

namespace {

constexpr DWORD kWaitSliceMs = 100;

}  // namespace

TransferAttempts::TransferAttempts(const ICancelRequest& cancel, std::wstring strUrl, int nAttempts,
                                   std::uint64_t nDeadlineTick)
    : m_cancel(cancel), m_strUrl(std::move(strUrl)), m_nAttempts(std::max(nAttempts, 1)), m_nDeadlineTick(nDeadlineTick)
{}

AttemptOutcome TransferAttempts::Run(const Attempt& attempt) const
{
    for (int nAttempt = 1;; ++nAttempt) {
        AttemptOutcome outcome = attempt(nAttempt, nAttempt == m_nAttempts);
        if (outcome.Succeeded() || outcome.m_cause == AttemptCause::Cancelled) {
            return outcome;
        }
        if (nAttempt == m_nAttempts || !IsRetryable(outcome)) {
            LogFailure(nAttempt, outcome, L"not tried again");
            return outcome;
        }
        const std::uint32_t nWait = RetryWaitSeconds(nAttempt, outcome.m_nRetryAfterSeconds);
        if (WaitWouldPassDeadline(nWait)) {
            LogFailure(nAttempt, outcome, L"its time is up");
            return outcome;
        }
        LogFailure(nAttempt, outcome, L"next attempt in " + DecimalText(nWait) + L" s");
        if (!Wait(nWait)) {
            outcome.m_cause = AttemptCause::Cancelled;
            return outcome;
        }
    }
}

bool TransferAttempts::Wait(std::uint32_t nSeconds) const
{
    // The clock stands still while the transfer is held.
    ULONGLONG nRemainingMs = static_cast<ULONGLONG>(nSeconds) * 1000;
    while (!m_cancel.IsCancelRequested()) {
        if (m_cancel.IsPauseRequested()) {
            m_cancel.WaitWhilePaused(kWaitSliceMs);
            continue;
        }
        if (nRemainingMs == 0) {
            return true;
        }
        const DWORD nSliceMs = static_cast<DWORD>(std::min<ULONGLONG>(nRemainingMs, kWaitSliceMs));
        const ULONGLONG nStart = GetTickCount64();
        if (m_cancel.CancelEvent() != nullptr) {
            WaitForSingleObject(m_cancel.CancelEvent(), nSliceMs);
        } else {
            Sleep(nSliceMs);
        }
        nRemainingMs -= std::min(nRemainingMs, GetTickCount64() - nStart);
    }
    return false;
}

bool TransferAttempts::WaitWouldPassDeadline(std::uint32_t nSeconds) const
{
    return m_nDeadlineTick != 0 && GetTickCount64() + static_cast<ULONGLONG>(nSeconds) * 1000 >= m_nDeadlineTick;
}

void TransferAttempts::LogFailure(int nAttempt, const AttemptOutcome& outcome, const std::wstring& next) const
{
    std::wstring line = L"Attempt " + DecimalText(nAttempt) + L" of " + DecimalText(m_nAttempts) + L" at " +
                        korvex::log::WithoutCredentials(m_strUrl) + L" failed: " + AttemptCauseText(outcome.m_cause);
    if (outcome.m_nHttpStatus != 0) {
        line += L" (status " + DecimalText(outcome.m_nHttpStatus) + L")";
    }
    LogEvent(line + L"; " + next);
}
