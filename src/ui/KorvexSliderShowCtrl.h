#pragma once
// A looping slide show: each picture stands still, then the next one pushes
// it out to the left. Every paint computes the picture from a process-wide
// clock, so a slow paint skips frames instead of slowing the show, and two
// slide shows run in step. The whole control is a link to the parent: a
// click, or Enter or Space while it has the focus, which a frame shows.
#include <vector>

#include "base/WinHandles.h"
#include "mfc/AfxWin.h"

class CImageWrapper;

// WPARAM 0, LPARAM 0, sent to the parent on a left-button press (and on
// Enter or Space).
constexpr UINT WM_SLIDESHOW_CLICK = WM_USER + 250;

class CKorvexSliderShowCtrl : public CWnd {
public:
    // One picture at its natural size. The slide owns its bitmap, so clearing
    // or refilling the list frees the pictures it held.
    class Slide {
    public:
        Slide(int slideWidth, int slideHeight, HBITMAP slideBitmap);
        explicit Slide(CImageWrapper&& image);

        int width = 0;
        int height = 0;
        GdiBitmap bitmap;
    };

    CKorvexSliderShowCtrl() = default;

    BOOL Create(CWnd* parent, UINT id, const RECT& rect);
    BOOL PreTranslateMessage(MSG* msg) override;

    COLORREF m_clrBack = RGB(0x18, 0x19, 0x1E);
    int m_nMarginLeft = 0;
    int m_nMarginTop = 0;
    int m_nMarginRight = 0;
    int m_nMarginBottom = 0;
    double m_dTransition = 0.6;
    double m_dHold = 7.5;
    std::vector<Slide> m_slides;

    static constexpr UINT_PTR kFrameTimer = 1;

protected:
    int OnCreate(LPCREATESTRUCTW cs);
    void OnDestroy();
    void OnTimer(UINT_PTR id);
    void OnPaint();
    BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message);
    void OnLButtonDown(UINT flags, CPoint point);
    void OnSetFocus(CWnd* oldWnd);
    void OnKillFocus(CWnd* newWnd);
    LRESULT OnUpdateUiState(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    void DrawSlides(CDC& dc, const CRect& client);
    void NotifyClick();
};

// Test seam: replaces the millisecond clock (null restores the real one);
// the next paint takes a new start time from it.
using SlideShowClock = long long (*)();
void SetSlideShowClockForTesting(SlideShowClock now);
