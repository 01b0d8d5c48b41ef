#pragma once
// Message maps in MFC's spelling. A map is a static table of entries, each a
// message (and, for commands, a notification code and id range) with a
// small function that unpacks wParam/lParam and calls the named handler on
// the derived object. A window searches its own table, then its base class's.
// Reflected messages (a parent handing WM_COMMAND, WM_CTLCOLOR*, WM_DRAWITEM
// back to the child that sent them) use the message number plus
// WM_REFLECT_BASE, as MFC does.

#include <windows.h>

class CWnd;

// Unpacks the message, calls the handler, stores its result; returns FALSE
// to let the search go on (a reflected handler that declines).
using AFX_PMSG = BOOL (*)(CWnd* target, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);

struct AFX_MSGMAP_ENTRY {
    UINT nMessage;
    UINT nCode;
    UINT nID;
    UINT nLastID;
    AFX_PMSG pfn;
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
};

constexpr UINT WM_REFLECT_BASE = 0xBC00;
#ifndef WM_CTLCOLOR
#define WM_CTLCOLOR 0x0019
#endif

#define DECLARE_MESSAGE_MAP()                     \
protected:                                        \
    static const AFX_MSGMAP* GetThisMessageMap(); \
    const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)        \
    const AFX_MSGMAP* theClass::GetMessageMap() const \
    {                                                 \
        return GetThisMessageMap();                   \
    }                                                 \
    const AFX_MSGMAP* theClass::GetThisMessageMap()   \
    {                                                 \
        using ThisClass = theClass;                   \
        using TheBaseClass = baseClass;               \
        static const AFX_MSGMAP_ENTRY messageEntries[] = {
#define END_MESSAGE_MAP()                                                                    \
    {                                                                                        \
        0, 0, 0, 0, nullptr                                                                  \
    }                                                                                        \
    }                                                                                        \
    ;                                                                                        \
    static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, messageEntries}; \
    return &messageMap;                                                                      \
    }

#define AFX_MAP_ENTRY(message, code, id, lastId, body)                                                              \
    {message, code, id, lastId, [](CWnd* pWnd, UINT nMsg, WPARAM wParam, LPARAM lParam, LRESULT* pResult) -> BOOL { \
         ThisClass* self = static_cast<ThisClass*>(pWnd);                                                           \
         (void)self;                                                                                                \
         (void)nMsg;                                                                                                \
         (void)wParam;                                                                                              \
         (void)lParam;                                                                                              \
         (void)pResult;                                                                                             \
         body                                                                                                       \
     }},

#define AFX_POINT_LPARAM CPoint(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)))

#define ON_MESSAGE(message, memberFxn) \
    AFX_MAP_ENTRY(message, 0, 0, 0, *pResult = self->memberFxn(wParam, lParam); return TRUE;)
#define ON_COMMAND(id, memberFxn) AFX_MAP_ENTRY(WM_COMMAND, 0, id, id, self->memberFxn(); return TRUE;)
#define ON_CONTROL(code, id, memberFxn) AFX_MAP_ENTRY(WM_COMMAND, code, id, id, self->memberFxn(); return TRUE;)
#define ON_BN_CLICKED(id, memberFxn) ON_CONTROL(BN_CLICKED, id, memberFxn)
#define ON_STN_CLICKED(id, memberFxn) ON_CONTROL(STN_CLICKED, id, memberFxn)

// Handled in the child: the parent's own map never sees the notification.
#define ON_CONTROL_REFLECT(code, memberFxn) \
    AFX_MAP_ENTRY(WM_REFLECT_BASE + WM_COMMAND, code, 0, 0, self->memberFxn(); return TRUE;)
// As above, but a FALSE from the handler passes the notification on to the parent.
#define ON_CONTROL_REFLECT_EX(code, memberFxn) \
    AFX_MAP_ENTRY(WM_REFLECT_BASE + WM_COMMAND, code, 0, 0, return self->memberFxn();)
