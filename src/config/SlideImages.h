#pragma once
// The slide-show images of the progress page:
// <language folder>\<LANGID>\slidesPro\<scale>\*.jpg, the scale (100, 125,
// 150 or 200) following the screen's stepped DPI.

#include <string>
#include <string_view>
#include <vector>

namespace korvex::config {

// The folder name for a stepped DPI (120, 144, 192, or the DPI below 120).
inline int SlideScaleForDpiStep(int dpiStep)
{
    if (dpiStep == 192) {
        return 200;
    }
    if (dpiStep == 144) {
        return 150;
    }
    return dpiStep < 120 ? 100 : 125;
}

}  // namespace korvex::config
