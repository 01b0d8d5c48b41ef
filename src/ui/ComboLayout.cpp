#include "ui/ComboLayout.h"

#include <algorithm>

#include "ui/Dpi.h"

namespace korvex::ui {

namespace {
constexpr int kArrowFrames = 3;
constexpr int kLongListItems = 30;
}  // namespace

UiSize ArrowFrameSize(const UiSize& image, bool framesHorizontal)
{
    if (framesHorizontal) return {image.cx / kArrowFrames, image.cy};
    return {image.cx, image.cy / kArrowFrames};
}

ComboFaceLayout LayoutComboFace(const UiRect& client, const UiSize& arrowFrame, int dpiX)
{
    ComboFaceLayout layout;
    const int width = client.Width();
    const int height = client.Height();
    const int backWidth = std::max(arrowFrame.cx, ScaleStepped(dpiX, 24));
    layout.arrowBack = {width - backWidth, client.top, width, client.top + height};
    layout.arrowX = client.right - arrowFrame.cx - ScaleStepped(dpiX, 5);
    layout.arrowY = (height - arrowFrame.cy) / 2;
    const int pad = ScaleExact(dpiX, 4);
    layout.arrowZone.left = client.right - arrowFrame.cx - 2 * pad;
    layout.arrowZone.right = layout.arrowZone.left + arrowFrame.cx + pad;
    layout.arrowZone.top = client.top;
    layout.arrowZone.bottom = client.bottom;
    return layout;
}

UiRect ComboTextRect(const UiRect& client, const UiSize& arrowFrame, int textHeight, int dpiX)
{
    const int pad = ScaleExact(dpiX, 4);
    UiRect text;
    text.left = client.left + pad;
    text.top = (client.Height() - textHeight) / 2;
    text.right = client.Width() - 2 * pad - arrowFrame.cx + ScaleExact(dpiX, 1);
    text.bottom = text.top + textHeight;
    return text;
}

bool IsInArrowZone(const UiRect& client, const UiRect& arrowZone, int x, int y)
{
    const int width = client.Width();
    const int height = client.Height();
    return y >= 1 && y <= height - 1 && x >= width - (arrowZone.Width() + 1) && x < width;
}

int DropDownListWidth(const ListWidthInput& input, int dpiX)
{
    const int extra = input.itemWidths.size() > kLongListItems ? input.scrollBarWidth : 0;
    int widest = 0;
    for (int width : input.itemWidths) widest = std::max(widest, width + extra);
    const int width = widest + 2 * ScaleExact(dpiX, input.averageCharWidth) + 2 * ScaleExact(dpiX, input.edgeWidth);
    return std::max(width, input.comboWidth);
}

int KeepListOnMonitor(int comboLeft, const UiRect& list, int monitorRight)
{
    if (comboLeft < monitorRight && list.right > monitorRight) return list.left - (list.right - monitorRight);
    return list.left;
}

}  // namespace korvex::ui
