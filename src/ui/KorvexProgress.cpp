#include "ui/KorvexProgress.h"

#include <commctrl.h>
#include <oleacc.h>

#include <string>

#include "base/DecimalText.h"
#include "ui/ProgressGeometry.h"
#include "ui/Theme.h"

using korvex::base::DecimalText;

using namespace korvex::ui;

namespace {

struct ProgressRadii {
    float x;
    float y;
};

// Computed once per process from the screen DPI, unrounded (3.0 at 96 DPI).
const ProgressRadii& Radii()
{
    static const ProgressRadii radii{static_cast<float>(ScreenDpiX()) * 3.0f / 96.0f,
                                     static_cast<float>(ScreenDpiY()) * 3.0f / 96.0f};
    return radii;
}

}  // namespace

BEGIN_MESSAGE_MAP(CKorvexProgress, CWnd)
ON_WM_PAINT()
ON_MESSAGE(PBM_GETPOS, OnGetPos)
ON_MESSAGE(PBM_GETRANGE, OnGetRange)
ON_MESSAGE(WM_GETOBJECT, OnGetObject)
END_MESSAGE_MAP()

CKorvexProgress::CKorvexProgress() : m_fRadiusX(Radii().x), m_fRadiusY(Radii().y) {}

CKorvexProgress::~CKorvexProgress() = default;

BOOL CKorvexProgress::Create(CWnd* parent, UINT id, const RECT& rect)
{
    const wchar_t* className = AfxRegisterWndClass(0, LoadCursorW(nullptr, IDC_ARROW));
    return CWnd::Create(className, L"", WS_CHILD, rect, parent, id);
}

void CKorvexProgress::EnsureRenderTarget()
{
    if (m_pRenderTarget) return;
    if (FAILED(CreateDirect2DFactory(m_pFactory))) return;
    CreateDirect2DDCTarget(m_pFactory.Get(), m_pRenderTarget);
}

void CKorvexProgress::OnPaint()
{
    CPaintDC dc(this);
    // The owner sets the position and repaints: what is painted is news.
    if (m_nPos != m_nAnnouncedPos) {
        m_nAnnouncedPos = m_nPos;
        NotifyAccessibleValueChange(m_hWnd);
    }
    const std::unique_lock<std::mutex> drawing = LockDirect2DDrawing();
    EnsureRenderTarget();
    if (!m_pRenderTarget) return;
    RECT client;
    GetClientRect(&client);
    if (FAILED(m_pRenderTarget->BindDC(dc.GetSafeHdc(), &client))) return;
    m_pRenderTarget->BeginDraw();
    FillTo(client);
    if (MustRecreateTarget(m_pRenderTarget->EndDraw())) {
        DropDirect2DDCTarget(m_pRenderTarget.Get());
        m_pRenderTarget.Reset();
        m_pFactory.Reset();
    }
}

void CKorvexProgress::FillTo(const RECT& client)
{
    ID2D1DCRenderTarget* target = m_pRenderTarget.Get();
    ComPtr<ID2D1SolidColorBrush> brush;
    if (FAILED(target->CreateSolidColorBrush(ToD2DColor(m_clrBack), &brush))) return;
    target->FillRectangle(D2D1::RectF(static_cast<float>(client.left), static_cast<float>(client.top),
                                      static_cast<float>(client.right), static_cast<float>(client.bottom)),
                          brush.Get());

    const TrackGeometry track =
        CenterTrack(UiRect{client.left, client.top, client.right, client.bottom}, m_rcTrack.right - m_rcTrack.left,
                    m_rcTrack.bottom - m_rcTrack.top, m_fRadiusX, m_fRadiusY);
    const D2D1_ROUNDED_RECT trackShape =
        D2D1::RoundedRect(D2D1::RectF(track.left, track.top, track.right, track.bottom), track.radiusX, track.radiusY);
    brush->SetColor(ToD2DColor(m_clrTrack));
    target->FillRoundedRectangle(trackShape, brush.Get());
    if (m_clrTrackBorder != CLR_INVALID && m_clrTrackBorder != m_clrTrack) {
        // Inside the track, so that the fill covers it where it grows.
        const float inset = 0.5f;
        brush->SetColor(ToD2DColor(m_clrTrackBorder));
        target->DrawRoundedRectangle(D2D1::RoundedRect(D2D1::RectF(track.left + inset, track.top + inset,
                                                                   track.right - inset, track.bottom - inset),
                                                       track.radiusX, track.radiusY),
                                     brush.Get(), 1.0f);
    }
    if (!HasFill(m_nPos)) return;

    brush->SetColor(ToD2DColor(m_clrFill));
    const D2D1_RECT_F fillRect = D2D1::RectF(track.left, track.top, FillRight(track, m_nPos, m_nRange), track.bottom);
    ComPtr<ID2D1RoundedRectangleGeometry> trackGeometry;
    ComPtr<ID2D1RectangleGeometry> fillGeometry;
    ComPtr<ID2D1PathGeometry> combined;
    ComPtr<ID2D1GeometrySink> sink;
    bool drawn = false;
    if (SUCCEEDED(m_pFactory->CreateRoundedRectangleGeometry(trackShape, &trackGeometry)) &&
        SUCCEEDED(m_pFactory->CreateRectangleGeometry(fillRect, &fillGeometry)) &&
        SUCCEEDED(m_pFactory->CreatePathGeometry(&combined)) && SUCCEEDED(combined->Open(&sink))) {
        const HRESULT combinedResult = trackGeometry->CombineWithGeometry(
            fillGeometry.Get(), D2D1_COMBINE_MODE_INTERSECT, nullptr, 0.25f, sink.Get());
        const HRESULT closed = sink->Close();
        if (SUCCEEDED(combinedResult) && SUCCEEDED(closed)) {
            target->FillGeometry(combined.Get(), brush.Get());
            drawn = true;
        }
    }
    if (!drawn) {
        // Where the platform cannot combine geometries, clip the track's shape
        // to the fill rectangle instead: the same pixels.
        target->PushAxisAlignedClip(fillRect, D2D1_ANTIALIAS_MODE_PER_PRIMITIVE);
        target->FillRoundedRectangle(trackShape, brush.Get());
        target->PopAxisAlignedClip();
    }
}

LRESULT CKorvexProgress::OnGetPos(WPARAM, LPARAM)
{
    return m_nPos;
}

LRESULT CKorvexProgress::OnGetRange(WPARAM lowLimit, LPARAM range)
{
    if (range) *reinterpret_cast<PBRANGE*>(range) = PBRANGE{0, m_nRange};
    return lowLimit ? 0 : m_nRange;
}

LRESULT CKorvexProgress::OnGetObject(WPARAM wParam, LPARAM lParam)
{
    if (const LRESULT answer = AnswerGetObject(m_hWnd, wParam, lParam)) return answer;
    return Default();
}

AccessibleFacts CKorvexProgress::DescribeForAccessibility() const
{
    const int percent = m_nRange > 0 ? static_cast<int>(static_cast<long long>(m_nPos) * 100 / m_nRange) : 0;
    return AccessibleFacts{ROLE_SYSTEM_PROGRESSBAR, STATE_SYSTEM_READONLY, DecimalText(percent) + L"%"};
}

bool CKorvexProgress::DoAccessibleDefaultAction()
{
    return false;
}
