#pragma once
// Pixel work on decoded 32-bit BGRA pictures.
#include <cstddef>
#include <cstdint>

namespace korvex::ui {

// AlphaBlend with per-pixel alpha wants colour already multiplied by alpha.
void PremultiplyBgra(std::uint8_t* pixels, std::size_t pixelCount);

}  // namespace korvex::ui
