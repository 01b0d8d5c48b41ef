#include "install/RunEnd.h"

namespace korvex::install {

RunEnd DecideRunEnd(const RunEndFacts& facts)
{
    if (facts.m_bInstalled) {
        return RunEnd{InstallPhase::Finished, true, false};
    }
    if (facts.m_bCancelling) {
        return RunEnd{InstallPhase::Cancelled, false, false};
    }
    return RunEnd{InstallPhase::Failed, false, facts.m_bDownloadFailed};
}

}  // namespace korvex::install
