#pragma once
// How a run ended, recorded by the window that ended it and turned into the
// process exit code at exit, for deployment tools that read it. The codes are
// the Windows Installer's own: 0 success, 3010 success with a restart
// pending, 1602 cancelled by the user, 1603 fatal error, 1618 another
// installation running, 1638 this version already installed.

#include <atomic>

#include "install/InstallProgress.h"

namespace korvex::wizard {

enum class RunOutcome : int {
    NotEnded = 0,  // nothing recorded: the run stopped before any window
    Finished,
    FinishedRestartPending,
    UserCancelled,
    Failed,
    ServerUnreachable,
    AlreadyCurrent,
    SecondInstance,
    HandedToNewClient,
};

int ExitCodeOf(RunOutcome outcome);

// How the install worker's end phase ends the run; NotEnded while the phase
// is not an end phase.
RunOutcome OutcomeOfPhase(install::InstallPhase phase, bool restartRequired);

// The outcome of this process's run; written on the UI thread, read at exit.
void RecordRunOutcome(RunOutcome outcome);
RunOutcome RecordedRunOutcome();

}  // namespace korvex::wizard
