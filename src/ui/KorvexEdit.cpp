#include "ui/KorvexEdit.h"

#include <string>

#include "base/WinHandles.h"
#include "ui/EditNumeric.h"
#include "ui/FocusCue.h"
#include "ui/MemoryCanvas.h"
#include "ui/Theme.h"

using namespace korvex::ui;

namespace {

bool KeyDown(int virtualKey)
{
    return (GetKeyState(virtualKey) & 0x8000) != 0;
}

std::wstring ToStd(const CString& text)
{
    return std::wstring(text.GetString(), static_cast<size_t>(text.GetLength()));
}

// A template control is subclassed after PreSubclassWindow, so the frame
// change there reaches only the system edit; this repeats it for us.
UINT ApplyFrameMessage()
{
    static const UINT message = RegisterWindowMessageW(L"KorvexEditApplyFrame");
    return message;
}

}  // namespace

BEGIN_MESSAGE_MAP(CKorvexEdit, CEdit)
ON_WM_NCCALCSIZE()
ON_WM_NCPAINT()
ON_WM_CTLCOLOR_REFLECT()
ON_WM_ENABLE()
ON_WM_SETCURSOR()
ON_WM_LBUTTONDOWN()
ON_WM_LBUTTONUP()
ON_WM_SETFOCUS()
ON_WM_KILLFOCUS()
ON_MESSAGE(WM_UPDATEUISTATE, OnUpdateUiState)
ON_WM_CHAR()
ON_MESSAGE(WM_CONTEXTMENU, OnContextMenuRequest)
END_MESSAGE_MAP()

CKorvexEdit::CKorvexEdit()
    : m_clrBorder(RGB(0x49, 0x5A, 0x69)),
      m_clrBorderFocus(RGB(0x36, 0x8A, 0xD3)),
      m_clrBack(RGB(0x14, 0x1A, 0x20)),
      m_clrText(RGB(0xFF, 0xFF, 0xFF))
{
    m_brBack.CreateSolidBrush(m_clrBack);
}

void CKorvexEdit::PreSubclassWindow()
{
    CEdit::PreSubclassWindow();
    ModifyStyleEx(WS_EX_CLIENTEDGE, 0, SWP_FRAMECHANGED);
    ModifyStyle(WS_BORDER, 0, SWP_FRAMECHANGED);
    PostMessage(ApplyFrameMessage());
}

LRESULT CKorvexEdit::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == ApplyFrameMessage()) {
        SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
        return 0;
    }
    return CEdit::WindowProc(message, wParam, lParam);
}

bool CKorvexEdit::IsWritable() const
{
    return IsWindowEnabled() && !(GetStyle() & ES_READONLY);
}

void CKorvexEdit::RedrawWithFrame()
{
    RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
}

int CKorvexEdit::VerticalPadding(int height) const
{
    const WindowDc screen(nullptr, ::GetDC(nullptr));
    if (!screen) return 0;
    HFONT font = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
    // Selecting no font changes nothing: the screen's own font is measured.
    const SelectedObject selected(screen.get(), font);
    TEXTMETRICW metrics{};
    if (!GetTextMetricsW(screen.get(), &metrics)) return 0;
    const int padding = (height - metrics.tmExternalLeading - metrics.tmHeight) / 2;
    return padding > 0 ? padding : 0;
}

void CKorvexEdit::OnNcCalcSize(BOOL calcValidRects, NCCALCSIZE_PARAMS* params)
{
    CEdit::OnNcCalcSize(calcValidRects, params);
    // Without valid rects lParam is a single RECT, the same first member.
    RECT& client = params->rgrc[0];
    const int padding = VerticalPadding(client.bottom - client.top);
    client.left += 1;
    client.right -= 1;
    client.top += padding;
    client.bottom -= padding;
}

void CKorvexEdit::OnNcPaint()
{
    CEdit::OnNcPaint();
    CWindowDC dc(this);
    const WindowAreas areas = GetWindowAreas(*this);
    const CRect& window = areas.window;
    const CRect& client = areas.client;
    CBrush back(m_clrBack);
    const CRect above(1, 0, window.right - 1, client.top);
    const CRect below(1, client.bottom, window.right - 1, window.bottom);
    if (!above.IsRectEmpty()) dc.FillRect(&above, &back);
    if (!below.IsRectEmpty()) dc.FillRect(&below, &back);
    const bool focused = m_bFocused || ShowsFocusCue(m_hWnd);
    CBrush border(focused && IsWritable() ? m_clrBorderFocus : m_clrBorder);
    dc.FrameRect(&window, &border);
}

HBRUSH CKorvexEdit::CtlColor(CDC* dc, UINT)
{
    dc->SetBkMode(TRANSPARENT);
    dc->SetBkColor(m_clrBack);
    dc->SetTextColor(IsWritable() ? m_clrText : GetSysColor(COLOR_GRAYTEXT));
    return m_brBack.GetSafeHandle() ? static_cast<HBRUSH>(m_brBack) : static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
}

void CKorvexEdit::OnEnable(BOOL enable)
{
    CEdit::OnEnable(enable);
    RedrawWithFrame();
}

