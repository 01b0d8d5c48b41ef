#pragma once
// Geometry of the skinned frame: the non-client insets and where the caption
// buttons sit. The buttons live in a fixed order (close, maximise, restore,
// minimise) whose index is the button id.
#include <array>

#include "ui/UiGeometry.h"

namespace korvex::ui {

enum CaptionButtonId { kCaptionClose = 0, kCaptionMaximize = 1, kCaptionRestore = 2, kCaptionMinimize = 3 };
constexpr int kCaptionButtonCount = 4;

// Scaled frame metrics: caption strip height and the one-pixel lines.
struct FrameMetrics {
    int captionHeight = 28;
    int lineX = 1;  // sx
    int lineY = 1;  // sy
    int buttonWidth = 30;
    int buttonHeight = 30;
    // The caption strip plus the line above it.
    int TopInset() const { return captionHeight + lineY; }
};

FrameMetrics FrameMetricsForDpi(int dpiX, int dpiY);

struct CaptionButtonRects {
    UiRect button;
    UiRect glyph;
};

// A button at the origin with its glyph frame centred in it.
CaptionButtonRects PrepareCaptionButton(const FrameMetrics& metrics, int frameWidth, int frameHeight);

// Client rectangle from the proposed window rectangle. A maximised window
// hangs 8 unscaled pixels outside the work area on three sides.
UiRect ClientFromWindowRect(const UiRect& proposed, bool maximized, const FrameMetrics& metrics);

// Places the buttons from the right edge of the frame rectangle inward;
// repeatable without drift since it only moves the rectangles.
void LayoutCaptionButtons(std::array<CaptionButtonRects, kCaptionButtonCount>& buttons, const UiRect& frame,
                          const FrameMetrics& metrics);

}  // namespace korvex::ui
