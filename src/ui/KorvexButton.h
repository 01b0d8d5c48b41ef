#pragma once
// The owner-drawn push button: an optional bitmap and an optional caption,
// both centred on a flat face that changes on hover and press. Pages use it
// mostly as an image button (check boxes, the expander, browse). It reports
// its own clicks, posted, so exactly one WM_COMMAND reaches the parent per
// click.
#include "mfc/AfxWin.h"

class CImageWrapper;

// WPARAM: the CKorvexButton*, posted to the parent when hovering starts.
constexpr UINT WM_IMAGEBUTTON_HOVER = WM_USER + 2000;
// Posted to the parent when the mouse leaves.
constexpr UINT WM_IMAGEBUTTON_LEAVE = WM_USER + 2001;

class CKorvexButton : public CButton {
public:
    CKorvexButton() = default;

    // Shows the image (borrowed: the button never deletes the bitmap).
    void SetImage(const CImageWrapper& image);
    // Drops the image and sets the colours and caption.
    void SetAppearance(const SIZE& imageSize, COLORREF face, COLORREF hover, COLORREF pressed, COLORREF border,
                       const CString& text);

    void PreSubclassWindow() override;
    BOOL PreTranslateMessage(MSG* msg) override;
    void DrawItem(LPDRAWITEMSTRUCT drawItem) override;

    COLORREF m_clrFace = 0;
    COLORREF m_clrHover = 0;
    COLORREF m_clrPressed = 0;
    COLORREF m_clrBorder = 0;
    CString m_strText;
    HBITMAP m_hBitmap = nullptr;
    int m_nFrames = 0;
    int m_bFramesHorizontal = 1;
    SIZE m_sizeImage{0, 0};
    int m_bTracking = 0;
    int m_bPressed = 0;
    int m_bHover = 0;
    int m_bEnabled = 1;
    int m_bCaptured = 0;
    BLENDFUNCTION m_blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};

protected:
    int OnCreate(LPCREATESTRUCTW cs);
    void OnMouseMove(UINT flags, CPoint point);
    void OnMouseHover(UINT flags, CPoint point);
    void OnMouseLeave();
    void OnLButtonDown(UINT flags, CPoint point);
    void OnLButtonUp(UINT flags, CPoint point);
    BOOL OnEraseBkgnd(CDC* dc);
    DECLARE_MESSAGE_MAP()
};

// The parts both push buttons share: their mouse rules and their click.

// Rewrites a double click into a press and swallows presses and releases of
// a disabled button; true when the message is handled.
bool FilterButtonMouse(MSG* msg, bool enabled);

// A press takes the capture once and marks the button pressed.
void PressButton(CWnd& button, int& captured, int& pressed);

// A release lets the capture go before the default processing, which keeps
// the system button from sending its own BN_CLICKED, and posts the click
// (BN_CLICKED with the id) when released inside after a press.
void ReleaseButton(CWnd& button, int& captured, int& pressed, CPoint point);