// A null brush from CtlColor lets the parent choose the colours instead.
#define ON_WM_CTLCOLOR_REFLECT()                                                                                 \
    AFX_MAP_ENTRY(                                                                                               \
        WM_REFLECT_BASE + WM_CTLCOLOR, 0, 0, 0,                                                                  \
        HBRUSH brush = self->CtlColor(CDC::FromHandle(reinterpret_cast<HDC>(wParam)), nMsg - WM_CTLCOLORMSGBOX); \
        *pResult = reinterpret_cast<LRESULT>(brush); return brush != nullptr;)

#define ON_WM_CREATE()                                                                                      \
    AFX_MAP_ENTRY(WM_CREATE, 0, 0, 0, *pResult = self->OnCreate(reinterpret_cast<LPCREATESTRUCTW>(lParam)); \
                  return TRUE;)
#define ON_WM_NCCREATE()                                                                                        \
    AFX_MAP_ENTRY(WM_NCCREATE, 0, 0, 0, *pResult = self->OnNcCreate(reinterpret_cast<LPCREATESTRUCTW>(lParam)); \
                  return TRUE;)
#define ON_WM_DESTROY() AFX_MAP_ENTRY(WM_DESTROY, 0, 0, 0, self->OnDestroy(); return TRUE;)
#define ON_WM_CLOSE() AFX_MAP_ENTRY(WM_CLOSE, 0, 0, 0, self->OnClose(); return TRUE;)
#define ON_WM_PAINT() AFX_MAP_ENTRY(WM_PAINT, 0, 0, 0, self->OnPaint(); return TRUE;)
#define ON_WM_ERASEBKGND()                                                                       \
    AFX_MAP_ENTRY(WM_ERASEBKGND, 0, 0, 0,                                                        \
                  *pResult = self->OnEraseBkgnd(CDC::FromHandle(reinterpret_cast<HDC>(wParam))); \
                  return TRUE;)
#define ON_WM_CTLCOLOR()                                                                                             \
    AFX_MAP_ENTRY(WM_CTLCOLOR, 0, 0, 0,                                                                              \
                  *pResult = reinterpret_cast<LRESULT>(                                                              \
                      self->OnCtlColor(CDC::FromHandle(reinterpret_cast<HDC>(wParam)),                               \
                                       CWnd::FromHandle(reinterpret_cast<HWND>(lParam)), nMsg - WM_CTLCOLORMSGBOX)); \
                  return TRUE;)
#define ON_WM_DRAWITEM()                                                                                  \
    AFX_MAP_ENTRY(WM_DRAWITEM, 0, 0, 0,                                                                   \
                  self->OnDrawItem(static_cast<int>(wParam), reinterpret_cast<LPDRAWITEMSTRUCT>(lParam)); \
                  *pResult = TRUE; return TRUE;)
#define ON_WM_MEASUREITEM()                                                                                     \
    AFX_MAP_ENTRY(WM_MEASUREITEM, 0, 0, 0,                                                                      \
                  self->OnMeasureItem(static_cast<int>(wParam), reinterpret_cast<LPMEASUREITEMSTRUCT>(lParam)); \
                  *pResult = TRUE; return TRUE;)
#define ON_WM_SIZE()                                                                          \
    AFX_MAP_ENTRY(WM_SIZE, 0, 0, 0,                                                           \
                  self->OnSize(static_cast<UINT>(wParam), static_cast<short>(LOWORD(lParam)), \
                               static_cast<short>(HIWORD(lParam)));                           \
                  return TRUE;)
#define ON_WM_TIMER() AFX_MAP_ENTRY(WM_TIMER, 0, 0, 0, self->OnTimer(static_cast<UINT_PTR>(wParam)); return TRUE;)
#define ON_WM_SHOWWINDOW()                                                                                          \
    AFX_MAP_ENTRY(WM_SHOWWINDOW, 0, 0, 0, self->OnShowWindow(static_cast<BOOL>(wParam), static_cast<UINT>(lParam)); \
                  return TRUE;)
#define ON_WM_ENABLE() AFX_MAP_ENTRY(WM_ENABLE, 0, 0, 0, self->OnEnable(static_cast<BOOL>(wParam)); return TRUE;)
#define ON_WM_SETFOCUS()                                                                                    \
    AFX_MAP_ENTRY(WM_SETFOCUS, 0, 0, 0, self->OnSetFocus(CWnd::FromHandle(reinterpret_cast<HWND>(wParam))); \
                  return TRUE;)
