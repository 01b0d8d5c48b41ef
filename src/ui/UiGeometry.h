#pragma once
// Plain rectangle and colour helpers for the toolkit's pure layout code, so
// the arithmetic builds without Windows headers.
#include <cstdint>

namespace korvex::ui {

struct UiRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool IsEmpty() const { return right <= left || bottom <= top; }
    bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
    void Offset(int dx, int dy)
    {
        left += dx;
        right += dx;
        top += dy;
        bottom += dy;
    }
    bool operator==(const UiRect&) const = default;
};

struct UiSize {
    int cx = 0;
    int cy = 0;
    bool operator==(const UiSize&) const = default;
};

// Colours in GDI's layout, 0x00BBGGRR.
using UiColor = std::uint32_t;

constexpr UiColor MakeColor(unsigned red, unsigned green, unsigned blue)
{
    return static_cast<UiColor>((red & 0xFF) | ((green & 0xFF) << 8) | ((blue & 0xFF) << 16));
}
constexpr unsigned RedOf(UiColor color)
{
    return color & 0xFF;
}
constexpr unsigned GreenOf(UiColor color)
{
    return (color >> 8) & 0xFF;
}
constexpr unsigned BlueOf(UiColor color)
{
    return (color >> 16) & 0xFF;
}

}  // namespace korvex::ui
