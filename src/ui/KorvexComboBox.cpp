#include "ui/KorvexComboBox.h"

#include <vector>

#include "ui/ComboLayout.h"
#include "ui/ImageWrapper.h"
#include "ui/MemoryCanvas.h"
#include "ui/Theme.h"

using namespace korvex::ui;

namespace {

constexpr UINT kRepaintFlags = RDW_UPDATENOW | RDW_ERASE | RDW_INVALIDATE;
constexpr int kVisibleRows = 7;

UiRect ToUiRect(const RECT& rect)
{
    return {rect.left, rect.top, rect.right, rect.bottom};
}
RECT ToRect(const UiRect& rect)
{
    return {rect.left, rect.top, rect.right, rect.bottom};
}

bool CursorOutside(HWND window)
{
    POINT cursor;
    RECT bounds;
    return GetCursorPos(&cursor) && GetWindowRect(window, &bounds) && !PtInRect(&bounds, cursor);
}

}  // namespace

// ---------------------------------------------------------------- edit field

BEGIN_MESSAGE_MAP(CKorvexComboBox_Edit, CEdit)
ON_MESSAGE(EM_SETSEL, OnSetSel)
ON_WM_MOUSEMOVE()
ON_WM_MOUSELEAVE()
ON_WM_LBUTTONDOWN()
ON_WM_LBUTTONDBLCLK()
ON_WM_SETCURSOR()
ON_WM_SETFOCUS()
ON_WM_KILLFOCUS()
ON_WM_CTLCOLOR_REFLECT()
END_MESSAGE_MAP()

CKorvexComboBox_Edit::CKorvexComboBox_Edit()
    : m_clrText(RGB(0xFF, 0xFF, 0xFF)), m_clrTextReadOnly(RGB(0xFF, 0xFF, 0xFF))
{}

LRESULT CKorvexComboBox_Edit::OnSetSel(WPARAM, LPARAM)
{
    return IsReadOnly() ? 0 : Default();
}

void CKorvexComboBox_Edit::OnMouseMove(UINT flags, CPoint point)
{
    if (!m_bTracking) {
        TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, m_hWnd, HOVER_DEFAULT};
        m_bTracking = TrackMouseEvent(&track) ? 1 : 0;
        if (::IsWindow(m_hwndCombo)) ::SendMessageW(m_hwndCombo, WM_COMBO_EDITENTER, 0, 0);
    }
    CEdit::OnMouseMove(flags, point);
}

void CKorvexComboBox_Edit::OnMouseLeave()
{
    m_bTracking = 0;
    if (::IsWindow(m_hwndCombo)) ::SendMessageW(m_hwndCombo, WM_COMBO_EDITLEAVE, 0, 0);
    CEdit::OnMouseLeave();
}

void CKorvexComboBox_Edit::OnLButtonDown(UINT flags, CPoint point)
{
    if (!IsReadOnly() || !::IsWindow(m_hwndCombo)) {
        CEdit::OnLButtonDown(flags, point);
        return;
    }
    POINT inCombo = point;
    ::MapWindowPoints(m_hWnd, m_hwndCombo, &inCombo, 1);
    ::SendMessageW(m_hwndCombo, WM_LBUTTONDOWN, flags, MAKELPARAM(inCombo.x, inCombo.y));
}

void CKorvexComboBox_Edit::OnLButtonDblClk(UINT flags, CPoint point)
{
    if (!IsReadOnly()) CEdit::OnLButtonDblClk(flags, point);
}

BOOL CKorvexComboBox_Edit::OnSetCursor(CWnd* wnd, UINT hitTest, UINT message)
{
    if (!IsReadOnly()) return CEdit::OnSetCursor(wnd, hitTest, message);
    ::SetCursor(LoadCursorW(nullptr, IDC_ARROW));
    return TRUE;
}

void CKorvexComboBox_Edit::OnSetFocus(CWnd* oldWnd)
{
    CEdit::OnSetFocus(oldWnd);
    if (!IsReadOnly()) return;
    // Focus coming from the combo box itself stays here: the combo box hands
    // its focus to this field, and giving it back would bounce for ever.
    const HWND previous = oldWnd ? oldWnd->m_hWnd : nullptr;
    if (previous && ::IsWindow(previous) && previous != m_hwndCombo && !::IsChild(m_hwndCombo, previous)) {
        ::SetFocus(previous);
    } else {
        ::HideCaret(m_hWnd);
    }
}

