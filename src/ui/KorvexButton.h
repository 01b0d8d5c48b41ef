#pragma once
// The owner-drawn push button: an optional bitmap and an optional caption,
// both centred on a flat face that changes on hover and press. Pages use it
// mostly as an image button (check boxes, the expander, browse). It reports
// its own clicks, posted, so exactly one WM_COMMAND reaches the parent per
// click. While it has the keyboard focus it draws a frame at its edge; a
// button that acts as a check box or an expander names its role and state
// to accessibility clients (m_nAccessibleRole, m_nAccessibleState).
#include "mfc/AfxWin.h"
#include "ui/AccessibleControl.h"

class CImageWrapper;

// WPARAM: the CKorvexButton*, posted to the parent when hovering starts.
constexpr UINT WM_IMAGEBUTTON_HOVER = WM_USER + 2000;
// Posted to the parent when the mouse leaves.
constexpr UINT WM_IMAGEBUTTON_LEAVE = WM_USER + 2001;

class CKorvexButton : public CButton, public IAccessibleFacts {
public:
    CKorvexButton();

    // Shows the image (borrowed: the button never deletes the bitmap).
    void SetImage(const CImageWrapper& image);
    // Drops the image and sets the colours and caption.
    void SetAppearance(const SIZE& imageSize, COLORREF face, COLORREF hover, COLORREF pressed, COLORREF border,
                       const CString& text);

    void PreSubclassWindow() override;
    BOOL PreTranslateMessage(MSG* msg) override;
    void DrawItem(LPDRAWITEMSTRUCT drawItem) override;
    AccessibleFacts DescribeForAccessibility() const override;
    bool DoAccessibleDefaultAction() override;

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
    COLORREF m_clrFocusRing;
    // ROLE_SYSTEM_* and STATE_SYSTEM_* bits; role 0 leaves the button to the
    // system's standard object (a push button).
    long m_nAccessibleRole = 0;
    long m_nAccessibleState = 0;

protected:
    int OnCreate(LPCREATESTRUCTW cs);
    void OnMouseMove(UINT flags, CPoint point);
    void OnMouseHover(UINT flags, CPoint point);
    void OnMouseLeave();
    void OnLButtonDown(UINT flags, CPoint point);
    void OnLButtonUp(UINT flags, CPoint point);
    BOOL OnEraseBkgnd(CDC* dc);
    void OnSetFocus(CWnd* oldWnd);
    void OnKillFocus(CWnd* newWnd);
    LRESULT OnUpdateUiState(WPARAM wParam, LPARAM lParam);
    LRESULT OnGetObject(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()
};

// Posts the click a button reports to its parent (BN_CLICKED with its id).
void PostButtonClick(CWnd& button);

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
