#pragma once
// The label: GDI text on a flat colour or on a piece of a background image,
// in the colour, font and alignment the page chooses. In link mode it shows
// the hand cursor and, while focused, a focus rectangle; with SS_NOTIFY in
// its template the system static reports clicks to the parent. A link is
// also pressed with Enter or Space (the same STN_CLICKED), shows the focus in
// its highlight colour, and is a link to accessibility clients.
#include "mfc/AfxWin.h"
#include "ui/AccessibleControl.h"

class CKorvexStatic : public CStatic, public IAccessibleFacts {
public:
    CKorvexStatic() = default;

    virtual void DrawLabelText(CDC* dc, LPCTSTR text, LPRECT rect, BOOL highlighted);

    void PreSubclassWindow() override;
    void DrawItem(LPDRAWITEMSTRUCT drawItem) override;
    BOOL PreTranslateMessage(MSG* msg) override;
    AccessibleFacts DescribeForAccessibility() const override;
    bool DoAccessibleDefaultAction() override;

    int m_bHighlighted = 0;
    RECT m_rcBackSource{};
    CDC* m_pBackDC = nullptr;  // borrowed
    int m_bStretchBack = 0;
    COLORREF m_clrText = 0;
    COLORREF m_clrTextHighlight = 0;
    CString m_strText;
    CFont* m_pFont = nullptr;  // borrowed
    COLORREF m_clrBack = 0;
    int m_bLink = 0;
    int m_bFocused = 0;
    UINT m_nFormat = 0;

protected:
    void OnMouseMove(UINT flags, CPoint point);
    void OnLButtonDown(UINT flags, CPoint point);
    void OnLButtonUp(UINT flags, CPoint point);
    void OnMouseLeave();
    void OnSetFocus(CWnd* oldWnd);
    void OnKillFocus(CWnd* newWnd);
    LRESULT OnUpdateUiState(WPARAM wParam, LPARAM lParam);
    LRESULT OnGetObject(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    void DrawBackground(CDC& dc, const CRect& item);
    void SetLinkCursor(LPCWSTR cursor);
    void PostClick();
    bool ShowsLinkFocus() const;
};
