#pragma once
// A thin rounded progress track with a fill growing from the left, drawn with
// Direct2D so the rounded ends stay smooth at every DPI. No input, no
// notifications: the owner sets the members and repaints. It answers the
// common progress bar's position queries (PBM_GETPOS, PBM_GETRANGE) and is
// a progress bar with its percentage to accessibility clients.
#include "mfc/AfxWin.h"
#include "ui/AccessibleControl.h"
#include "ui/Direct2D.h"

class CKorvexProgress : public CWnd, public IAccessibleFacts {
public:
    CKorvexProgress();
    ~CKorvexProgress() override;

    // A child window of a registered class without background brush.
    // Not a tab stop: there is nothing to do with it from the keyboard.
    BOOL Create(CWnd* parent, UINT id, const RECT& rect);

    AccessibleFacts DescribeForAccessibility() const override;
    bool DoAccessibleDefaultAction() override;

    COLORREF m_clrBack = 0;
    COLORREF m_clrTrack = 0;
    COLORREF m_clrFill = 0;
    // Outline of the track; CLR_INVALID or the track's own colour draws none.
    COLORREF m_clrTrackBorder = CLR_INVALID;
    int m_nPos = 0;
    int m_nRange = 100;
    RECT m_rcTrack{};
    float m_fRadiusX;
    float m_fRadiusY;
    ComPtr<ID2D1DCRenderTarget> m_pRenderTarget;
    ComPtr<ID2D1Factory1> m_pFactory;

protected:
    void OnPaint();
    LRESULT OnGetPos(WPARAM wParam, LPARAM lParam);
    LRESULT OnGetRange(WPARAM wParam, LPARAM lParam);
    LRESULT OnGetObject(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    void EnsureRenderTarget();
    void FillTo(const RECT& client);

    // The position clients were last told about.
    int m_nAnnouncedPos = 0;
};
