#pragma once
// The wizard's windows meet the pure layout here: the screen's scaling,
// rectangle conversions between the MFC and the layout types, and the few
// window chores every wizard window shares.

#include <string>

#include "mfc/AfxWin.h"
#include "ui/Dpi.h"
#include "ui/KorvexStatic.h"
#include "wizard/WizardLayout.h"

#include "resource.h"

inline korvex::wizard::DpiScale ScreenScale()
{
    EnsureDpi();
    return {ScreenDpiX(), ScreenDpiY()};
}

inline korvex::ui::UiRect ToUiRect(const RECT& rect)
{
    return {rect.left, rect.top, rect.right, rect.bottom};
}
inline CRect ToCRect(const korvex::ui::UiRect& rect)
{
    return CRect(rect.left, rect.top, rect.right, rect.bottom);
}
inline korvex::ui::UiSize ToUiSize(const CSize& size)
{
    return {size.cx, size.cy};
}
inline CSize ToCSize(const korvex::ui::UiSize& size)
{
    return CSize(size.cx, size.cy);
}

inline void MoveTo(CWnd& window, const korvex::ui::UiRect& rect, BOOL repaint = TRUE)
{
    if (window.m_hWnd) window.MoveWindow(rect.left, rect.top, rect.Width(), rect.Height(), repaint);
}

// A label's text is drawn from m_strText and measured from the window text.
inline void SetLabelText(CKorvexStatic& label, const std::wstring& text)
{
    label.m_strText = text.c_str();
    label.SetWindowText(text.c_str());
    label.Invalidate();
}

inline void SetProductIcon(CWnd& window)
{
    HICON icon = ::LoadIconW(AfxGetInstanceHandle(), MAKEINTRESOURCEW(IDI_KORVEXMASTERINSTALLER));
    window.SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    window.SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
}

// A silent run hides the window for good, taskbar button included.
inline void HideForSilentRun(CWnd& window)
{
    window.SetWindowPos(&CWnd::wndNoTopMost, 0, 0, 0, 0, SWP_HIDEWINDOW);
    window.ModifyStyleEx(WS_EX_APPWINDOW, WS_EX_TOOLWINDOW);
    window.ShowWindow(SW_HIDE);
}
