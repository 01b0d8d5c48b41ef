#include <gtest/gtest.h>

#include "ui/CaptionLayout.h"

namespace {

using namespace korvex::ui;

using Buttons = std::array<CaptionButtonRects, kCaptionButtonCount>;

Buttons PreparedButtons(const FrameMetrics& metrics, int glyph, bool hasMaximizeBox)
{
    Buttons buttons;
    for (auto& rects : buttons) rects = PrepareCaptionButton(metrics, glyph, glyph);
    if (!hasMaximizeBox) buttons[kCaptionMaximize] = buttons[kCaptionRestore] = CaptionButtonRects{};
    return buttons;
}

TEST(CaptionLayout, GlyphIsCentredInTheButton)
{
    const FrameMetrics metrics = FrameMetricsForDpi(96, 96);
    const CaptionButtonRects rects = PrepareCaptionButton(metrics, 16, 16);
    EXPECT_EQ(rects.button, (UiRect{0, 0, 30, 30}));
    EXPECT_EQ(rects.glyph, (UiRect{7, 7, 23, 23}));
    // At 150 % the 24-pixel glyph sits in a 45-pixel button, rounded down.
    const CaptionButtonRects large = PrepareCaptionButton(FrameMetricsForDpi(144, 144), 24, 24);
    EXPECT_EQ(large.button, (UiRect{0, 0, 45, 45}));
    EXPECT_EQ(large.glyph, (UiRect{10, 10, 34, 34}));
}

TEST(CaptionLayout, ButtonsRunFromTheRightEdgeInward)
{
    const FrameMetrics metrics = FrameMetricsForDpi(96, 96);
    Buttons buttons = PreparedButtons(metrics, 16, true);
    LayoutCaptionButtons(buttons, UiRect{0, 0, 400, 300}, metrics);
    EXPECT_EQ(buttons[kCaptionClose].button, (UiRect{369, 1, 399, 31}));
    EXPECT_EQ(buttons[kCaptionMaximize].button, (UiRect{339, 1, 369, 31}));
    EXPECT_EQ(buttons[kCaptionRestore].button, buttons[kCaptionMaximize].button);
    EXPECT_EQ(buttons[kCaptionMinimize].button, (UiRect{309, 1, 339, 31}));
    EXPECT_EQ(buttons[kCaptionClose].glyph, (UiRect{376, 8, 392, 24}));
}

TEST(CaptionLayout, WithoutMaximizeBoxMinimizeSitsNextToClose)
{
    const FrameMetrics metrics = FrameMetricsForDpi(96, 96);
    Buttons buttons = PreparedButtons(metrics, 16, false);
    LayoutCaptionButtons(buttons, UiRect{0, 0, 400, 300}, metrics);
    EXPECT_EQ(buttons[kCaptionMinimize].button, (UiRect{339, 1, 369, 31}));
    EXPECT_TRUE(buttons[kCaptionMaximize].button.IsEmpty());
    EXPECT_FALSE(buttons[kCaptionMaximize].button.Contains(buttons[kCaptionMaximize].button.left, 1));
}

TEST(CaptionLayout, RepeatedLayoutDoesNotDrift)
{
    const FrameMetrics metrics = FrameMetricsForDpi(120, 120);
    Buttons buttons = PreparedButtons(metrics, 20, true);
    LayoutCaptionButtons(buttons, UiRect{0, 0, 500, 300}, metrics);
    const Buttons once = buttons;
    LayoutCaptionButtons(buttons, UiRect{0, 0, 500, 300}, metrics);
    for (int id = 0; id < kCaptionButtonCount; ++id) {
        EXPECT_EQ(buttons[id].button, once[id].button) << id;
        EXPECT_EQ(buttons[id].glyph, once[id].glyph) << id;
    }
    // A wider window moves every button by the same amount.
    LayoutCaptionButtons(buttons, UiRect{0, 0, 600, 300}, metrics);
    EXPECT_EQ(buttons[kCaptionMinimize].button.left - once[kCaptionMinimize].button.left, 100);
}

TEST(CaptionLayout, ClientAreaInsets)
{
    const UiRect window{100, 50, 500, 350};
    EXPECT_EQ(ClientFromWindowRect(window, false, FrameMetricsForDpi(96, 96)), (UiRect{101, 79, 499, 349}));
    EXPECT_EQ(ClientFromWindowRect(window, false, FrameMetricsForDpi(144, 144)), (UiRect{101, 93, 499, 349}));
    // Maximised: 8 unscaled pixels hang outside the work area.
    EXPECT_EQ(ClientFromWindowRect(window, true, FrameMetricsForDpi(96, 96)), (UiRect{108, 87, 492, 342}));
}

}  // namespace
