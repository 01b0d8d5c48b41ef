#pragma once
// The process-wide dark theme: named colour roles, the four shared fonts and
// the DPI functions. Start-up assigns the palette and creates the fonts once,
// before the first window; windows only read them and borrow the fonts.
#include <windows.h>

#include "ui/Dpi.h"

class CFont;

extern COLORREF clrCaptionText;
extern COLORREF clrWindowBack;
extern COLORREF clrFrameBorder;
extern COLORREF clrCaptionBack;
extern COLORREF clrCloseHover;
extern COLORREF clrClosePressed;
extern COLORREF clrCaptionButtonHover;
extern COLORREF clrCaptionButtonPressed;
extern COLORREF clrTitleText;
extern COLORREF clrProgressTrack;
extern COLORREF clrProgressFill;
extern COLORREF clrLabelText;
extern COLORREF clrFieldBack;
extern COLORREF clrFieldButton;
extern COLORREF clrTextButtonDisabled;
extern COLORREF clrTextButtonFace;
extern COLORREF clrTextButtonHover;
extern COLORREF clrTextButtonPressed;
extern COLORREF clrTextButtonText;
extern COLORREF clrTextButtonDisabledText;

// Shared fonts, owned by the theme: borrow them, never delete them.
extern CFont* fontBody;
extern CFont* fontLink;
extern CFont* fontButton;
extern CFont* fontTitle;

void InitThemePalette();
// Returns false when one of the fonts could not be created.
bool CreateThemeFonts();
void DestroyThemeFonts();
