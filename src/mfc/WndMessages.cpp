// The default handlers behind the message-map macros: each passes the
// message being handled on to the window's previous procedure, except the
// three that first reflect a child's message back to the child's object.

#include "mfc/ThreadState.h"
#include "mfc/Wnd.h"

BOOL CWnd::ReflectLastMsg(HWND hwndChild, LRESULT* result)
{
    const MSG& msg = AfxGetThreadState().m_lastSentMsg;
    return ReflectToChild(hwndChild, msg.message, msg.wParam, msg.lParam, result);
}

HBRUSH CWnd::OnCtlColor(CDC*, CWnd* wnd, UINT)
{
    LRESULT brush = 0;
    if (wnd && ReflectLastMsg(wnd->m_hWnd, &brush)) return reinterpret_cast<HBRUSH>(brush);
    return reinterpret_cast<HBRUSH>(Default());
}

void CWnd::OnDrawItem(int, LPDRAWITEMSTRUCT drawItem)
{
    LRESULT ignored = 0;
    if (drawItem->CtlType != ODT_MENU && ReflectLastMsg(drawItem->hwndItem, &ignored)) return;
    Default();
}

void CWnd::OnMeasureItem(int idCtl, LPMEASUREITEMSTRUCT measureItem)
{
    LRESULT ignored = 0;
    if (measureItem->CtlType != ODT_MENU && ReflectLastMsg(::GetDlgItem(m_hWnd, idCtl), &ignored)) return;
    Default();
}

int CWnd::OnCreate(LPCREATESTRUCTW)
{
    return static_cast<int>(Default());
}
BOOL CWnd::OnNcCreate(LPCREATESTRUCTW)
{
    return static_cast<BOOL>(Default());
}
void CWnd::OnDestroy()
{
    Default();
}
void CWnd::OnClose()
{
    Default();
}
void CWnd::OnPaint()
{
    Default();
}
BOOL CWnd::OnEraseBkgnd(CDC*)
{
    return static_cast<BOOL>(Default());
}
void CWnd::OnSize(UINT, int, int)
{
    Default();
}
void CWnd::OnTimer(UINT_PTR)
{
    Default();
}
void CWnd::OnShowWindow(BOOL, UINT)
{
    Default();
}
void CWnd::OnEnable(BOOL)
{
    Default();
}
void CWnd::OnSetFocus(CWnd*)
{
    Default();
}
void CWnd::OnKillFocus(CWnd*)
{
    Default();
}
BOOL CWnd::OnSetCursor(CWnd*, UINT, UINT)
{
    return static_cast<BOOL>(Default());
}
void CWnd::OnSysCommand(UINT, LPARAM)
{
    Default();
}
void CWnd::OnMouseMove(UINT, CPoint)
{
    Default();
}
void CWnd::OnMouseHover(UINT, CPoint)
{
    Default();
}
void CWnd::OnMouseLeave()
{
    Default();
}
void CWnd::OnLButtonDown(UINT, CPoint)
{
    Default();
}
void CWnd::OnLButtonUp(UINT, CPoint)
{
    Default();
}
void CWnd::OnLButtonDblClk(UINT, CPoint)
{
    Default();
}
void CWnd::OnRButtonUp(UINT, CPoint)
{
    Default();
}
void CWnd::OnChar(UINT, UINT, UINT)
{
    Default();
}
void CWnd::OnNcCalcSize(BOOL, NCCALCSIZE_PARAMS*)
{
    Default();
}
void CWnd::OnNcPaint()
{
    Default();
}
BOOL CWnd::OnNcActivate(BOOL)
{
    return static_cast<BOOL>(Default());
}
void CWnd::OnNcMouseMove(UINT, CPoint)
{
    Default();
}
void CWnd::OnNcMouseHover(UINT, CPoint)
{
    Default();
}
void CWnd::OnNcMouseLeave()
{
    Default();
}
void CWnd::OnNcLButtonDown(UINT, CPoint)
{
    Default();
}
void CWnd::OnNcLButtonUp(UINT, CPoint)
{
    Default();
}
void CWnd::OnNcLButtonDblClk(UINT, CPoint)
{
    Default();
}
