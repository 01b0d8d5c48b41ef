#include <gtest/gtest.h>

#include "ui/ProgressGeometry.h"

namespace {

using namespace korvex::ui;

TEST(ProgressGeometry, TrackIsCentredAndRadiusCappedAtHalfHeight)
{
    const TrackGeometry track = CenterTrack(UiRect{0, 0, 300, 20}, 200, 8, 3.0f, 5.0f);
    EXPECT_FLOAT_EQ(track.left, 50.0f);
    EXPECT_FLOAT_EQ(track.top, 6.0f);
    EXPECT_FLOAT_EQ(track.right, 250.0f);
    EXPECT_FLOAT_EQ(track.bottom, 14.0f);
    EXPECT_FLOAT_EQ(track.radiusX, 3.0f);
    EXPECT_FLOAT_EQ(track.radiusY, 4.0f);
    // Odd leftovers centre on half pixels.
    EXPECT_FLOAT_EQ(CenterTrack(UiRect{0, 0, 301, 9}, 200, 8, 3, 3).left, 50.5f);
}

TEST(ProgressGeometry, FillWidthFollowsPosition)
{
    const TrackGeometry track = CenterTrack(UiRect{0, 0, 400, 8}, 400, 8, 3, 3);
    struct Case {
        int position;
        int range;
        float right;
        bool filled;
    };
    const Case cases[] = {
        {0, 1000, 0.0f, false},     {-5, 1000, -2.0f, false},   {425, 1000, 170.0f, true},
        {1000, 1000, 400.0f, true}, {1500, 1000, 600.0f, true}, {5, 0, 400.0f, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.position);
        EXPECT_EQ(HasFill(c.position), c.filled);
        EXPECT_FLOAT_EQ(FillRight(track, c.position, c.range), c.right);
    }
}

}  // namespace
