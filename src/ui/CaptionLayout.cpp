#include "ui/CaptionLayout.h"

#include "ui/Dpi.h"

namespace korvex::ui {

FrameMetrics FrameMetricsForDpi(int dpiX, int dpiY)
{
    FrameMetrics metrics;
    metrics.captionHeight = ScaleStepped(dpiY, 28);
    metrics.lineX = ScaleStepped(dpiX, 1);
    metrics.lineY = ScaleStepped(dpiY, 1);
    metrics.buttonWidth = ScaleStepped(dpiX, 30);
    metrics.buttonHeight = ScaleStepped(dpiY, 30);
    return metrics;
}

CaptionButtonRects PrepareCaptionButton(const FrameMetrics& metrics, int frameWidth, int frameHeight)
{
    CaptionButtonRects rects;
    rects.button = {0, 0, metrics.buttonWidth, metrics.buttonHeight};
    rects.glyph.left = (metrics.buttonWidth - frameWidth) / 2;
    rects.glyph.top = (metrics.buttonHeight - frameHeight) / 2;
    rects.glyph.right = rects.glyph.left + frameWidth;
    rects.glyph.bottom = rects.glyph.top + frameHeight;
    return rects;
}

UiRect ClientFromWindowRect(const UiRect& proposed, bool maximized, const FrameMetrics& metrics)
{
    constexpr int kMaximizedOverhang = 8;
    UiRect client = proposed;
    if (maximized) {
        client.left += kMaximizedOverhang;
        client.right -= kMaximizedOverhang;
        client.bottom -= kMaximizedOverhang;
        client.top += metrics.TopInset() + kMaximizedOverhang;
    } else {
        client.top += metrics.TopInset();
        client.left += metrics.lineX;
        client.right -= metrics.lineX;
        client.bottom -= metrics.lineY;
    }
    return client;
}

namespace {

void MoveButtonTo(CaptionButtonRects& rects, int left, int top)
{
    const int dx = left - rects.button.left;
    const int dy = top - rects.button.top;
    rects.button.Offset(dx, dy);
    rects.glyph.Offset(dx, dy);
}

}  // namespace

void LayoutCaptionButtons(std::array<CaptionButtonRects, kCaptionButtonCount>& buttons, const UiRect& frame,
                          const FrameMetrics& metrics)
{
    const UiRect inner{frame.left + metrics.lineX, frame.top + metrics.lineY, frame.right - metrics.lineX,
                       frame.bottom - metrics.lineY};
    const int closeWidth = buttons[kCaptionClose].button.Width();
    const int maximizeWidth = buttons[kCaptionMaximize].button.Width();
    const int minimizeWidth = buttons[kCaptionMinimize].button.Width();
    MoveButtonTo(buttons[kCaptionClose], inner.right - closeWidth, inner.top);
    MoveButtonTo(buttons[kCaptionMaximize], inner.right - closeWidth - maximizeWidth, inner.top);
    // Restore shares the maximise slot.
    MoveButtonTo(buttons[kCaptionRestore], inner.right - closeWidth - maximizeWidth, inner.top);
    MoveButtonTo(buttons[kCaptionMinimize], inner.right - closeWidth - maximizeWidth - minimizeWidth, inner.top);
}

}  // namespace korvex::ui