BOOL CKorvexEdit::OnSetCursor(CWnd*, UINT, UINT)
{
    ::SetCursor(LoadCursorW(nullptr, IDC_IBEAM));
    return TRUE;
}

void CKorvexEdit::OnLButtonDown(UINT flags, CPoint point)
{
    SetCapture();
    if (m_bFocused || !IsWritable()) {
        CEdit::OnLButtonDown(flags, point);
    } else {
        SetFocus();
        SetSel(0, -1);
    }
    m_bFocused = 1;
    m_bTouched = 1;
    RedrawWithFrame();
    GetWindowText(m_strAtClick);
}

void CKorvexEdit::OnLButtonUp(UINT flags, CPoint point)
{
    ReleaseCapture();
    CEdit::OnLButtonUp(flags, point);
}

void CKorvexEdit::OnSetFocus(CWnd* oldWnd)
{
    CEdit::OnSetFocus(oldWnd);
    RedrawWithFrame();
}

LRESULT CKorvexEdit::OnUpdateUiState(WPARAM, LPARAM)
{
    const LRESULT result = Default();
    RedrawWithFrame();
    return result;
}

void CKorvexEdit::OnKillFocus(CWnd* newWnd)
{
    m_bFocused = 0;
    if (m_nMode == kEditDecimal && m_bGroupThousands) {
        CString text;
        GetWindowText(text);
        SetWindowText(GroupThousands(ToStd(text)).c_str());
    }
    CEdit::OnKillFocus(newWnd);
    RedrawWithFrame();
}

void CKorvexEdit::OnChar(UINT ch, UINT repeat, UINT flags)
{
    const bool numeric = m_nMode == kEditInteger || m_nMode == kEditDecimal;
    if (ch == VK_RETURN) {
        if (numeric) {
            if (const HWND parent = ::GetParent(m_hWnd)) {
                ::PostMessageW(parent, WM_EDIT_ENTER, reinterpret_cast<WPARAM>(m_hWnd), 0);
            }
        }
        SetSel(0xFFFF, 0xFFFF);
        return;
    }
    if (!EditAcceptsChar(m_nMode, m_bAllowNegative != 0, static_cast<wchar_t>(ch))) return;
    CEdit::OnChar(ch, repeat, flags);
}

// The release of a right click becomes WM_CONTEXTMENU in the default
// processing; the field has no context menu.
LRESULT CKorvexEdit::OnContextMenuRequest(WPARAM, LPARAM)
{
    return 0;
}

BOOL CKorvexEdit::PreTranslateMessage(MSG* msg)
{
    if (msg->hwnd == m_hWnd) {
        if (msg->message == WM_RBUTTONDOWN) {
            if (!m_bFocused && IsWritable()) {
                SetSel(0, -1, TRUE);
            } else {
                SetSel(0xFFFF, 0xFFFF, TRUE);
            }
            SendMessage(EM_SCROLLCARET);
            SetFocus();
            m_bFocused = 1;
            RedrawWithFrame();
            return TRUE;
        }
        if (HandleShortcut(*msg)) return TRUE;
        if ((m_nMode == kEditInteger || m_nMode == kEditDecimal) && HandleNumericKey(*msg)) {
            return TRUE;
        }
    }
    return CEdit::PreTranslateMessage(msg);
}

bool CKorvexEdit::HandleShortcut(const MSG& msg)
{
    if (msg.message != WM_KEYDOWN || !KeyDown(VK_CONTROL) || KeyDown(VK_SHIFT)) return false;
    switch (msg.wParam) {
        case 'A':
            SetSel(0, -1);
            return true;
        case 'C':
            SendMessage(WM_COPY);
            return true;
        case 'X':
            SendMessage(WM_CUT);
            return true;
        case 'V':
            if (m_bAllowPaste) SendMessage(WM_PASTE);
            return true;
        default:
            return false;
    }
}

bool CKorvexEdit::HandleNumericKey(const MSG& msg)
{
    if (msg.message == WM_SYSKEYDOWN && KeyDown(VK_MENU)) return true;
    if (msg.message == WM_KEYUP && msg.wParam == VK_SPACE) return true;
    if (msg.message != WM_KEYDOWN) return false;
    if (KeyDown(VK_CONTROL) || KeyDown(VK_SHIFT)) return true;
    if (msg.wParam == VK_UP || msg.wParam == VK_DOWN) {
        Step(msg.wParam == VK_UP);
        return true;
    }
    return !NumericModeKeyPasses(m_nMode, static_cast<unsigned>(msg.wParam));
}

void CKorvexEdit::Step(bool up)
{
    CString text;
    GetWindowText(text);
    std::wstring stepped;
    if (m_nMode == kEditInteger) {
        stepped = StepInteger(ToStd(text), up, IntegerLimits{m_nMin, m_nMax, m_bUseMin != 0, m_bUseMax != 0});
    } else {
        stepped = StepDecimal(
            ToStd(text), up,
            DecimalLimits{m_dMin, m_dMax, m_bUseMin != 0, m_bUseMax != 0, m_nDecimals, m_bGroupThousands != 0});
    }
    SetWindowText(stepped.c_str());
    Invalidate(TRUE);
    UpdateWindow();
}
