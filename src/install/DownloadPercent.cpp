#include "install/DownloadPercent.h"

#include <algorithm>
#include <utility>

namespace korvex::install {

std::int32_t DownloadPercent(std::uint64_t nReceived, std::uint64_t nExpected)
{
    if (nExpected == 0) {
        return 0;
    }
    if (nReceived >= nExpected) {
        return 100;
    }
    // Wide enough that no count overflows the multiplication.
    return static_cast<std::int32_t>(static_cast<unsigned __int128>(nReceived) * 100 / nExpected);
}

DownloadStatusFunction MakeItemProgressFunction(InstallProgress& progress, std::int32_t nPosition, InstallPlanItem item)
{
    return [&progress, nPosition, item = std::move(item), nHighest = 0](const DownloadStatusInfo& status) mutable {
        nHighest = std::max(nHighest, DownloadPercent(status.m_nBytesReceived, status.m_nExpectedSize));
        progress.Set(InstallPhase::Downloading, nPosition, nHighest, item.m_strName);
    };
}

}  // namespace korvex::install
