#pragma once
// The keyboard focus cue of the owner-drawn controls. A control draws its
// cue while it has the focus, unless the window's UI state hides focus cues:
// Windows hides them in a window the mouse opened until the keyboard is used
// there (WM_CHANGEUISTATE), and tells every control with WM_UPDATEUISTATE,
// on which the controls repaint.
#include "mfc/AfxWin.h"

// The window has the keyboard focus and its UI state shows focus cues.
bool ShowsFocusCue(HWND window);
// The window's UI state shows focus cues (it need not have the focus).
bool FocusCuesShown(HWND window);

// A frame width pixels wide just inside rect.
void DrawFocusFrame(CDC& dc, const CRect& rect, int width, COLORREF colour);