#define ON_WM_KILLFOCUS()                                                                                     \
    AFX_MAP_ENTRY(WM_KILLFOCUS, 0, 0, 0, self->OnKillFocus(CWnd::FromHandle(reinterpret_cast<HWND>(wParam))); \
                  return TRUE;)
#define ON_WM_SETCURSOR()                                                                                        \
    AFX_MAP_ENTRY(WM_SETCURSOR, 0, 0, 0,                                                                         \
                  *pResult = self->OnSetCursor(CWnd::FromHandle(reinterpret_cast<HWND>(wParam)), LOWORD(lParam), \
                                               HIWORD(lParam));                                                  \
                  return TRUE;)
#define ON_WM_SYSCOMMAND() \
    AFX_MAP_ENTRY(WM_SYSCOMMAND, 0, 0, 0, self->OnSysCommand(static_cast<UINT>(wParam), lParam); return TRUE;)

#define AFX_MOUSE_ENTRY(message, memberFxn) \
    AFX_MAP_ENTRY(message, 0, 0, 0, self->memberFxn(static_cast<UINT>(wParam), AFX_POINT_LPARAM); return TRUE;)
#define ON_WM_MOUSEMOVE() AFX_MOUSE_ENTRY(WM_MOUSEMOVE, OnMouseMove)
#define ON_WM_MOUSEHOVER() AFX_MOUSE_ENTRY(WM_MOUSEHOVER, OnMouseHover)
#define ON_WM_MOUSELEAVE() AFX_MAP_ENTRY(WM_MOUSELEAVE, 0, 0, 0, self->OnMouseLeave(); return TRUE;)
#define ON_WM_LBUTTONDOWN() AFX_MOUSE_ENTRY(WM_LBUTTONDOWN, OnLButtonDown)
#define ON_WM_LBUTTONUP() AFX_MOUSE_ENTRY(WM_LBUTTONUP, OnLButtonUp)
#define ON_WM_LBUTTONDBLCLK() AFX_MOUSE_ENTRY(WM_LBUTTONDBLCLK, OnLButtonDblClk)
#define ON_WM_RBUTTONUP() AFX_MOUSE_ENTRY(WM_RBUTTONUP, OnRButtonUp)

#define AFX_KEY_ENTRY(message, memberFxn)                                                                       \
    AFX_MAP_ENTRY(message, 0, 0, 0, self->memberFxn(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam)); \
                  return TRUE;)
#define ON_WM_CHAR() AFX_KEY_ENTRY(WM_CHAR, OnChar)

#define ON_WM_NCCALCSIZE()                                                                                     \
    AFX_MAP_ENTRY(WM_NCCALCSIZE, 0, 0, 0,                                                                      \
                  self->OnNcCalcSize(static_cast<BOOL>(wParam), reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)); \
                  return TRUE;)
#define ON_WM_NCPAINT() AFX_MAP_ENTRY(WM_NCPAINT, 0, 0, 0, self->OnNcPaint(); return TRUE;)
#define ON_WM_NCACTIVATE() \
    AFX_MAP_ENTRY(WM_NCACTIVATE, 0, 0, 0, *pResult = self->OnNcActivate(static_cast<BOOL>(wParam)); return TRUE;)
#define ON_WM_NCMOUSEMOVE() AFX_MOUSE_ENTRY(WM_NCMOUSEMOVE, OnNcMouseMove)
#define ON_WM_NCMOUSEHOVER() AFX_MOUSE_ENTRY(WM_NCMOUSEHOVER, OnNcMouseHover)
#define ON_WM_NCMOUSELEAVE() AFX_MAP_ENTRY(WM_NCMOUSELEAVE, 0, 0, 0, self->OnNcMouseLeave(); return TRUE;)
#define ON_WM_NCLBUTTONDOWN() AFX_MOUSE_ENTRY(WM_NCLBUTTONDOWN, OnNcLButtonDown)
#define ON_WM_NCLBUTTONUP() AFX_MOUSE_ENTRY(WM_NCLBUTTONUP, OnNcLButtonUp)
#define ON_WM_NCLBUTTONDBLCLK() AFX_MOUSE_ENTRY(WM_NCLBUTTONDBLCLK, OnNcLButtonDblClk)
