#pragma once
// The loaded product configuration as lines of the run log: the manifest's
// path and every value read from it, the language chosen and an earlier
// installation. Addresses lose any credentials they carry.

#include <string>
#include <vector>

#include "config/ProductConfiguration.h"

namespace korvex::config {

std::vector<std::wstring> SummarizeConfiguration(const ProductConfiguration& configuration);

}  // namespace korvex::config
