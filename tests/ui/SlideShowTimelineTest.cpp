#include <gtest/gtest.h>

#include "ui/SlideShowTimeline.h"

namespace {

using namespace korvex::ui;

constexpr double kHold = 7.5;
constexpr double kTransition = 0.6;

struct PhaseCase {
    std::int64_t elapsedMs;
    std::size_t slides;
    std::size_t current;
    std::size_t next;
    bool pushing;
    float progress;
};

const PhaseCase kPhases[] = {
    {0, 3, 0, 0, false, 0.0f},
    {7500, 3, 0, 0, false, 0.0f},  // the hold ends inclusive
    {7800, 3, 0, 1, true, 0.5f},   // halfway through the push
    {8100, 3, 1, 1, false, 0.0f},  // slide 1 fully in place
    {16500, 3, 2, 2, false, 0.0f},
    {24000, 3, 2, 0, true, 0.5f},   // the last slide hands over to the first
    {24300, 3, 0, 0, false, 0.0f},  // slide 0 is back
    {7800, 1, 0, 0, false, 0.0f},   // one slide never moves
    {1'000'000'000'000, 3, 1, 1, false, 0.0f},
};

TEST(SlideShowTimeline, PhaseFromTheClock)
{
    for (const PhaseCase& c : kPhases) {
        SCOPED_TRACE(testing::Message() << c.elapsedMs << " ms, " << c.slides << " slides");
        const SlidePhase phase = SlidePhaseAt(c.elapsedMs, c.slides, kHold, kTransition);
        EXPECT_EQ(phase.current, c.current);
        EXPECT_EQ(phase.next, c.next);
        EXPECT_EQ(phase.pushing, c.pushing);
        EXPECT_FLOAT_EQ(phase.progress, c.progress);
    }
}

TEST(SlideShowTimeline, DegenerateTimingShowsTheFirstSlideStill)
{
    const SlidePhase noCycle = SlidePhaseAt(5000, 3, 0.0, 0.0);
    EXPECT_EQ(noCycle.current, 0u);
    EXPECT_FALSE(noCycle.pushing);
    const SlidePhase empty = SlidePhaseAt(5000, 0, kHold, kTransition);
    EXPECT_FALSE(empty.pushing);
    // No hold at all: always pushing, never dividing by zero.
    const SlidePhase instant = SlidePhaseAt(300, 2, 0.0, 0.6);
    EXPECT_TRUE(instant.pushing);
    EXPECT_FLOAT_EQ(instant.progress, 0.5f);
}

TEST(SlideShowTimeline, HalfwayPushMovesHalfTheWidth)
{
    EXPECT_EQ(PushOffset(600, 0.5f), 300);
    EXPECT_EQ(PushOffset(600, 0.0f), 0);
    EXPECT_EQ(PushOffset(601, 0.5f), 300);
    const UiSize area{600, 300};
    const UiSize slide{400, 200};
    const SlidePlacement outgoing = PlaceSlide(area, slide, 300, false);
    const SlidePlacement incoming = PlaceSlide(area, slide, 300, true);
    EXPECT_EQ(outgoing.x, 100 - 300);
    EXPECT_EQ(outgoing.y, 50);
    EXPECT_EQ(incoming.x, 600 + 100 - 300);
}

TEST(SlideShowTimeline, LargeSlideIsCentredAndClippedOnBothSides)
{
    const SlidePlacement still = PlaceSlide(UiSize{600, 300}, UiSize{800, 500}, 0, false);
    EXPECT_EQ(still.x, -100);
    EXPECT_EQ(still.y, -100);
}

}  // namespace
