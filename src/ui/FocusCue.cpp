#include "ui/FocusCue.h"

bool FocusCuesShown(HWND window)
{
    return (SendMessageW(window, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS) == 0;
}

bool ShowsFocusCue(HWND window)
{
    return window && GetFocus() == window && FocusCuesShown(window);
}

void DrawFocusFrame(CDC& dc, const CRect& rect, int width, COLORREF colour)
{
    if (width <= 0 || rect.Width() < 2 * width || rect.Height() < 2 * width) return;
    dc.FillSolidRect(rect.left, rect.top, rect.Width(), width, colour);
    dc.FillSolidRect(rect.left, rect.bottom - width, rect.Width(), width, colour);
    dc.FillSolidRect(rect.left, rect.top + width, width, rect.Height() - 2 * width, colour);
    dc.FillSolidRect(rect.right - width, rect.top + width, width, rect.Height() - 2 * width, colour);
}
