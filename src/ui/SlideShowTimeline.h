#pragma once
// Which slide a slide show shows at a moment, computed from the clock alone,
// so a slow paint skips frames instead of slowing the show.
#include <cstddef>
#include <cstdint>

#include "ui/UiGeometry.h"

namespace korvex::ui {

struct SlidePhase {
    std::size_t current = 0;
    std::size_t next = 0;
    bool pushing = false;
    float progress = 0.0f;  // 0 to 1 through the push
};

// Each cycle holds one slide still for holdSeconds, then pushes it out to the
// left by the next one in transitionSeconds. A single slide never moves.
SlidePhase SlidePhaseAt(std::int64_t elapsedMilliseconds, std::size_t slideCount, double holdSeconds,
                        double transitionSeconds);

// Horizontal shift of the outgoing slide, in whole pixels.
int PushOffset(int areaWidth, float progress);

struct SlidePlacement {
    int x = 0;
    int y = 0;
};

// A slide of the given size centred in the area, shifted left by offset;
// the incoming slide of a push sits one area width further right.
SlidePlacement PlaceSlide(const UiSize& area, const UiSize& slide, int offset, bool incoming);

}  // namespace korvex::ui
