#pragma once
// A flat dark drop-down list made from a standard owner-drawn combo box: it
// paints its face, current text, arrow and border, keeps the system edit
// field hidden, draws the list's items and frame, sizes the list to its
// longest item and keeps it on the monitor. Two companions subclass the
// combo box's children: the edit field and the drop-down list.
#include <memory>

#include "mfc/AfxWin.h"

// Messages the children send to their combo box.
constexpr UINT WM_COMBO_EDITENTER = WM_USER + 1;
constexpr UINT WM_COMBO_EDITLEAVE = WM_USER + 2;
constexpr UINT WM_COMBO_LISTHIDDEN = WM_USER + 3;
constexpr UINT WM_COMBO_LISTRCLICK = WM_USER + 4;
// Posted to the combo box's parent.
constexpr UINT WM_COMBO_ITEMRCLICK = WM_USER + 5;  // WPARAM: item index or -1
constexpr UINT WM_COMBO_MOUSEENTER = WM_USER + 6;  // WPARAM: the CKorvexComboBox*
constexpr UINT WM_COMBO_MOUSELEAVE = WM_USER + 7;

class CKorvexComboBox_Edit : public CEdit {
public:
    CKorvexComboBox_Edit();

    HWND m_hwndCombo = nullptr;
    int m_bTracking = 0;
    CString m_strCue;
    COLORREF m_clrText;
    COLORREF m_clrTextReadOnly;

protected:
    LRESULT OnSetSel(WPARAM wParam, LPARAM lParam);
    void OnMouseMove(UINT flags, CPoint point);
    void OnMouseLeave();
    void OnLButtonDown(UINT flags, CPoint point);
    void OnLButtonDblClk(UINT flags, CPoint point);
    BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message);
    void OnSetFocus(CWnd* oldWnd);
    void OnKillFocus(CWnd* newWnd);
    HBRUSH CtlColor(CDC* dc, UINT ctlColor);
    DECLARE_MESSAGE_MAP()

private:
    bool IsReadOnly() const { return (GetStyle() & ES_READONLY) != 0; }
};

class CKorvexComboBox_ListBox : public CListBox {
public:
    CKorvexComboBox_ListBox();

    void PreSubclassWindow() override;
    void DrawItem(LPDRAWITEMSTRUCT drawItem) override;

    HWND m_hwndCombo = nullptr;
    CFont* m_pFont;  // borrowed
    COLORREF m_clrFrame;
    COLORREF m_clrText;
    COLORREF m_clrTextSelected;
    COLORREF m_clrItem;
    COLORREF m_clrItemSelected;

protected:
    void OnNcPaint();
    void OnShowWindow(BOOL show, UINT status);
    void OnRButtonUp(UINT flags, CPoint point);
    DECLARE_MESSAGE_MAP()
};

class CKorvexComboBox : public CComboBox {
public:
    CKorvexComboBox();
    ~CKorvexComboBox() override;

    void PreSubclassWindow() override;
    // The list's items arrive here as the combo box's own owner-draw requests.
    void DrawItem(LPDRAWITEMSTRUCT drawItem) override;
    void MeasureItem(LPMEASUREITEMSTRUCT measureItem) override;

    int m_bFocused = 0;
    int m_bHover = 0;
    int m_bTracking = 0;
    SIZE m_sizeArrowFrame{16, 16};
    int m_nRowHeight;
    RECT m_rcArrow{};
    BLENDFUNCTION m_blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    CFont* m_pFont;  // borrowed
    COLORREF m_clrFace;
    COLORREF m_clrArrowBack;
    COLORREF m_clrText;
    COLORREF m_clrTextEmpty;
    COLORREF m_clrBorder;
    COLORREF m_clrBorderHover;
    CKorvexComboBox_Edit m_edit;
    std::unique_ptr<CKorvexComboBox_ListBox> m_pList;
    // The arrow strip: three frames side by side (dark, bright, dim).
    HBITMAP m_hArrowBitmap = nullptr;  // borrowed from the image cache
    SIZE m_sizeArrowImage{0, 0};
    int m_nArrowFrames = 3;
    int m_bArrowFramesHorizontal = 1;

protected:
    int OnCreate(LPCREATESTRUCTW cs);
    void OnPaint();
    BOOL OnEraseBkgnd(CDC* dc);
    void OnSize(UINT type, int cx, int cy);
    void OnLButtonDown(UINT flags, CPoint point);
    void OnLButtonDblClk(UINT flags, CPoint point);
    void OnMouseMove(UINT flags, CPoint point);
    void OnMouseLeave();
    BOOL OnDropDown();
    BOOL OnFocusGained();
    BOOL OnFocusLost();
    HBRUSH OnCtlColor(CDC* dc, CWnd* wnd, UINT ctlColor);
    LRESULT OnEditEnter(WPARAM wParam, LPARAM lParam);
    LRESULT OnEditLeave(WPARAM wParam, LPARAM lParam);
    LRESULT OnListHidden(WPARAM wParam, LPARAM lParam);
    LRESULT OnListRightClick(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    void AttachChildren();
    bool IsEditReadOnly() const;
    void Repaint();
    CString FaceText(bool& isSelection) const;
};
