#include "ui/SlideShowTimeline.h"

#include <cmath>

namespace korvex::ui {

SlidePhase SlidePhaseAt(std::int64_t elapsedMilliseconds, std::size_t slideCount, double holdSeconds,
                        double transitionSeconds)
{
    SlidePhase phase;
    if (slideCount == 0) return phase;
    // Whole milliseconds keep cycle boundaries exact (8.1 s is not exact in binary).
    const std::int64_t holdMs = std::llround(std::fmax(holdSeconds, 0.0) * 1000.0);
    const std::int64_t transitionMs = std::llround(std::fmax(transitionSeconds, 0.0) * 1000.0);
    const std::int64_t cycleMs = holdMs + transitionMs;
    if (cycleMs <= 0 || elapsedMilliseconds < 0) return phase;
    const std::int64_t cycle = elapsedMilliseconds / cycleMs;
    const std::int64_t intoCycle = elapsedMilliseconds % cycleMs;
    phase.current = static_cast<std::size_t>(cycle % static_cast<std::int64_t>(slideCount));
    phase.next = phase.current + 1 == slideCount ? 0 : phase.current + 1;
    if (slideCount == 1 || intoCycle <= holdMs) {
        phase.next = phase.current;
        return phase;
    }
    phase.pushing = true;
    phase.progress = static_cast<float>(intoCycle - holdMs) / static_cast<float>(transitionMs);
    return phase;
}

int PushOffset(int areaWidth, float progress)
{
    return static_cast<int>(static_cast<float>(areaWidth) * progress);
}

SlidePlacement PlaceSlide(const UiSize& area, const UiSize& slide, int offset, bool incoming)
{
    SlidePlacement placement;
    placement.x = (area.cx - slide.cx) / 2 - offset + (incoming ? area.cx : 0);
    placement.y = (area.cy - slide.cy) / 2;
    return placement;
}

}  // namespace korvex::ui
