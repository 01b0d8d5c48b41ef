#pragma once
// The accent push button: a rounded face drawn with Direct2D and a centred
// caption laid out with DirectWrite, so edges and text stay smooth at any
// DPI. Like the image button it posts its own click to the parent. Its
// window text is its caption, so accessibility clients read what it shows;
// while it has the keyboard focus a ring inside the face shows that.
#include <dwrite.h>

#include "mfc/AfxWin.h"
#include "ui/Direct2D.h"

class CKorvexTextButton : public CButton {
public:
    CKorvexTextButton();
    ~CKorvexTextButton() override;

    // The caption, drawn and as the window text.
    void SetText(const CString& text);
    // Takes every colour from the theme's palette again.
    void ApplyThemeColours();

    BOOL PreTranslateMessage(MSG* msg) override;
    // The face is painted in WM_PAINT; owner-draw requests have nothing to add.
    void DrawItem(LPDRAWITEMSTRUCT drawItem) override;

    COLORREF m_clrBack;
    COLORREF m_clrFaceDisabled;
    COLORREF m_clrFace;
    COLORREF m_clrFaceHover;
    COLORREF m_clrFacePressed;
    COLORREF m_clrTextDisabled;
    COLORREF m_clrText;
    COLORREF m_clrTextHover;
    COLORREF m_clrTextPressed;
    COLORREF m_clrFocusRing;
    CString m_strText;
    int m_bEnabled = 1;
    int m_bHover = 0;
    int m_bPressed = 0;
    int m_bCaptured = 0;
    int m_bTracking = 0;
    float m_fRadiusX;
    float m_fRadiusY;
    ComPtr<ID2D1DCRenderTarget> m_pRenderTarget;
    ComPtr<ID2D1Factory1> m_pFactory;
    ComPtr<IDWriteFactory> m_pWriteFactory;
    ComPtr<IDWriteTextFormat> m_pTextFormat;

protected:
    void OnPaint();
    void OnMouseMove(UINT flags, CPoint point);
    void OnMouseLeave();
    void OnLButtonDown(UINT flags, CPoint point);
    void OnLButtonUp(UINT flags, CPoint point);
    BOOL OnEraseBkgnd(CDC* dc);
    void OnSetFocus(CWnd* oldWnd);
    void OnKillFocus(CWnd* newWnd);
    LRESULT OnUpdateUiState(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    void EnsureResources();
    void ReleaseResources();
    void DrawFace(const CRect& client);
    void DrawCaption(const CRect& client, ID2D1SolidColorBrush* brush);
    void DrawFocusRing(const D2D1_RECT_F& area, ID2D1SolidColorBrush* brush);
};
