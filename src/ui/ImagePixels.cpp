#include "ui/ImagePixels.h"

namespace korvex::ui {

void PremultiplyBgra(std::uint8_t* pixels, std::size_t pixelCount)
{
    for (std::size_t i = 0; i < pixelCount; ++i, pixels += 4) {
        const unsigned alpha = pixels[3];
        for (int channel = 0; channel < 3; ++channel) {
            pixels[channel] = static_cast<std::uint8_t>(pixels[channel] * alpha / 255);
        }
    }
}

void TintPremultipliedBgra(std::uint8_t* pixels, std::size_t pixelCount, UiColor dark, UiColor light,
                           unsigned lightLuma)
{
    for (std::size_t i = 0; i < pixelCount; ++i, pixels += 4) {
        const unsigned alpha = pixels[3];
        if (alpha == 0) continue;
        // Rec. 601 luma (0 to 255) of the colour before the multiplication.
        const unsigned luma = (299u * pixels[2] + 587u * pixels[1] + 114u * pixels[0]) * 255u / (1000u * alpha);
        const UiColor ink = luma >= lightLuma ? light : dark;
        pixels[0] = static_cast<std::uint8_t>(BlueOf(ink) * alpha / 255);
        pixels[1] = static_cast<std::uint8_t>(GreenOf(ink) * alpha / 255);
        pixels[2] = static_cast<std::uint8_t>(RedOf(ink) * alpha / 255);
    }
}

}  // namespace korvex::ui
