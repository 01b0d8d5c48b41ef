#include "mfc/Wnd.h"

#include <mutex>
#include <set>
#include <string>
#include <unordered_map>

#include "mfc/ThreadState.h"
#include "mfc/WinApp.h"

namespace {

std::mutex g_mapLock;
std::unordered_map<HWND, CWnd*> g_permanentMap;

void MapWindow(HWND hwnd, CWnd* wnd)
{
    std::lock_guard<std::mutex> lock(g_mapLock);
    g_permanentMap[hwnd] = wnd;
}

void UnmapWindow(HWND hwnd)
{
    std::lock_guard<std::mutex> lock(g_mapLock);
    g_permanentMap.erase(hwnd);
}

// The IME's helper windows are created inside ours and must not take the
// object the hook waits for.
bool IsImeWindow(HWND hwnd)
{
    wchar_t className[16] = {};
    ::GetClassNameW(hwnd, className, 16);
    return lstrcmpiW(className, L"IME") == 0 || lstrcmpiW(className, L"MSCTFIME UI") == 0;
}

}  // namespace

AfxThreadState& AfxGetThreadState()
{
    thread_local AfxThreadState state;
    return state;
}

AfxThreadState::~AfxThreadState()
{
    DropTemporaries();
}

void AfxThreadState::DropTemporaries()
{
    for (auto& entry : m_temporaryWnds) entry.second->m_hWnd = nullptr;
    m_temporaryWnds.clear();
    // Borrowed DCs may already be released: forget the handle, touch nothing.
    for (auto& dc : m_temporaryDCs) dc->m_hDC = nullptr;
    m_temporaryDCs.clear();
    for (auto& object : m_temporaryGdiObjects) object->Detach();
    m_temporaryGdiObjects.clear();
}

void AfxDeleteTempObjects()
{
    AfxGetThreadState().DropTemporaries();
}

const CWnd CWnd::wndTop(HWND_TOP);
const CWnd CWnd::wndBottom(HWND_BOTTOM);
const CWnd CWnd::wndTopMost(HWND_TOPMOST);
const CWnd CWnd::wndNoTopMost(HWND_NOTOPMOST);

LRESULT CALLBACK AfxWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CWnd* wnd = CWnd::FromHandlePermanent(hwnd);
    if (!wnd) return ::DefWindowProcW(hwnd, message, wParam, lParam);
    AfxThreadState& state = AfxGetThreadState();
    MSG saved = state.m_lastSentMsg;
    state.m_lastSentMsg = {hwnd, message, wParam, lParam, 0, {0, 0}};
    LRESULT result = wnd->WindowProc(message, wParam, lParam);
    state.m_lastSentMsg = saved;
    // The last message: the object lets go of the window before it is gone.
    if (message == WM_NCDESTROY && CWnd::FromHandlePermanent(hwnd) == wnd) {
        if (CWinApp* app = AfxGetApp(); app && app->m_pMainWnd == wnd) app->m_pMainWnd = nullptr;
        wnd->UnsubclassWindow();
        wnd->PostNcDestroy();
    }
    return result;
}

LRESULT CALLBACK AfxCbtFilterHook(int code, WPARAM wParam, LPARAM lParam)
{
    AfxThreadState& state = AfxGetThreadState();
    if (code == HCBT_CREATEWND && state.m_pWndInit) {
        HWND hwnd = reinterpret_cast<HWND>(wParam);
        if (!IsImeWindow(hwnd)) {
            CWnd* wnd = state.m_pWndInit;
            state.m_pWndInit = nullptr;
            wnd->Attach(hwnd);
            wnd->PreSubclassWindow();
            wnd->m_pfnSuper = reinterpret_cast<WNDPROC>(
                ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AfxWndProc)));
        }
    }
    return ::CallNextHookEx(state.m_hHookCbt, code, wParam, lParam);
}

void AfxHookWindowCreate(CWnd* wnd)
{
    AfxThreadState& state = AfxGetThreadState();
    if (!state.m_hHookCbt) {
        state.m_hHookCbt = ::SetWindowsHookExW(WH_CBT, &AfxCbtFilterHook, nullptr, ::GetCurrentThreadId());
    }
    state.m_pWndInit = wnd;
}

bool AfxUnhookWindowCreate()
{
    AfxThreadState& state = AfxGetThreadState();
    if (state.m_hHookCbt) {
        ::UnhookWindowsHookEx(state.m_hHookCbt);
        state.m_hHookCbt = nullptr;
    }
    bool attached = state.m_pWndInit == nullptr;
    state.m_pWndInit = nullptr;
    return attached;
}

