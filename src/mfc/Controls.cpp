#include "mfc/Controls.h"

namespace {

BOOL CreateControl(CWnd& control, const wchar_t* className, const wchar_t* text, DWORD style, const RECT& rect,
                   CWnd* parent, UINT id)
{
    return control.CWnd::Create(className, text, style, rect, parent, id);
}

// Owner-draw reflection: the item structure travels in lParam.
template <class Control>
BOOL ReflectOwnerDraw(Control& control, UINT message, LPARAM lParam, LRESULT* result)
{
    if (message == WM_DRAWITEM) {
        control.DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
    } else if constexpr (requires { control.MeasureItem(nullptr); }) {
        if (message != WM_MEASUREITEM) return FALSE;
        control.MeasureItem(reinterpret_cast<LPMEASUREITEMSTRUCT>(lParam));
    } else {
        return FALSE;
    }
    if (result) *result = TRUE;
    return TRUE;
}

// An item's text from a list or combo box: lengthMessage, then textMessage.
void ReadItemText(const CWnd& control, UINT lengthMessage, UINT textMessage, int index, CString& text)
{
    int length = static_cast<int>(control.SendMessage(lengthMessage, static_cast<WPARAM>(index)));
    if (length < 0) {
        text.Empty();
        return;
    }
    control.SendMessage(textMessage, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.GetBuffer(length + 1)));
    text.ReleaseBuffer();
}

}  // namespace

BOOL CButton::Create(const wchar_t* caption, DWORD style, const RECT& rect, CWnd* parent, UINT id)
{
    return CreateControl(*this, WC_BUTTONW, caption, style, rect, parent, id);
}

void CButton::DrawItem(LPDRAWITEMSTRUCT) {}

BOOL CButton::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    return ReflectOwnerDraw(*this, message, lParam, result) || CWnd::OnChildNotify(message, wParam, lParam, result);
}

BOOL CStatic::Create(const wchar_t* text, DWORD style, const RECT& rect, CWnd* parent, UINT id)
{
    return CreateControl(*this, WC_STATICW, text, style, rect, parent, id);
}

void CStatic::DrawItem(LPDRAWITEMSTRUCT) {}

BOOL CStatic::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    return ReflectOwnerDraw(*this, message, lParam, result) || CWnd::OnChildNotify(message, wParam, lParam, result);
}

BOOL CEdit::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id)
{
    return CreateControl(*this, WC_EDITW, L"", style, rect, parent, id);
}

void CEdit::SetSel(int start, int end, BOOL noScroll)
{
    SendMessage(EM_SETSEL, static_cast<WPARAM>(start), end);
    if (!noScroll) SendMessage(EM_SCROLLCARET);
}

void CEdit::GetSel(int& start, int& end) const
{
    DWORD first = 0, last = 0;
    SendMessage(EM_GETSEL, reinterpret_cast<WPARAM>(&first), reinterpret_cast<LPARAM>(&last));
    start = static_cast<int>(first);
    end = static_cast<int>(last);
}

void CEdit::ReplaceSel(const wchar_t* text, BOOL canUndo)
{
    SendMessage(EM_REPLACESEL, canUndo, reinterpret_cast<LPARAM>(text));
}

BOOL CListBox::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id)
{
    return CreateControl(*this, WC_LISTBOXW, L"", style, rect, parent, id);
}

void CListBox::GetText(int index, CString& text) const
{
    ReadItemText(*this, LB_GETTEXTLEN, LB_GETTEXT, index, text);
}

void CListBox::DrawItem(LPDRAWITEMSTRUCT) {}
void CListBox::MeasureItem(LPMEASUREITEMSTRUCT) {}

BOOL CListBox::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    return ReflectOwnerDraw(*this, message, lParam, result) || CWnd::OnChildNotify(message, wParam, lParam, result);
}

BOOL CComboBox::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id)
{
    return CreateControl(*this, WC_COMBOBOXW, L"", style, rect, parent, id);
}

void CComboBox::GetLBText(int index, CString& text) const
{
    ReadItemText(*this, CB_GETLBTEXTLEN, CB_GETLBTEXT, index, text);
}

void CComboBox::DrawItem(LPDRAWITEMSTRUCT) {}
void CComboBox::MeasureItem(LPMEASUREITEMSTRUCT) {}

BOOL CComboBox::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    return ReflectOwnerDraw(*this, message, lParam, result) || CWnd::OnChildNotify(message, wParam, lParam, result);
}

BOOL CProgressCtrl::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id)
{
    return CreateControl(*this, PROGRESS_CLASSW, L"", style, rect, parent, id);
}
