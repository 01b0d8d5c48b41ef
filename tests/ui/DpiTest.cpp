#include <gtest/gtest.h>

#include "ui/Dpi.h"

using namespace korvex::ui;

namespace {

struct DpiCase {
    int dpi;
    double factor;
    int scaled30;
    int step;
    unsigned closeGlyphId;
    int exact4;
};

// The DPI values the toolkit must handle, with what every rule gives there.
const DpiCase kDpiCases[] = {
    {96, 1.0, 30, 96, 106, 4},   {110, 1.0, 30, 110, 106, 4}, {120, 1.25, 37, 120, 107, 5},
    {144, 1.5, 45, 144, 108, 6}, {192, 2.0, 60, 192, 109, 8}, {240, 2.0, 60, 192, 109, 10},
};

class DpiRules : public testing::TestWithParam<DpiCase> {
protected:
    void TearDown() override { SetScreenDpiForTesting(96, 96); }
};

TEST_P(DpiRules, ScaleStepAndImageAtEachDpi)
{
    const DpiCase& c = GetParam();
    SetScreenDpiForTesting(c.dpi, c.dpi);
    EXPECT_EQ(DpiStepFactor(c.dpi), c.factor);
    EXPECT_EQ(DpiScaleX(30), c.scaled30);
    EXPECT_EQ(DpiScaleY(30), c.scaled30);
    EXPECT_EQ(DpiStep(), c.step);
    EXPECT_EQ(DpiImageId(106), c.closeGlyphId);
    EXPECT_EQ(DpiExactX(4), c.exact4);
    EXPECT_EQ(DpiExactY(4), c.exact4);
}

INSTANTIATE_TEST_SUITE_P(AllSteps, DpiRules, testing::ValuesIn(kDpiCases),
                         [](const testing::TestParamInfo<DpiCase>& info) { return std::to_string(info.param.dpi); });

TEST(DpiRules, AxesAreIndependent)
{
    SetScreenDpiForTesting(96, 192);
    EXPECT_EQ(DpiScaleX(28), 28);
    EXPECT_EQ(DpiScaleY(28), 56);
    EXPECT_EQ(DpiExactX(14), 14);
    EXPECT_EQ(DpiExactY(14), 28);
    // The image step follows the vertical DPI.
    EXPECT_EQ(DpiImageId(144), 147u);
    SetScreenDpiForTesting(96, 96);
}

TEST(DpiRules, StepBoundariesSitJustBelowEachStep)
{
    EXPECT_EQ(DpiStepFactor(119), 1.0);
    EXPECT_EQ(DpiStepFactor(143), 1.25);
    EXPECT_EQ(DpiStepFactor(191), 1.5);
    EXPECT_EQ(SteppedDpi(119), 119);
    EXPECT_EQ(SteppedDpi(191), 144);
    EXPECT_EQ(ImageIdForDpi(143, 110), 111u);
}

TEST(DpiRules, ExactScalingTruncates)
{
    // 110 * 4 / 96 = 4.58 and 144 * 3 / 96 = 4.5 both truncate.
    EXPECT_EQ(ScaleExact(110, 4), 4);
    EXPECT_EQ(ScaleExact(144, 3), 4);
    EXPECT_EQ(ScaleExact(120, 22), 27);
}

}  // namespace