const wchar_t* AfxRegisterWndClass(UINT classStyle, HCURSOR cursor, HBRUSH background, HICON icon)
{
    static std::mutex lock;
    static std::set<std::wstring> names;
    wchar_t name[96];
    wsprintfW(name, L"Afx:%p:%x:%p:%p:%p", ::GetModuleHandleW(nullptr), classStyle, cursor, background, icon);
    std::lock_guard<std::mutex> guard(lock);
    auto inserted = names.insert(name);
    if (inserted.second) {
        WNDCLASSW wc = {};
        wc.style = classStyle;
        wc.lpfnWndProc = ::DefWindowProcW;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.hCursor = cursor;
        wc.hbrBackground = background;
        wc.hIcon = icon;
        wc.lpszClassName = inserted.first->c_str();
        if (!::RegisterClassW(&wc) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
            names.erase(inserted.first);
            return nullptr;
        }
    }
    return inserted.first->c_str();
}

BOOL AfxWalkPreTranslateTree(HWND stop, MSG* msg)
{
    for (HWND hwnd = msg->hwnd; hwnd; hwnd = ::GetParent(hwnd)) {
        CWnd* wnd = CWnd::FromHandlePermanent(hwnd);
        if (wnd && wnd->PreTranslateMessage(msg)) return TRUE;
        if (hwnd == stop) break;
    }
    return FALSE;
}

CWnd::~CWnd()
{
    // Only a mapped object owns its window; borrowed wrappers and the
    // insert-after markers do not.
    if (!m_hWnd || FromHandlePermanent(m_hWnd) != this) return;
    // Tear-down order: no more messages to this half-destroyed object, the
    // original procedure back, then the window itself.
    HWND hwnd = m_hWnd;
    UnsubclassWindow();
    ::DestroyWindow(hwnd);
}

CWnd* CWnd::FromHandlePermanent(HWND hwnd)
{
    if (!hwnd) return nullptr;
    std::lock_guard<std::mutex> lock(g_mapLock);
    auto found = g_permanentMap.find(hwnd);
    return found == g_permanentMap.end() ? nullptr : found->second;
}

CWnd* CWnd::FromHandle(HWND hwnd)
{
    if (!hwnd) return nullptr;
    if (CWnd* wnd = FromHandlePermanent(hwnd)) return wnd;
    auto& temporaries = AfxGetThreadState().m_temporaryWnds;
    auto& slot = temporaries[hwnd];
    if (!slot) {
        slot = std::make_unique<CWnd>();
        slot->m_hWnd = hwnd;
    }
    return slot.get();
}

BOOL CWnd::Attach(HWND hwnd)
{
    if (!hwnd || m_hWnd || FromHandlePermanent(hwnd)) return FALSE;
    m_hWnd = hwnd;
    MapWindow(hwnd, this);
    return TRUE;
}

HWND CWnd::Detach()
{
    HWND hwnd = m_hWnd;
    if (hwnd) UnmapWindow(hwnd);
    m_hWnd = nullptr;
    return hwnd;
}

BOOL CWnd::SubclassWindow(HWND hwnd)
{
    if (!Attach(hwnd)) return FALSE;
    PreSubclassWindow();
    WNDPROC previous =
        reinterpret_cast<WNDPROC>(::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AfxWndProc)));
    if (!previous) {
        Detach();
        return FALSE;
    }
    m_pfnSuper = previous;
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT id, CWnd* parent)
{
    if (!parent) return FALSE;
    HWND control = ::GetDlgItem(parent->m_hWnd, static_cast<int>(id));
    return control ? SubclassWindow(control) : FALSE;
}

HWND CWnd::UnsubclassWindow()
{
    if (!m_hWnd) return nullptr;
    // Someone else may have subclassed after us; then their chain must stay.
    if (m_pfnSuper && reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(m_hWnd, GWLP_WNDPROC)) == &AfxWndProc) {
        ::SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    }
    m_pfnSuper = nullptr;
    return Detach();
}

BOOL CWnd::Create(const wchar_t* className, const wchar_t* windowName, DWORD style, const RECT& rect, CWnd* parent,
                  UINT id)
{
    return CreateEx(0, className, windowName, style | WS_CHILD, rect.left, rect.top, rect.right - rect.left,
                    rect.bottom - rect.top, parent ? parent->m_hWnd : nullptr,
                    reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)));
}

