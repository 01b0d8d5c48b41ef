#include "ui/ButtonLook.h"

#include <algorithm>
#include <cmath>

namespace korvex::ui {

UiColor DisabledFace(UiColor face)
{
    auto darker = [](unsigned channel) { return channel > 50 ? channel - 50 : 0u; };
    return MakeColor(darker(RedOf(face)), darker(GreenOf(face)), darker(BlueOf(face)));
}

UiColor TextButtonFace(const TextButtonColors& colors, const ButtonState& state)
{
    if (!state.enabled) return colors.faceDisabled;
    if (state.hover) return colors.faceHover;
    if (state.pressed) return colors.facePressed;
    return colors.face;
}

UiColor TextButtonText(const TextButtonColors& colors, const ButtonState& state)
{
    if (!state.enabled) return colors.textDisabled;
    if (state.hover) return colors.textHover;
    if (state.pressed) return colors.textPressed;
    return colors.text;
}

float ClampRadius(float radius, int side)
{
    return std::min(radius, static_cast<float>(side) / 2.0f);
}

int InkedTextHeight(const TextMetricsInput& m)
{
    const float above = std::max(0.0f, m.top + m.overhangTop);
    const float below = std::max(0.0f, m.layoutHeight + m.overhangBottom - m.top - m.height);
    return static_cast<int>(std::ceil(above + m.height + below));
}

int CenteredTextTop(int clientTop, int clientHeight, int inkedHeight)
{
    return clientTop + (clientHeight - inkedHeight) / 2;
}

ImageFrame ButtonImageFrame(const UiSize& image, int frameCount, bool framesHorizontal, bool enabled,
                            const UiSize& item)
{
    ImageFrame frame;
    if (frameCount <= 0) return frame;
    frame.index = !enabled && frameCount >= 2 ? 1 : 0;
    frame.size = framesHorizontal ? UiSize{image.cx / frameCount, image.cy} : UiSize{image.cx, image.cy / frameCount};
    frame.x = (item.cx - frame.size.cx) / 2;
    frame.y = (item.cy - frame.size.cy) / 2;
    return frame;
}

}  // namespace korvex::ui
