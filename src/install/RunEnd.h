#pragma once
// How an installation run ends, from what its steps did. A run that installed
// every item has put the product on the machine: it is registered and ends
// Finished, also when a cancel was confirmed too late to stop anything, so
// that the exit code says what is installed. A run that stopped short ends
// Cancelled when the user cancelled, else Failed, and only a failed download
// (or server manifest) adds the connect box.

#include "install/InstallProgress.h"

namespace korvex::install {

struct RunEndFacts {
    bool m_bInstalled = false;   // every step succeeded
    bool m_bCancelling = false;  // the phase is Cancelling
    bool m_bDownloadFailed = false;
};

struct RunEnd {
    InstallPhase m_phase = InstallPhase::Failed;
    bool m_bRegister = false;
    bool m_bShowConnectError = false;
};

RunEnd DecideRunEnd(const RunEndFacts& facts);

}  // namespace korvex::install
