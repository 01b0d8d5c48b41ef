#pragma once
// Pixel work on decoded 32-bit BGRA pictures.
#include <cstddef>
#include <cstdint>

#include "ui/UiGeometry.h"

namespace korvex::ui {

// AlphaBlend with per-pixel alpha wants colour already multiplied by alpha.
void PremultiplyBgra(std::uint8_t* pixels, std::size_t pixelCount);

// Recolours premultiplied pixels, keeping their alpha: a pixel whose own
// colour (before the multiplication) has a luma below lightLuma (0 to 255)
// takes dark, any other light. One colour for both draws a silhouette.
void TintPremultipliedBgra(std::uint8_t* pixels, std::size_t pixelCount, UiColor dark, UiColor light,
                           unsigned lightLuma);

}  // namespace korvex::ui
