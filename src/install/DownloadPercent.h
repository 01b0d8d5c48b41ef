#pragma once
// The progress functions the install worker hands to its download jobs.

#include <cstdint>

#include "download/DownloadStatus.h"
#include "install/InstallPlan.h"
#include "install/InstallProgress.h"

namespace korvex::install {

// received * 100 / expected, 0 when the size is not known, at most 100.
std::int32_t DownloadPercent(std::uint64_t nReceived, std::uint64_t nExpected);

// Turns every report of the item's job into a Downloading report at the
// item's position among the downloaded items. The item's percentage never
// falls back: the job repeats its starting record once the transfer is over.
DownloadStatusFunction MakeItemProgressFunction(InstallProgress& progress, std::int32_t nPosition,
                                                InstallPlanItem item);

}  // namespace korvex::install
