#include <gtest/gtest.h>

#include <vector>

#include "ui/ButtonLook.h"
#include "ui/ImagePixels.h"

namespace {

using namespace korvex::ui;

TEST(ButtonLook, DisabledFaceIsFiftyDarkerAndFloored)
{
    EXPECT_EQ(DisabledFace(MakeColor(0x07, 0xA5, 0xD8)), MakeColor(0x00, 0x73, 0xA6));
    EXPECT_EQ(DisabledFace(MakeColor(0x18, 0x19, 0x1E)), MakeColor(0, 0, 0));
    EXPECT_EQ(DisabledFace(MakeColor(50, 51, 255)), MakeColor(0, 1, 205));
}

TEST(ButtonLook, TextButtonStateColours)
{
    const TextButtonColors colors{1, 2, 3, 4, 11, 12, 13, 14};
    struct Case {
        ButtonState state;
        UiColor face;
        UiColor text;
    };
    const Case cases[] = {
        {{true, false, false}, 2, 12}, {{true, true, false}, 3, 13}, {{true, false, true}, 4, 14},
        {{true, true, true}, 3, 13},   {{false, true, true}, 1, 11}, {{false, false, false}, 1, 11},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TextButtonFace(colors, c.state), c.face);
        EXPECT_EQ(TextButtonText(colors, c.state), c.text);
    }
}

TEST(ButtonLook, RadiusAndTextCentring)
{
    EXPECT_FLOAT_EQ(ClampRadius(4.0f, 40), 4.0f);
    EXPECT_FLOAT_EQ(ClampRadius(4.0f, 6), 3.0f);
    TextMetricsInput metrics;
    metrics.height = 17.0f;
    metrics.layoutHeight = 40.0f;
    metrics.overhangBottom = -22.5f;  // ink ends half a pixel below the line box
    EXPECT_EQ(InkedTextHeight(metrics), 18);
    metrics.top = 2.0f;
    metrics.overhangTop = -1.0f;
    metrics.overhangBottom = -23.0f;
    EXPECT_EQ(InkedTextHeight(metrics), 18);
    EXPECT_EQ(CenteredTextTop(0, 40, 17), 11);
    // Taller than the client: the block starts above it.
    EXPECT_EQ(CenteredTextTop(0, 10, 17), -3);
}

TEST(ButtonLook, ImageFrameChoiceAndCentring)
{
    const ImageFrame one = ButtonImageFrame(UiSize{16, 16}, 1, true, false, UiSize{30, 20});
    EXPECT_EQ(one.index, 0);
    EXPECT_EQ(one.x, 7);
    EXPECT_EQ(one.y, 2);
    const ImageFrame strip = ButtonImageFrame(UiSize{32, 16}, 2, true, false, UiSize{30, 30});
    EXPECT_EQ(strip.index, 1);
    EXPECT_EQ(strip.size, (UiSize{16, 16}));
    const ImageFrame stacked = ButtonImageFrame(UiSize{16, 48}, 3, false, true, UiSize{30, 30});
    EXPECT_EQ(stacked.index, 0);
    EXPECT_EQ(stacked.size, (UiSize{16, 16}));
    EXPECT_EQ(ButtonImageFrame(UiSize{16, 16}, 0, true, true, UiSize{30, 30}).size, (UiSize{0, 0}));
}

TEST(ImagePixels, PremultiplyTruncates)
{
    // BGRA: (200, 100, 50) at alpha 128 becomes (100, 50, 25).
    std::vector<std::uint8_t> pixels = {50, 100, 200, 128, 10, 20, 30, 255, 10, 20, 30, 0, 255, 255, 255, 1};
    PremultiplyBgra(pixels.data(), pixels.size() / 4);
    const std::vector<std::uint8_t> expected = {25, 50, 100, 128, 10, 20, 30, 255, 0, 0, 0, 0, 1, 1, 1, 1};
    EXPECT_EQ(pixels, expected);
}

TEST(ImagePixels, TintKeepsAlphaAndSplitsDarkFromLightParts)
{
    // Premultiplied BGRA: the check box's blue at half alpha, its white tick
    // opaque, a transparent pixel.
    std::vector<std::uint8_t> pixels = {108, 82, 3, 128, 255, 255, 255, 255, 0, 0, 0, 0};
    TintPremultipliedBgra(pixels.data(), pixels.size() / 4, MakeColor(0, 0, 255), MakeColor(255, 255, 0), 192);
    const std::vector<std::uint8_t> expected = {128, 0, 0, 128, 0, 255, 255, 255, 0, 0, 0, 0};
    EXPECT_EQ(pixels, expected);
}

}  // namespace
