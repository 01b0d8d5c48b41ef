#pragma once
// CWnd: one object per window, found from its HWND through a process-wide
// map. A window is tied to its object either at creation (a thread-local CBT
// hook subclasses it before WM_NCCREATE, so the object sees every message)
// or later by SubclassWindow. Messages arrive in AfxWndProc, go to the
// object's WindowProc, which searches the message maps (OnWndMsg); what no
// map handles goes to DefWindowProc, the window procedure that was there
// before subclassing. Default() re-sends the message being handled there.
// Tear-down: WM_NCDESTROY drops the mapping, unsubclasses and detaches, then
// calls PostNcDestroy.

#include <windows.h>

#include "mfc/Dc.h"
#include "mfc/GdiObject.h"
#include "mfc/Geometry.h"
#include "mfc/MessageMap.h"
#include "mfc/String.h"

class CWnd {
public:
    CWnd() = default;
    virtual ~CWnd();
    // Insert-after markers for SetWindowPos (HWND_TOP ... HWND_NOTOPMOST).
    static const CWnd wndTop;
    static const CWnd wndBottom;
    static const CWnd wndTopMost;
    static const CWnd wndNoTopMost;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND m_hWnd = nullptr;

    operator HWND() const noexcept { return m_hWnd; }
    HWND GetSafeHwnd() const noexcept { return m_hWnd; }

    // The window's object; a borrowed wrapper (valid until the next idle
    // clean-up) when the window has none.
    static CWnd* FromHandle(HWND hwnd);
    static CWnd* FromHandlePermanent(HWND hwnd);
    BOOL Attach(HWND hwnd);
    HWND Detach();
    BOOL SubclassWindow(HWND hwnd);
    BOOL SubclassDlgItem(UINT id, CWnd* parent);
    HWND UnsubclassWindow();

