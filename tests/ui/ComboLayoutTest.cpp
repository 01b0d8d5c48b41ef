#include <gtest/gtest.h>

#include "ui/ComboLayout.h"

namespace {

using namespace korvex::ui;

TEST(ComboLayout, ArrowAt96Dpi)
{
    const UiSize frame = ArrowFrameSize(UiSize{42, 14}, true);
    EXPECT_EQ(frame, (UiSize{14, 14}));
    EXPECT_EQ(ArrowFrameSize(UiSize{14, 42}, false), (UiSize{14, 14}));
    const UiRect client{0, 0, 200, 24};
    const ComboFaceLayout face = LayoutComboFace(client, frame, 96);
    EXPECT_EQ(face.arrowBack, (UiRect{176, 0, 200, 24}));
    EXPECT_EQ(client.right - face.arrowX, 19);
    EXPECT_EQ(face.arrowY, 5);
    EXPECT_EQ(face.arrowZone, (UiRect{178, 0, 196, 24}));
}

TEST(ComboLayout, ArrowBackIsAtLeastTheFrameWide)
{
    // A frame wider than the scaled 24 pixels widens the zone behind it.
    const ComboFaceLayout face = LayoutComboFace(UiRect{0, 0, 200, 30}, UiSize{28, 16}, 96);
    EXPECT_EQ(face.arrowBack.Width(), 28);
    EXPECT_EQ(LayoutComboFace(UiRect{0, 0, 200, 36}, UiSize{21, 12}, 144).arrowBack.Width(), 36);
}

TEST(ComboLayout, TextStopsShortOfTheArrow)
{
    const UiRect text = ComboTextRect(UiRect{0, 0, 200, 24}, UiSize{14, 14}, 16, 96);
    EXPECT_EQ(text, (UiRect{4, 4, 200 - 8 - 14 + 1, 20}));
}

TEST(ComboLayout, ArrowZoneHitTest)
{
    const UiRect client{0, 0, 200, 24};
    const UiRect zone{178, 0, 196, 24};
    EXPECT_TRUE(IsInArrowZone(client, zone, 199, 12));
    EXPECT_TRUE(IsInArrowZone(client, zone, 181, 1));
    EXPECT_FALSE(IsInArrowZone(client, zone, 180, 12));
    EXPECT_FALSE(IsInArrowZone(client, zone, 190, 0));
    EXPECT_TRUE(IsInArrowZone(client, zone, 190, 23));
    EXPECT_FALSE(IsInArrowZone(client, zone, 190, 24));
}

TEST(ComboLayout, ListWidth)
{
    ListWidthInput input;
    input.itemWidths = {80, 150, 120};
    input.scrollBarWidth = 17;
    input.averageCharWidth = 6;
    input.edgeWidth = 2;
    input.comboWidth = 100;
    EXPECT_EQ(DropDownListWidth(input, 96), 150 + 12 + 4);
    // Never narrower than the combo box itself.
    input.comboWidth = 300;
    EXPECT_EQ(DropDownListWidth(input, 96), 300);
    // Thirty items fit without a scroll bar; the thirty-first adds one.
    input.comboWidth = 0;
    input.itemWidths.assign(30, 100);
    EXPECT_EQ(DropDownListWidth(input, 96), 116);
    input.itemWidths.push_back(100);
    EXPECT_EQ(DropDownListWidth(input, 96), 116 + 17);
    // Padding follows the unstepped DPI.
    EXPECT_EQ(DropDownListWidth(input, 120), 100 + 17 + 2 * 7 + 2 * 2);
}

TEST(ComboLayout, ListIsKeptOnTheMonitor)
{
    // Overflowing the right edge moves the list left to end at that edge.
    EXPECT_EQ(KeepListOnMonitor(1500, UiRect{1500, 300, 1700, 400}, 1600), 1400);
    // Fits: unchanged.
    EXPECT_EQ(KeepListOnMonitor(100, UiRect{100, 300, 300, 400}, 1600), 100);
    // A box that starts beyond this monitor's right edge is left alone.
    EXPECT_EQ(KeepListOnMonitor(1700, UiRect{1700, 300, 1900, 400}, 1600), 1700);
}

}  // namespace
