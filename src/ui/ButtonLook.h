#pragma once
// State rules of the owner-drawn buttons: which colour a face takes, where
// an image frame sits, and how a text block is centred.
#include "ui/UiGeometry.h"

namespace korvex::ui {

// An image button's face when disabled: 50 less on each channel, floored at 0.
UiColor DisabledFace(UiColor face);

struct ButtonState {
    bool enabled = true;
    bool hover = false;
    bool pressed = false;
};

struct TextButtonColors {
    UiColor faceDisabled;
    UiColor face;
    UiColor faceHover;
    UiColor facePressed;
    UiColor textDisabled;
    UiColor text;
    UiColor textHover;
    UiColor textPressed;
};

// Hover wins over pressed: a held button shows the pressed face only once
// the mouse has left it.
UiColor TextButtonFace(const TextButtonColors& colors, const ButtonState& state);
UiColor TextButtonText(const TextButtonColors& colors, const ButtonState& state);

// Corner radius limited to half the side it rounds.
float ClampRadius(float radius, int side);

struct TextMetricsInput {
    float top = 0;
    float height = 0;
    float layoutHeight = 0;
    float overhangTop = 0;
    float overhangBottom = 0;
};

// Height of the inked block of a text layout, from its metrics and overhangs.
int InkedTextHeight(const TextMetricsInput& metrics);

// Top of a text block of inkedHeight centred in the client height.
int CenteredTextTop(int clientTop, int clientHeight, int inkedHeight);

struct ImageFrame {
    int index = 0;
    UiSize size;
    int x = 0;
    int y = 0;
};

// Frame 1 of a strip stands for the disabled look when there is one.
ImageFrame ButtonImageFrame(const UiSize& image, int frameCount, bool framesHorizontal, bool enabled,
                            const UiSize& item);

}  // namespace korvex::ui
