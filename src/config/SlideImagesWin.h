#pragma once
// The slides on disk or inside the executable.

#include <string>
#include <string_view>
#include <vector>

#include "config/SlideImages.h"

// Full paths of the slides for the current language and scale. The list is
// kept for the process and fixed by the first call that finds any; paths that
// would not fit the classic 260-character limit are skipped.
std::vector<std::wstring> GetSlideImages();

// The bytes of the slides the executable carries for the current language
// and scale, in name order; empty when a language folder lies beside it.
std::vector<std::string_view> GetEmbeddedSlideImages();