void CKorvexComboBox_Edit::OnKillFocus(CWnd* newWnd)
{
    CEdit::OnKillFocus(newWnd);
    if (GetWindowTextLength() == 0 && !m_strCue.IsEmpty()) SetWindowText(m_strCue);
}

HBRUSH CKorvexComboBox_Edit::CtlColor(CDC* dc, UINT)
{
    dc->SetTextColor(IsReadOnly() ? m_clrTextReadOnly : m_clrText);
    return nullptr;
}

// ---------------------------------------------------------------- list

BEGIN_MESSAGE_MAP(CKorvexComboBox_ListBox, CListBox)
ON_WM_NCPAINT()
ON_WM_SHOWWINDOW()
ON_WM_RBUTTONUP()
END_MESSAGE_MAP()

CKorvexComboBox_ListBox::CKorvexComboBox_ListBox()
    : m_pFont(fontBody),
      m_clrFrame(RGB(0x36, 0x8A, 0xD3)),
      m_clrText(RGB(0xCE, 0xD8, 0xDF)),
      m_clrTextSelected(RGB(0xCE, 0xD8, 0xDF)),
      m_clrItem(RGB(0x14, 0x1A, 0x20)),
      m_clrItemSelected(RGB(0x33, 0x3C, 0x43))
{}

void CKorvexComboBox_ListBox::PreSubclassWindow()
{
    CListBox::PreSubclassWindow();
    ModifyStyle(0, LBS_OWNERDRAWFIXED);
}

