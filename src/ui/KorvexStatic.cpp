#include "ui/KorvexStatic.h"

#include <oleacc.h>

#include "ui/FocusCue.h"
#include "ui/MemoryCanvas.h"
#include "ui/Theme.h"

BEGIN_MESSAGE_MAP(CKorvexStatic, CStatic)
ON_WM_MOUSEMOVE()
ON_WM_LBUTTONDOWN()
ON_WM_LBUTTONUP()
ON_WM_MOUSELEAVE()
ON_WM_SETFOCUS()
ON_WM_KILLFOCUS()
ON_MESSAGE(WM_UPDATEUISTATE, OnUpdateUiState)
ON_MESSAGE(WM_GETOBJECT, OnGetObject)
END_MESSAGE_MAP()

void CKorvexStatic::PreSubclassWindow()
{
    CStatic::PreSubclassWindow();
    // SS_OWNERDRAW is a type, not a flag: OR-ing it into SS_RIGHT would make
    // an enhanced-metafile static. Alignment comes from m_nFormat instead.
    ModifyStyle(SS_TYPEMASK, SS_OWNERDRAW);
}

void CKorvexStatic::DrawItem(LPDRAWITEMSTRUCT drawItem)
{
    CDC* target = CDC::FromHandle(drawItem->hDC);
    const CRect item(drawItem->rcItem);
    MemoryCanvas canvas(*target, item.Width(), item.Height());
    if (!canvas.IsReady()) return;
    CRect local(0, 0, item.Width(), item.Height());
    DrawBackground(canvas.dc(), local);
    const bool focusShown = ShowsLinkFocus();
    if (!m_strText.IsEmpty()) DrawLabelText(&canvas.dc(), m_strText, &local, m_bHighlighted || focusShown);
    canvas.CopyTo(*target, item.left, item.top);
    if (focusShown) {
        const CRect focus(item.left + 2, item.top + 2, item.left + item.Width() - 2, item.top + item.Height() - 2);
        target->DrawFocusRect(&focus);
    }
}

bool CKorvexStatic::ShowsLinkFocus() const
{
    return m_bLink && m_bFocused && FocusCuesShown(m_hWnd);
}

void CKorvexStatic::DrawBackground(CDC& dc, const CRect& item)
{
    if (!m_pBackDC) {
        dc.FillSolidRect(&item, m_clrBack);
        return;
    }
    const CRect source(m_rcBackSource);
    const bool sameSize = source.Width() == item.Width() && source.Height() == item.Height();
    const bool stretch = m_bStretchBack ? source.Width() < item.Width() : !sameSize;
    if (stretch) {
        dc.StretchBlt(0, 0, item.Width(), item.Height(), m_pBackDC, source.left, source.top, source.Width(),
                      source.Height(), SRCCOPY);
    } else {
        dc.BitBlt(0, 0, item.Width(), item.Height(), m_pBackDC, source.left, source.top, SRCCOPY);
    }
}

void CKorvexStatic::DrawLabelText(CDC* dc, LPCTSTR text, LPRECT rect, BOOL highlighted)
{
    dc->SetBkMode(TRANSPARENT);
    CFont fallback;
    CFont* font = m_pFont;
    if (!font || !font->GetSafeHandle()) {
        fallback.CreateFont(DpiExactX(14), 0, 0, 0, FW_NORMAL, FALSE, FALSE, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                            CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, 0, L"Arial");
        font = &fallback;
    }
    CFont* previous = dc->SelectObject(font);
    dc->SetTextColor(highlighted ? m_clrTextHighlight : m_clrText);
    dc->DrawText(text, -1, rect, m_nFormat);
    dc->SelectObject(previous);
}

void CKorvexStatic::SetLinkCursor(LPCWSTR cursor)
{
    if (m_bLink) ::SetCursor(LoadCursorW(nullptr, cursor));
}

void CKorvexStatic::OnMouseMove(UINT flags, CPoint point)
{
    SetLinkCursor(IDC_HAND);
    CStatic::OnMouseMove(flags, point);
}

void CKorvexStatic::OnLButtonDown(UINT flags, CPoint point)
{
    SetLinkCursor(IDC_HAND);
    CStatic::OnLButtonDown(flags, point);
}

void CKorvexStatic::OnLButtonUp(UINT flags, CPoint point)
{
    SetLinkCursor(IDC_ARROW);
    CStatic::OnLButtonUp(flags, point);
}

void CKorvexStatic::OnMouseLeave()
{
    SetLinkCursor(IDC_ARROW);
    CStatic::OnMouseLeave();
}

void CKorvexStatic::OnSetFocus(CWnd* oldWnd)
{
    CStatic::OnSetFocus(oldWnd);
    if (m_bFocused) return;
    SetFocus();
    m_bFocused = 1;
    Invalidate(FALSE);
}

void CKorvexStatic::OnKillFocus(CWnd* newWnd)
{
    CStatic::OnKillFocus(newWnd);
    if (!m_bFocused) return;
    m_bFocused = 0;
    Invalidate(FALSE);
}

LRESULT CKorvexStatic::OnUpdateUiState(WPARAM, LPARAM)
{
    const LRESULT result = Default();
    Invalidate(FALSE);
    return result;
}

void CKorvexStatic::PostClick()
{
    if (const HWND parent = ::GetParent(m_hWnd)) {
        ::PostMessageW(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(), STN_CLICKED), reinterpret_cast<LPARAM>(m_hWnd));
    }
}

BOOL CKorvexStatic::PreTranslateMessage(MSG* msg)
{
    const bool key =
        msg->hwnd == m_hWnd && msg->message == WM_KEYDOWN && (msg->wParam == VK_RETURN || msg->wParam == VK_SPACE);
    if (!m_bLink || !key) return CStatic::PreTranslateMessage(msg);
    // A key held down clicks once.
    const bool repeated = (msg->lParam & (1 << 30)) != 0;
    if (!repeated) PostClick();
    return TRUE;
}

LRESULT CKorvexStatic::OnGetObject(WPARAM wParam, LPARAM lParam)
{
    if (m_bLink) {
        if (const LRESULT answer = AnswerGetObject(m_hWnd, wParam, lParam)) return answer;
    }
    return Default();
}

AccessibleFacts CKorvexStatic::DescribeForAccessibility() const
{
    return AccessibleFacts{ROLE_SYSTEM_LINK, STATE_SYSTEM_LINKED, {}};
}

bool CKorvexStatic::DoAccessibleDefaultAction()
{
    if (!m_bLink) return false;
    PostClick();
    return true;
}
