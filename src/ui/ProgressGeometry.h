#pragma once
// Where the progress bar's track and fill lie, in the float coordinates that
// Direct2D draws with.
#include "ui/UiGeometry.h"

namespace korvex::ui {

struct TrackGeometry {
    float left = 0;
    float top = 0;
    float right = 0;
    float bottom = 0;
    float radiusX = 0;
    float radiusY = 0;
};

// The track of the given size centred in the client rectangle; the vertical
// radius never exceeds half the track height.
TrackGeometry CenterTrack(const UiRect& client, int trackWidth, int trackHeight, float radiusX, float radiusY);

// Right edge of the fill rectangle, before it is cut to the track. Nothing is
// filled at or below position 0; an empty range counts as full.
bool HasFill(int position);
float FillRight(const TrackGeometry& track, int position, int range);

}  // namespace korvex::ui