BOOL CWnd::CreateEx(DWORD exStyle, const wchar_t* className, const wchar_t* windowName, DWORD style, int x, int y,
                    int width, int height, HWND parent, HMENU idOrMenu, void* param)
{
    if (m_hWnd) return FALSE;
    CREATESTRUCTW cs = {};
    cs.dwExStyle = exStyle;
    cs.lpszClass = className;
    cs.lpszName = windowName;
    cs.style = style;
    cs.x = x;
    cs.y = y;
    cs.cx = width;
    cs.cy = height;
    cs.hwndParent = parent;
    cs.hMenu = idOrMenu;
    cs.hInstance = ::GetModuleHandleW(nullptr);
    cs.lpCreateParams = param;
    if (!PreCreateWindow(cs)) return FALSE;
    AfxHookWindowCreate(this);
    HWND hwnd = ::CreateWindowExW(cs.dwExStyle, cs.lpszClass, cs.lpszName, cs.style, cs.x, cs.y, cs.cx, cs.cy,
                                  cs.hwndParent, cs.hMenu, cs.hInstance, cs.lpCreateParams);
    AfxUnhookWindowCreate();
    // A failed WM_NCCREATE or WM_CREATE has already destroyed and detached it.
    return hwnd != nullptr && m_hWnd == hwnd;
}

BOOL CWnd::DestroyWindow()
{
    if (!m_hWnd) return FALSE;
    return ::DestroyWindow(m_hWnd);
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (!OnWndMsg(message, wParam, lParam, &result)) result = DefWindowProc(message, wParam, lParam);
    return result;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_pfnSuper) return ::CallWindowProcW(m_pfnSuper, m_hWnd, message, wParam, lParam);
    return ::DefWindowProcW(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default()
{
    const MSG& msg = AfxGetThreadState().m_lastSentMsg;
    return DefWindowProc(msg.message, msg.wParam, msg.lParam);
}

const AFX_MSGMAP* CWnd::GetThisMessageMap()
{
    using ThisClass = CWnd;
    static const AFX_MSGMAP_ENTRY messageEntries[] = {ON_WM_CTLCOLOR() ON_WM_DRAWITEM()
                                                          ON_WM_MEASUREITEM(){0, 0, 0, 0, nullptr}};
    static const AFX_MSGMAP messageMap = {nullptr, messageEntries};
    return &messageMap;
}

const AFX_MSGMAP* CWnd::GetMessageMap() const
{
    return GetThisMessageMap();
}

BOOL CWnd::DispatchToMap(UINT mapMessage, UINT code, UINT id, UINT message, WPARAM wParam, LPARAM lParam,
                         LRESULT* result)
{
    const bool isCommand = mapMessage == WM_COMMAND || mapMessage == WM_REFLECT_BASE + WM_COMMAND;
    for (const AFX_MSGMAP* map = GetMessageMap(); map; map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* entry = map->lpEntries; entry->pfn; ++entry) {
            if (entry->nMessage != mapMessage) continue;
            if (isCommand && entry->nCode != code) continue;
            if (mapMessage == WM_COMMAND && (id < entry->nID || id > entry->nLastID)) continue;
            if (entry->pfn(this, message, wParam, lParam, result)) return TRUE;
        }
    }
    return FALSE;
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    if (message == WM_COMMAND) {
        if (!OnCommand(wParam, lParam)) return FALSE;
        *result = 0;
        return TRUE;
    }
    if (message == WM_NOTIFY) return OnNotify(wParam, lParam, result);
    UINT mapMessage = message;
    if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) mapMessage = WM_CTLCOLOR;
    return DispatchToMap(mapMessage, 0, 0, message, wParam, lParam, result);
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam)
{
    UINT id = LOWORD(wParam);
    UINT code = HIWORD(wParam);
    HWND control = reinterpret_cast<HWND>(lParam);
    LRESULT ignored = 0;
    if (control && ReflectToChild(control, WM_COMMAND, wParam, lParam, &ignored)) return TRUE;
    // Menu and accelerator commands carry no control; the map treats them alike.
    if (!control && code <= 1) code = 0;
    return DispatchToMap(WM_COMMAND, code, id, WM_COMMAND, wParam, lParam, &ignored);
}

BOOL CWnd::OnNotify(WPARAM, LPARAM lParam, LRESULT* result)
{
    const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
    return header && ReflectToChild(header->hwndFrom, WM_NOTIFY, 0, lParam, result);
}

BOOL CWnd::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    if (message == WM_COMMAND) {
        return DispatchToMap(WM_REFLECT_BASE + WM_COMMAND, HIWORD(wParam), 0, message, wParam, lParam, result);
    }
    if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) {
        return DispatchToMap(WM_REFLECT_BASE + WM_CTLCOLOR, 0, 0, message, wParam, lParam, result);
    }
    return DispatchToMap(WM_REFLECT_BASE + message, 0, 0, message, wParam, lParam, result);
}

