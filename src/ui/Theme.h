#pragma once
// The process-wide theme: named colour roles, the four shared fonts and the
// DPI functions. Start-up assigns the palette and creates the fonts once,
// before the first window; windows only read them and borrow the fonts.
//
// While Windows' high-contrast mode is on, every role takes a system colour
// instead of the dark theme's, and the pictures of the frame and the pages
// are drawn in those colours too (LoadThemeImage). The top-level windows
// refresh the palette when the mode or the system colours change
// (RefreshThemePalette) and have their controls take the new colours.
#include <windows.h>

#include <memory>

#include "ui/Dpi.h"

class CFont;
class CImageWrapper;

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
// Roles the pages and controls used as fixed colours; the same values in
// the dark theme, system colours in high contrast.
extern COLORREF clrLinkText;
extern COLORREF clrLinkHighlight;
extern COLORREF clrSeparator;
extern COLORREF clrFieldText;
extern COLORREF clrFieldBorder;
extern COLORREF clrFieldFocusBorder;
// Outline of the progress track; the track's own colour draws no outline.
extern COLORREF clrProgressTrackBorder;
// Keyboard focus cues: on the window background, and on an accent face.
extern COLORREF clrFocusRing;
extern COLORREF clrFocusRingOnAccent;

// Shared fonts, owned by the theme: borrow them, never delete them.
extern CFont* fontBody;
extern CFont* fontLink;
extern CFont* fontButton;
extern CFont* fontTitle;

// Whether Windows' high-contrast mode is on (SPI_GETHIGHCONTRAST).
bool HighContrastOn();
// Test seam: replaces the mode query (null restores the system's).
using HighContrastQuery = bool (*)();
void SetHighContrastQueryForTesting(HighContrastQuery query);

// The dark theme, or the system colours while high contrast is on.
void InitThemePalette();
// Assigns the palette again; true when any role changed.
bool RefreshThemePalette();
// Returns false when one of the fonts could not be created.
bool CreateThemeFonts();
void DestroyThemeFonts();

// How a picture is drawn in high contrast: in the text colour, in the text
// colour of a selection (on COLOR_HIGHLIGHT), or as a selection itself (its
// dark parts in COLOR_HIGHLIGHT, its light parts in COLOR_HIGHLIGHTTEXT).
enum class ThemeInk { Text, SelectedText, Selection };

// The cached picture of a PNG resource as the theme shows it: the resource
// itself in the dark theme, recoloured with ink in high contrast. Empty when
// the resource does not exist.
std::shared_ptr<CImageWrapper> LoadThemeImage(UINT id, ThemeInk ink = ThemeInk::Text);
