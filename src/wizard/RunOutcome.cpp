#include "wizard/RunOutcome.h"

namespace korvex::wizard {

namespace {

std::atomic<RunOutcome> g_runOutcome{RunOutcome::NotEnded};

}  // namespace

int ExitCodeOf(RunOutcome outcome)
{
    switch (outcome) {
        case RunOutcome::Finished:
        case RunOutcome::HandedToNewClient:
            return 0;
        case RunOutcome::FinishedRestartPending:
            return 3010;
        case RunOutcome::UserCancelled:
            return 1602;
        case RunOutcome::AlreadyCurrent:
            return 1638;
        case RunOutcome::SecondInstance:
            return 1618;
        case RunOutcome::Failed:
        case RunOutcome::ServerUnreachable:
        case RunOutcome::NotEnded:
            break;
    }
    return 1603;
}

RunOutcome OutcomeOfPhase(install::InstallPhase phase, bool restartRequired)
{
    switch (phase) {
        case install::InstallPhase::Finished:
            return restartRequired ? RunOutcome::FinishedRestartPending : RunOutcome::Finished;
        case install::InstallPhase::Failed:
            return RunOutcome::Failed;
        case install::InstallPhase::Cancelled:
            return RunOutcome::UserCancelled;
        default:
            return RunOutcome::NotEnded;
    }
}

void RecordRunOutcome(RunOutcome outcome)
{
    g_runOutcome.store(outcome);
}

RunOutcome RecordedRunOutcome()
{
    return g_runOutcome.load();
}

}  // namespace korvex::wizard