BOOL CWnd::ReflectToChild(HWND hwndChild, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    CWnd* child = FromHandlePermanent(hwndChild);
    return child && child->OnChildNotify(message, wParam, lParam, result);
}

BOOL CWnd::PreTranslateMessage(MSG*)
{
    return FALSE;
}

BOOL CWnd::PreCreateWindow(CREATESTRUCTW&)
{
    return TRUE;
}

void CWnd::PreSubclassWindow() {}

void CWnd::PostNcDestroy() {}

namespace {

BOOL ModifyWindowLong(HWND hwnd, int index, DWORD remove, DWORD add, UINT flags)
{
    DWORD style = static_cast<DWORD>(::GetWindowLongPtrW(hwnd, index));
    DWORD changed = (style & ~remove) | add;
    if (changed == style) return FALSE;
    ::SetWindowLongPtrW(hwnd, index, changed);
    if (flags) {
        ::SetWindowPos(hwnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | flags);
    }
    return TRUE;
}

}  // namespace

BOOL CWnd::ModifyStyle(DWORD remove, DWORD add, UINT flags)
{
    return ModifyWindowLong(m_hWnd, GWL_STYLE, remove, add, flags);
}

BOOL CWnd::ModifyStyleEx(DWORD remove, DWORD add, UINT flags)
{
    return ModifyWindowLong(m_hWnd, GWL_EXSTYLE, remove, add, flags);
}

BOOL CWnd::ShowWindow(int command)
{
    m_nLastShowCommand = command;
    return ::ShowWindow(m_hWnd, command);
}

BOOL CWnd::SetWindowPos(const CWnd* insertAfter, int x, int y, int cx, int cy, UINT flags)
{
    if (flags & SWP_HIDEWINDOW) m_nLastShowCommand = SW_HIDE;
    HWND after = insertAfter ? insertAfter->m_hWnd : nullptr;
    return ::SetWindowPos(m_hWnd, after, x, y, cx, cy, flags);
}

void CWnd::GetWindowText(CString& text) const
{
    int length = ::GetWindowTextLengthW(m_hWnd);
    ::GetWindowTextW(m_hWnd, text.GetBuffer(length + 1), length + 1);
    text.ReleaseBuffer();
}

void CWnd::SetFont(CFont* font, BOOL redraw)
{
    SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font ? font->m_hObject : nullptr), redraw);
}

CFont* CWnd::GetFont() const
{
    // The control's font is borrowed, never deleted through this wrapper.
    HFONT font = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
    return CFont::FromHandle(font);
}

HICON CWnd::SetIcon(HICON icon, BOOL bigIcon)
{
    return reinterpret_cast<HICON>(
        SendMessage(WM_SETICON, bigIcon ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(icon)));
}

HICON CWnd::GetIcon(BOOL bigIcon) const
{
    return reinterpret_cast<HICON>(SendMessage(WM_GETICON, bigIcon ? ICON_BIG : ICON_SMALL, 0));
}

void CWnd::CenterWindow(CWnd* alternateOwner)
{
    HWND owner = alternateOwner ? alternateOwner->m_hWnd : ::GetWindow(m_hWnd, GW_OWNER);
    RECT area = {};
    if (owner && (GetStyle() & WS_CHILD) == 0) {
        ::GetWindowRect(owner, &area);
    } else {
        MONITORINFO info = {};
        info.cbSize = sizeof(info);
        ::GetMonitorInfoW(::MonitorFromWindow(m_hWnd, MONITOR_DEFAULTTONEAREST), &info);
        area = info.rcWork;
    }
    RECT window = {};
    ::GetWindowRect(m_hWnd, &window);
    int width = window.right - window.left;
    int height = window.bottom - window.top;
    ::SetWindowPos(m_hWnd, nullptr, area.left + (area.right - area.left - width) / 2,
                   area.top + (area.bottom - area.top - height) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL CWnd::RedrawWindow(LPCRECT rect, CRgn* region, UINT flags)
{
    return ::RedrawWindow(m_hWnd, rect, region ? static_cast<HRGN>(*region) : nullptr, flags);
}

CDC* CWnd::GetDC()
{
    return CDC::FromHandle(::GetDC(m_hWnd));
}

CDC* CWnd::GetWindowDC()
{
    return CDC::FromHandle(::GetWindowDC(m_hWnd));
}

int CWnd::ReleaseDC(CDC* dc)
{
    if (!dc) return 0;
    HDC hdc = dc->Detach();
    return hdc ? ::ReleaseDC(m_hWnd, hdc) : 0;
}
