#include "ui/ProgressGeometry.h"

#include <algorithm>

namespace korvex::ui {

TrackGeometry CenterTrack(const UiRect& client, int trackWidth, int trackHeight, float radiusX, float radiusY)
{
    TrackGeometry track;
    const float width = static_cast<float>(trackWidth);
    const float height = static_cast<float>(trackHeight);
    track.left = static_cast<float>(client.left) + static_cast<float>(client.Width() - trackWidth) * 0.5f;
    track.top = static_cast<float>(client.top) + static_cast<float>(client.Height() - trackHeight) * 0.5f;
    track.right = track.left + width;
    track.bottom = track.top + height;
    track.radiusX = radiusX;
    track.radiusY = std::min(radiusY, height / 2.0f);
    return track;
}

bool HasFill(int position)
{
    return position > 0;
}

float FillRight(const TrackGeometry& track, int position, int range)
{
    const float width = track.right - track.left;
    if (range <= 0) return track.right;
    return track.left + width * (static_cast<float>(position) / static_cast<float>(range));
}

}  // namespace korvex::ui
