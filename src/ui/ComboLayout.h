#pragma once
// Geometry of the flat combo box: the arrow strip, the arrow zone, the face
// text and the width and position of the drop-down list.
#include <vector>

#include "ui/UiGeometry.h"

namespace korvex::ui {

// One frame of an arrow strip holding three frames.
UiSize ArrowFrameSize(const UiSize& image, bool framesHorizontal);

enum ArrowFrame { kArrowDark = 0, kArrowBright = 1, kArrowDim = 2 };

struct ComboFaceLayout {
    UiRect arrowBack;  // filled behind the arrow
    int arrowX = 0;    // where the arrow frame is drawn
    int arrowY = 0;
    UiRect arrowZone;  // the zone that opens the list of an editable box
};

// dpiX/dpiY are the screen values; the offsets use both stepped and exact rules.
ComboFaceLayout LayoutComboFace(const UiRect& client, const UiSize& arrowFrame, int dpiX);

// Rectangle of the face text for a text height.
UiRect ComboTextRect(const UiRect& client, const UiSize& arrowFrame, int textHeight, int dpiX);

// Whether a click at (x, y) lies in the arrow zone of an editable box.
bool IsInArrowZone(const UiRect& client, const UiRect& arrowZone, int x, int y);

struct ListWidthInput {
    std::vector<int> itemWidths;
    int scrollBarWidth = 0;
    int averageCharWidth = 0;
    int edgeWidth = 0;
    int comboWidth = 0;
};

// Widest item plus padding; a long list adds room for its scroll bar. Never
// narrower than the combo box.
int DropDownListWidth(const ListWidthInput& input, int dpiX);

// Left edge of the list after moving it back onto the monitor.
int KeepListOnMonitor(int comboLeft, const UiRect& list, int monitorRight);

}  // namespace korvex::ui
