#pragma once
// A thin rounded progress track with a fill growing from the left, drawn with
// Direct2D so the rounded ends stay smooth at every DPI. No input, no
// notifications: the owner sets the members and repaints.
#include "mfc/AfxWin.h"
#include "ui/Direct2D.h"

class CKorvexProgress : public CWnd {
public:
    CKorvexProgress();
    ~CKorvexProgress() override;

    // A child window of a registered class without background brush.
    BOOL Create(CWnd* parent, UINT id, const RECT& rect);

    COLORREF m_clrBack = 0;
    COLORREF m_clrTrack = 0;
    COLORREF m_clrFill = 0;
    int m_nPos = 0;
    int m_nRange = 100;
    RECT m_rcTrack{};
    float m_fRadiusX;
    float m_fRadiusY;
    ComPtr<ID2D1DCRenderTarget> m_pRenderTarget;
    ComPtr<ID2D1Factory1> m_pFactory;

protected:
    void OnPaint();
    DECLARE_MESSAGE_MAP()

private:
    void EnsureRenderTarget();
    void FillTo(const RECT& client);
};