    BOOL Create(const wchar_t* className, const wchar_t* windowName, DWORD style, const RECT& rect, CWnd* parent,
                UINT id);
    BOOL CreateEx(DWORD exStyle, const wchar_t* className, const wchar_t* windowName, DWORD style, int x, int y,
                  int width, int height, HWND parent, HMENU idOrMenu, void* param = nullptr);
    virtual BOOL DestroyWindow();

    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual BOOL PreTranslateMessage(MSG* msg);
    virtual BOOL PreCreateWindow(CREATESTRUCTW& cs);
    virtual void PreSubclassWindow();
    virtual void PostNcDestroy();
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result);
    // A message the parent reflected back; FALSE lets the parent handle it.
    virtual BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    LRESULT Default();

    // Window wrappers.
    DWORD GetStyle() const { return static_cast<DWORD>(::GetWindowLongPtrW(m_hWnd, GWL_STYLE)); }
    DWORD GetExStyle() const { return static_cast<DWORD>(::GetWindowLongPtrW(m_hWnd, GWL_EXSTYLE)); }
    BOOL ModifyStyle(DWORD remove, DWORD add, UINT flags = 0);
    BOOL ModifyStyleEx(DWORD remove, DWORD add, UINT flags = 0);
    BOOL ShowWindow(int command);
    BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
    BOOL EnableWindow(BOOL enable = TRUE) { return ::EnableWindow(m_hWnd, enable); }
    BOOL IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
    BOOL IsIconic() const { return ::IsIconic(m_hWnd); }
    BOOL IsZoomed() const { return ::IsZoomed(m_hWnd); }
    BOOL IsChild(const CWnd* wnd) const { return wnd && ::IsChild(m_hWnd, wnd->m_hWnd); }
    void SetWindowText(const wchar_t* text) { ::SetWindowTextW(m_hWnd, text); }
    void GetWindowText(CString& text) const;
    int GetWindowTextLength() const { return ::GetWindowTextLengthW(m_hWnd); }
    void SetFont(CFont* font, BOOL redraw = TRUE);
    CFont* GetFont() const;
    HICON SetIcon(HICON icon, BOOL bigIcon);
    HICON GetIcon(BOOL bigIcon) const;

    CWnd* GetParent() const { return FromHandle(::GetParent(m_hWnd)); }
    CWnd* GetDlgItem(int id) const { return FromHandle(::GetDlgItem(m_hWnd, id)); }
    int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
    void SetDlgItemText(int id, const wchar_t* text) { ::SetDlgItemTextW(m_hWnd, id, text); }
    static CWnd* GetFocus() { return FromHandle(::GetFocus()); }
    CWnd* SetFocus() { return FromHandle(::SetFocus(m_hWnd)); }
    CWnd* SetCapture() { return FromHandle(::SetCapture(m_hWnd)); }
    BOOL SetForegroundWindow() { return ::SetForegroundWindow(m_hWnd); }
    void CenterWindow(CWnd* alternateOwner = nullptr);

    void MoveWindow(int x, int y, int width, int height, BOOL repaint = TRUE)
    {
        ::MoveWindow(m_hWnd, x, y, width, height, repaint);
    }
    void MoveWindow(LPCRECT rect, BOOL repaint = TRUE)
    {
        MoveWindow(rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top, repaint);
    }
    BOOL SetWindowPos(const CWnd* insertAfter, int x, int y, int cx, int cy, UINT flags);
    void GetClientRect(LPRECT rect) const { ::GetClientRect(m_hWnd, rect); }
    void GetWindowRect(LPRECT rect) const { ::GetWindowRect(m_hWnd, rect); }
    void ClientToScreen(LPPOINT point) const { ::ClientToScreen(m_hWnd, point); }
    void ClientToScreen(LPRECT rect) const { ::MapWindowPoints(m_hWnd, nullptr, reinterpret_cast<LPPOINT>(rect), 2); }
    void ScreenToClient(LPPOINT point) const { ::ScreenToClient(m_hWnd, point); }
    void ScreenToClient(LPRECT rect) const { ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<LPPOINT>(rect), 2); }
    int SetWindowRgn(HRGN region, BOOL redraw) { return ::SetWindowRgn(m_hWnd, region, redraw); }

    void Invalidate(BOOL erase = TRUE) { ::InvalidateRect(m_hWnd, nullptr, erase); }
    void InvalidateRect(LPCRECT rect, BOOL erase = TRUE) { ::InvalidateRect(m_hWnd, rect, erase); }
    void UpdateWindow() { ::UpdateWindow(m_hWnd); }
    BOOL RedrawWindow(LPCRECT rect = nullptr, CRgn* region = nullptr,
                      UINT flags = RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
    void SetRedraw(BOOL redraw = TRUE) { SendMessage(WM_SETREDRAW, redraw, 0); }
    UINT_PTR SetTimer(UINT_PTR id, UINT elapse, TIMERPROC timerProc = nullptr)
    {
        return ::SetTimer(m_hWnd, id, elapse, timerProc);
    }
    BOOL KillTimer(UINT_PTR id) { return ::KillTimer(m_hWnd, id); }
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return ::SendMessageW(m_hWnd, message, wParam, lParam);
    }
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return ::PostMessageW(m_hWnd, message, wParam, lParam);
    }
    // Borrowed DCs; give each back with ReleaseDC.
    CDC* GetDC();
    CDC* GetWindowDC();
    int ReleaseDC(CDC* dc);

    // Handlers of the message-map macros; each does the default processing.
    int OnCreate(LPCREATESTRUCTW cs);
    BOOL OnNcCreate(LPCREATESTRUCTW cs);
    void OnDestroy();
    void OnClose();
    void OnPaint();
    BOOL OnEraseBkgnd(CDC* dc);
    // Reflects to the child first; its brush wins when it gives one.
    HBRUSH OnCtlColor(CDC* dc, CWnd* wnd, UINT ctlColor);
    // Reflect to the child object (DrawItem, MeasureItem) when there is one.
    void OnDrawItem(int idCtl, LPDRAWITEMSTRUCT drawItem);
    void OnMeasureItem(int idCtl, LPMEASUREITEMSTRUCT measureItem);
    void OnSize(UINT type, int cx, int cy);
    void OnTimer(UINT_PTR id);
    void OnShowWindow(BOOL show, UINT status);
    void OnEnable(BOOL enable);
    void OnSetFocus(CWnd* oldWnd);
    void OnKillFocus(CWnd* newWnd);
    BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message);
    void OnSysCommand(UINT id, LPARAM lParam);
    void OnMouseMove(UINT flags, CPoint point);
    void OnMouseHover(UINT flags, CPoint point);
    void OnMouseLeave();
    void OnLButtonDown(UINT flags, CPoint point);
    void OnLButtonUp(UINT flags, CPoint point);
    void OnLButtonDblClk(UINT flags, CPoint point);
    void OnRButtonUp(UINT flags, CPoint point);
    void OnChar(UINT ch, UINT repeat, UINT flags);
    void OnNcCalcSize(BOOL calcValidRects, NCCALCSIZE_PARAMS* params);
    void OnNcPaint();
    BOOL OnNcActivate(BOOL active);
    void OnNcMouseMove(UINT hitTest, CPoint point);
    void OnNcMouseHover(UINT hitTest, CPoint point);
    void OnNcMouseLeave();
    void OnNcLButtonDown(UINT hitTest, CPoint point);
    void OnNcLButtonUp(UINT hitTest, CPoint point);
    void OnNcLButtonDblClk(UINT hitTest, CPoint point);

protected:
    explicit CWnd(HWND marker) : m_hWnd(marker) {}
    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;

    // Searches the maps for the message (and for WM_COMMAND its code and id).
    BOOL DispatchToMap(UINT mapMessage, UINT code, UINT id, UINT message, WPARAM wParam, LPARAM lParam,
                       LRESULT* result);
    // Hands the message to the object of child window hwndChild, if any.
    static BOOL ReflectToChild(HWND hwndChild, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    // The same for the message being handled now.
    static BOOL ReflectLastMsg(HWND hwndChild, LRESULT* result);

    WNDPROC m_pfnSuper = nullptr;
    UINT m_nFlags = 0;
    int m_nLastShowCommand = -1;

    friend LRESULT CALLBACK AfxWndProc(HWND, UINT, WPARAM, LPARAM);
    friend LRESULT CALLBACK AfxCbtFilterHook(int, WPARAM, LPARAM);
};

LRESULT CALLBACK AfxWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// Ties the next window this thread creates to wnd; AfxUnhookWindowCreate
// reports whether that happened.
void AfxHookWindowCreate(CWnd* wnd);
bool AfxUnhookWindowCreate();

// A window class for CWnd::Create; the name stays valid for the process.
const wchar_t* AfxRegisterWndClass(UINT classStyle, HCURSOR cursor = nullptr, HBRUSH background = nullptr,
                                   HICON icon = nullptr);

// Runs PreTranslateMessage from msg's window up through its parents to stop.
BOOL AfxWalkPreTranslateTree(HWND stop, MSG* msg);
