#pragma once
// The wizard's windows meet the pure layout here: the screen's scaling and
// rectangle conversions between the MFC and the layout types.

#include "mfc/AfxWin.h"
#include "ui/Dpi.h"
#include "wizard/WizardLayout.h"

namespace korvex::wizard {

inline DpiScale ScreenScale()
{
    EnsureDpi();
    return {ScreenDpiX(), ScreenDpiY()};
}

inline UiRect ToUiRect(const RECT& rect) { return {rect.left, rect.top, rect.right, rect.bottom}; }
inline CRect ToCRect(const UiRect& rect) { return CRect(rect.left, rect.top, rect.right, rect.bottom); }
inline UiSize ToUiSize(const CSize& size) { return {size.cx, size.cy}; }
inline CSize ToCSize(const UiSize& size) { return CSize(size.cx, size.cy); }

inline void MoveTo(CWnd& window, const UiRect& rect, BOOL repaint = TRUE)
{
    if (window.m_hWnd) window.MoveWindow(rect.left, rect.top, rect.Width(), rect.Height(), repaint);
}

}  // namespace korvex::wizard