void CKorvexComboBox_ListBox::DrawItem(LPDRAWITEMSTRUCT drawItem)
{
    CDC* target = CDC::FromHandle(drawItem->hDC);
    const CRect item(drawItem->rcItem);
    MemoryCanvas canvas(*target, item.Width(), item.Height());
    if (!canvas.IsReady()) return;
    CDC& dc = canvas.dc();
    const bool selected = (drawItem->itemState & ODS_SELECTED) != 0;
    CRect local(0, 0, item.Width(), item.Height());
    dc.FillSolidRect(&local, selected ? m_clrItemSelected : m_clrItem);
    if (static_cast<int>(drawItem->itemID) >= 0 && m_hWnd) {
        CString text;
        GetText(static_cast<int>(drawItem->itemID), text);
        CFont* previous = m_pFont ? dc.SelectObject(m_pFont) : nullptr;
        dc.SetBkMode(TRANSPARENT);
        dc.SetTextColor(selected ? m_clrTextSelected : m_clrText);
        local.left += DpiExactX(4);
        dc.DrawText(text, &local, DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        if (previous) dc.SelectObject(previous);
    }
    canvas.CopyTo(*target, item.left, item.top);
}

void CKorvexComboBox_ListBox::OnNcPaint()
{
    CWindowDC dc(this);
    WindowAreas areas = GetWindowAreas(*this);
    // The scroll bar keeps its own look.
    if (GetStyle() & WS_VSCROLL) areas.client.right += GetSystemMetrics(SM_CXVSCROLL);
    dc.ExcludeClipRect(&areas.client);
    dc.FillSolidRect(&areas.window, m_clrFrame);
}

void CKorvexComboBox_ListBox::OnShowWindow(BOOL show, UINT status)
{
    CListBox::OnShowWindow(show, status);
    if (!show && ::IsWindow(m_hwndCombo)) ::SendMessageW(m_hwndCombo, WM_COMBO_LISTHIDDEN, 0, 0);
}

void CKorvexComboBox_ListBox::OnRButtonUp(UINT flags, CPoint point)
{
    int hit = -1;
    const int count = GetCount();
    for (int index = 0; index < count; ++index) {
        RECT item;
        if (GetItemRect(index, &item) != LB_ERR && PtInRect(&item, point)) {
            hit = index;
            break;
        }
    }
    if (::IsWindow(m_hwndCombo)) ::PostMessageW(m_hwndCombo, WM_COMBO_LISTRCLICK, static_cast<WPARAM>(hit), 0);
    CListBox::OnRButtonUp(flags, point);
}

// ---------------------------------------------------------------- combo box

BEGIN_MESSAGE_MAP(CKorvexComboBox, CComboBox)
ON_WM_CREATE()
ON_WM_PAINT()
ON_WM_ERASEBKGND()
ON_WM_SIZE()
ON_WM_LBUTTONDOWN()
ON_WM_LBUTTONDBLCLK()
ON_WM_MOUSEMOVE()
ON_WM_MOUSELEAVE()
ON_CONTROL_REFLECT_EX(CBN_DROPDOWN, OnDropDown)
ON_CONTROL_REFLECT_EX(CBN_SETFOCUS, OnFocusGained)
ON_CONTROL_REFLECT_EX(CBN_KILLFOCUS, OnFocusLost)
ON_WM_CTLCOLOR()
ON_MESSAGE(WM_COMBO_EDITENTER, OnEditEnter)
ON_MESSAGE(WM_COMBO_EDITLEAVE, OnEditLeave)
ON_MESSAGE(WM_COMBO_LISTHIDDEN, OnListHidden)
ON_MESSAGE(WM_COMBO_LISTRCLICK, OnListRightClick)
END_MESSAGE_MAP()

CKorvexComboBox::CKorvexComboBox()
    : m_nRowHeight(ScreenDpiY() * 22 / 96),
      m_pFont(fontBody),
      m_clrFace(RGB(0x14, 0x1A, 0x20)),
      m_clrArrowBack(RGB(0x14, 0x1A, 0x20)),
      m_clrText(RGB(0xFF, 0xFF, 0xFF)),
      m_clrTextEmpty(RGB(0x64, 0x64, 0x64)),
      m_clrBorder(RGB(0x49, 0x5A, 0x69)),
      m_clrBorderHover(RGB(0x36, 0x8A, 0xD3)),
      m_pList(std::make_unique<CKorvexComboBox_ListBox>())
{
    if (const std::shared_ptr<CImageWrapper> arrow = LoadPngResource(DpiImageId(144))) {
        m_hArrowBitmap = arrow->bitmap.get();
        m_sizeArrowImage = SIZE{arrow->width, arrow->height};
    }
}

CKorvexComboBox::~CKorvexComboBox()
{
    // The children go first so that none outlives the objects that subclass it.
    if (m_hWnd) DestroyWindow();
}

void CKorvexComboBox::PreSubclassWindow()
{
    CComboBox::PreSubclassWindow();
    AttachChildren();
}

int CKorvexComboBox::OnCreate(LPCREATESTRUCTW cs)
{
    const int result = CComboBox::OnCreate(cs);
    if (result == 0) AttachChildren();
    return result;
}

void CKorvexComboBox::AttachChildren()
{
    COMBOBOXINFO info{};
    info.cbSize = sizeof(info);
    if (!GetComboBoxInfo(&info)) return;
    if (info.hwndItem && !m_edit.m_hWnd && m_edit.SubclassWindow(info.hwndItem)) {
        m_edit.m_hwndCombo = m_hWnd;
        m_edit.ShowWindow(SW_HIDE);
    }
    if (info.hwndList && !m_pList->m_hWnd && m_pList->SubclassWindow(info.hwndList)) {
        m_pList->m_hwndCombo = m_hWnd;
    }
}

bool CKorvexComboBox::IsEditReadOnly() const
{
    return m_edit.m_hWnd && (m_edit.GetStyle() & ES_READONLY);
}

void CKorvexComboBox::Repaint()
{
    RedrawWindow(nullptr, nullptr, kRepaintFlags);
}

void CKorvexComboBox::DrawItem(LPDRAWITEMSTRUCT drawItem)
{
    // Only the list's rows are drawn this way; the face has its own paint.
    if (drawItem->itemState & ODS_COMBOBOXEDIT) return;
    if (m_pList->m_hWnd) m_pList->DrawItem(drawItem);
}

void CKorvexComboBox::MeasureItem(LPMEASUREITEMSTRUCT measureItem)
{
    measureItem->itemHeight = static_cast<UINT>(m_nRowHeight);
}

CString CKorvexComboBox::FaceText(bool& isSelection) const
{
    CString text;
    const int selection = GetCurSel();
    isSelection = selection != CB_ERR;
    if (isSelection) {
        GetLBText(selection, text);
    } else {
        text = m_edit.m_strCue;
    }
    return text;
}

void CKorvexComboBox::OnPaint()
{
    CPaintDC paint(this);
    CRect client;
    GetClientRect(&client);
    MemoryCanvas canvas(paint, client.Width(), client.Height());
    if (!canvas.IsReady()) return;
    CDC& dc = canvas.dc();
    const UiSize frame{m_sizeArrowFrame.cx, m_sizeArrowFrame.cy};
    const ComboFaceLayout layout = LayoutComboFace(ToUiRect(client), frame, ScreenDpiX());

    dc.FillSolidRect(&client, m_clrFace);
    const RECT arrowBack = ToRect(layout.arrowBack);
    dc.FillSolidRect(&arrowBack, m_clrArrowBack);
    BitmapSource arrow(dc, m_hArrowBitmap);
    if (arrow.IsReady()) {
        const int index = m_bHover ? kArrowBright : kArrowDim;
        dc.AlphaBlend(layout.arrowX, layout.arrowY, frame.cx, frame.cy, &arrow.dc(),
                      m_bArrowFramesHorizontal ? index * frame.cx : 0, m_bArrowFramesHorizontal ? 0 : index * frame.cy,
                      frame.cx, frame.cy, m_blend);
    }

    if (IsEditReadOnly()) {
        bool isSelection = false;
        const CString text = FaceText(isSelection);
        if (!text.IsEmpty()) {
            CFont* previous = m_pFont ? dc.SelectObject(m_pFont) : nullptr;
            dc.SetTextColor(isSelection ? m_clrText : m_clrTextEmpty);
            dc.SetBkMode(TRANSPARENT);
            const CSize extent = dc.GetTextExtent(text);
            RECT area = ToRect(ComboTextRect(ToUiRect(client), frame, extent.cy, ScreenDpiX()));
            dc.DrawText(text, &area, DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
            if (previous) dc.SelectObject(previous);
        }
    }

    CPen border(PS_SOLID, 1, m_bHover ? m_clrBorderHover : m_clrBorder);
    CPen* oldPen = dc.SelectObject(&border);
    HGDIOBJ oldBrush = dc.SelectObject(GetStockObject(NULL_BRUSH));
    dc.RoundRect(&client, CPoint(0, 0));
    dc.SelectObject(oldBrush);
    dc.SelectObject(oldPen);
    canvas.CopyTo(paint, 0, 0);
}

BOOL CKorvexComboBox::OnEraseBkgnd(CDC*)
{
    return TRUE;
}

void CKorvexComboBox::OnSize(UINT type, int cx, int cy)
{
    CComboBox::OnSize(type, cx, cy);
    if (!m_edit.m_hWnd || !m_hArrowBitmap) return;
    const UiSize frame =
        ArrowFrameSize(UiSize{m_sizeArrowImage.cx, m_sizeArrowImage.cy}, m_bArrowFramesHorizontal != 0);
    m_sizeArrowFrame = SIZE{frame.cx, frame.cy};
    CRect client;
    GetClientRect(&client);

    CRect edit;
    m_edit.GetWindowRect(&edit);
    ScreenToClient(&edit);
    TEXTMETRICW metrics{};
    {
        CClientDC editDC(&m_edit);
        CFont* font = m_edit.GetFont();
        CFont* previous = font ? editDC.SelectObject(font) : nullptr;
        editDC.GetTextMetrics(&metrics);
        if (previous) editDC.SelectObject(previous);
    }
    const int lineHeight = metrics.tmHeight + metrics.tmExternalLeading;
    const int top = edit.top + (edit.Height() - lineHeight) / 2;
    m_edit.SetWindowPos(nullptr, edit.left, top, client.Width() - frame.cx - 2 - edit.left, lineHeight,
                        SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);

    m_rcArrow = ToRect(LayoutComboFace(ToUiRect(client), frame, ScreenDpiX()).arrowZone);

    if (m_pList->m_hWnd) {
        CRect list;
        m_pList->GetWindowRect(&list);
        m_pList->SetWindowPos(nullptr, list.left, list.top, GetDroppedWidth(), kVisibleRows * m_nRowHeight,
                              SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void CKorvexComboBox::OnLButtonDown(UINT, CPoint point)
{
    // Read before taking the focus: moving the focus rolls an open list up.
    const BOOL dropped = GetDroppedState();
    SetFocus();
    CRect client;
    GetClientRect(&client);
    const bool readOnly = IsEditReadOnly();
    if (readOnly || IsInArrowZone(ToUiRect(client), ToUiRect(m_rcArrow), point.x, point.y)) {
        ShowDropDown(!dropped);
        if (readOnly && m_edit.m_hWnd) {
            m_edit.SendMessage(EM_SETSEL, 0, 0);
            m_edit.SendMessage(EM_SCROLLCARET);
        }
    }
    RedrawWindow(&m_rcArrow, nullptr, kRepaintFlags);
}

// A quick second click opens or closes the list again, like the first.
void CKorvexComboBox::OnLButtonDblClk(UINT flags, CPoint point)
{
    OnLButtonDown(flags, point);
}

void CKorvexComboBox::OnMouseMove(UINT flags, CPoint point)
{
    if (!m_bTracking) {
        TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, m_hWnd, HOVER_DEFAULT};
        TrackMouseEvent(&track);
        m_bTracking = 1;
        m_bHover = 1;
        if (const HWND parent = ::GetParent(m_hWnd)) {
            ::PostMessageW(parent, WM_COMBO_MOUSEENTER, reinterpret_cast<WPARAM>(this), 0);
        }
        Repaint();
    }
    CComboBox::OnMouseMove(flags, point);
}

void CKorvexComboBox::OnMouseLeave()
{
    m_bTracking = 0;
    if (!m_pList->m_hWnd || !m_pList->IsWindowVisible()) {
        if (CursorOutside(m_hWnd)) m_bHover = 0;
        Repaint();
    }
    if (const HWND parent = ::GetParent(m_hWnd)) ::PostMessageW(parent, WM_COMBO_MOUSELEAVE, 0, 0);
    CComboBox::OnMouseLeave();
}

BOOL CKorvexComboBox::OnDropDown()
{
    const int count = GetCount();
    CClientDC dc(this);
    CFont* font = GetFont();
    CFont* previous = font ? dc.SelectObject(font) : nullptr;
    ListWidthInput input;
    input.itemWidths.reserve(count > 0 ? static_cast<size_t>(count) : 0);
    for (int index = 0; index < count; ++index) {
        CString text;
        GetLBText(index, text);
        input.itemWidths.push_back(dc.GetTextExtent(text).cx);
    }
    TEXTMETRICW metrics{};
    dc.GetTextMetrics(&metrics);
    if (previous) dc.SelectObject(previous);
    input.scrollBarWidth = GetSystemMetrics(SM_CXVSCROLL);
    input.averageCharWidth = metrics.tmAveCharWidth;
    input.edgeWidth = GetSystemMetrics(SM_CXEDGE);
    CRect window;
    GetWindowRect(&window);
    input.comboWidth = window.Width();
    SetDroppedWidth(static_cast<UINT>(DropDownListWidth(input, ScreenDpiX())));
    return FALSE;
}

BOOL CKorvexComboBox::OnFocusGained()
{
    m_bFocused = 1;
    Repaint();
    return FALSE;
}

BOOL CKorvexComboBox::OnFocusLost()
{
    m_bFocused = 0;
    Repaint();
    return FALSE;
}

HBRUSH CKorvexComboBox::OnCtlColor(CDC* dc, CWnd* wnd, UINT ctlColor)
{
    const HWND list = ctlColor == CTLCOLOR_LISTBOX && wnd ? wnd->m_hWnd : nullptr;
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    RECT combo;
    RECT listRect;
    if (list && ::GetWindowRect(m_hWnd, &combo) && ::GetWindowRect(list, &listRect) &&
        GetMonitorInfoW(MonitorFromWindow(m_hWnd, MONITOR_DEFAULTTONEAREST), &monitor)) {
        const int left = KeepListOnMonitor(combo.left, ToUiRect(listRect), monitor.rcMonitor.right);
        if (left != listRect.left) {
            ::SetWindowPos(list, nullptr, left, listRect.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
    return CComboBox::OnCtlColor(dc, wnd, ctlColor);
}

LRESULT CKorvexComboBox::OnEditEnter(WPARAM, LPARAM)
{
    if (!m_bHover) {
        m_bHover = 1;
        Repaint();
    }
    return 0;
}

LRESULT CKorvexComboBox::OnEditLeave(WPARAM, LPARAM)
{
    if (CursorOutside(m_hWnd) && m_bHover) {
        m_bHover = 0;
        Repaint();
    }
    return 0;
}

LRESULT CKorvexComboBox::OnListHidden(WPARAM, LPARAM)
{
    m_bHover = 0;
    Repaint();
    return 0;
}

LRESULT CKorvexComboBox::OnListRightClick(WPARAM wParam, LPARAM lParam)
{
    if (const HWND parent = ::GetParent(m_hWnd)) ::PostMessageW(parent, WM_COMBO_ITEMRCLICK, wParam, lParam);
    return 0;
}
