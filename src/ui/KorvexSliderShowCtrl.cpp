#include "ui/KorvexSliderShowCtrl.h"

#include <chrono>
#include <mutex>
#include <utility>

#include "ui/FocusCue.h"
#include "ui/ImageWrapper.h"
#include "ui/MemoryCanvas.h"
#include "ui/SlideShowTimeline.h"
#include "ui/Theme.h"

using namespace korvex::ui;

namespace {

long long SteadyMilliseconds()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

struct ShowClock {
    std::mutex lock;
    SlideShowClock now = &SteadyMilliseconds;
    bool started = false;
    long long startMs = 0;
};

ShowClock& Clock()
{
    static ShowClock clock;
    return clock;
}

// The start is taken by the first paint of any non-empty slide show.
long long ElapsedSinceFirstShow()
{
    ShowClock& clock = Clock();
    std::lock_guard<std::mutex> guard(clock.lock);
    const long long now = clock.now();
    if (!clock.started) {
        clock.started = true;
        clock.startMs = now;
    }
    return now - clock.startMs;
}

}  // namespace

void SetSlideShowClockForTesting(SlideShowClock now)
{
    ShowClock& clock = Clock();
    std::lock_guard<std::mutex> guard(clock.lock);
    clock.now = now ? now : &SteadyMilliseconds;
    clock.started = false;
}

CKorvexSliderShowCtrl::Slide::Slide(int slideWidth, int slideHeight, HBITMAP slideBitmap)
    : width(slideWidth), height(slideHeight), bitmap(slideBitmap)
{}

CKorvexSliderShowCtrl::Slide::Slide(CImageWrapper&& image)
    : width(image.width), height(image.height), bitmap(image.Detach())
{}

BEGIN_MESSAGE_MAP(CKorvexSliderShowCtrl, CWnd)
ON_WM_CREATE()
ON_WM_DESTROY()
ON_WM_TIMER()
ON_WM_PAINT()
ON_WM_SETCURSOR()
ON_WM_LBUTTONDOWN()
ON_WM_SETFOCUS()
ON_WM_KILLFOCUS()
ON_MESSAGE(WM_UPDATEUISTATE, OnUpdateUiState)
END_MESSAGE_MAP()

BOOL CKorvexSliderShowCtrl::Create(CWnd* parent, UINT id, const RECT& rect)
{
    const wchar_t* className = AfxRegisterWndClass(0, LoadCursorW(nullptr, IDC_HAND));
    return CWnd::Create(className, L"", WS_CHILD | WS_TABSTOP, rect, parent, id);
}

int CKorvexSliderShowCtrl::OnCreate(LPCREATESTRUCTW cs)
{
    const int result = CWnd::OnCreate(cs);
    if (result == 0) SetTimer(kFrameTimer, 33);
    return result;
}

void CKorvexSliderShowCtrl::OnDestroy()
{
    KillTimer(kFrameTimer);
    CWnd::OnDestroy();
}

void CKorvexSliderShowCtrl::OnTimer(UINT_PTR id)
{
    if (id != kFrameTimer) return;
    Invalidate(TRUE);
    UpdateWindow();
}

void CKorvexSliderShowCtrl::OnPaint()
{
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    MemoryCanvas canvas(dc, client.Width(), client.Height());
    if (!canvas.IsReady()) return;
    canvas.dc().FillSolidRect(&client, m_clrBack);
    DrawSlides(canvas.dc(), client);
    if (ShowsFocusCue(m_hWnd)) {
        // Light outside, background colour inside: seen on any picture.
        const int width = DpiScaleX(2);
        DrawFocusFrame(canvas.dc(), client, width, clrFocusRing);
        CRect inner = client;
        inner.DeflateRect(width, width);
        DrawFocusFrame(canvas.dc(), inner, DpiScaleX(1), m_clrBack);
    }
    canvas.CopyTo(dc, 0, 0);
}

void CKorvexSliderShowCtrl::DrawSlides(CDC& dc, const CRect& client)
{
    if (m_slides.empty()) return;
    const SlidePhase phase = SlidePhaseAt(ElapsedSinceFirstShow(), m_slides.size(), m_dHold, m_dTransition);
    const UiSize area{client.Width() - m_nMarginLeft - m_nMarginRight,
                      client.Height() - m_nMarginTop - m_nMarginBottom};
    const int offset = phase.pushing ? PushOffset(area.cx, phase.progress) : 0;

    auto draw = [&](const Slide& slide, bool incoming) {
        BitmapSource source(dc, slide.bitmap.get());
        if (!source.IsReady()) return;
        const SlidePlacement at = PlaceSlide(area, UiSize{slide.width, slide.height}, offset, incoming);
        dc.BitBlt(at.x, at.y, slide.width, slide.height, &source.dc(), 0, 0, SRCCOPY);
    };
    draw(m_slides[phase.current], false);
    if (phase.pushing) draw(m_slides[phase.next], true);
}

BOOL CKorvexSliderShowCtrl::OnSetCursor(CWnd*, UINT, UINT)
{
    ::SetCursor(LoadCursorW(nullptr, IDC_HAND));
    return TRUE;
}

void CKorvexSliderShowCtrl::NotifyClick()
{
    if (CWnd* parent = GetParent()) parent->SendMessage(WM_SLIDESHOW_CLICK, 0, 0);
}

void CKorvexSliderShowCtrl::OnLButtonDown(UINT, CPoint)
{
    NotifyClick();
}

BOOL CKorvexSliderShowCtrl::PreTranslateMessage(MSG* msg)
{
    const bool key =
        msg->hwnd == m_hWnd && msg->message == WM_KEYDOWN && (msg->wParam == VK_RETURN || msg->wParam == VK_SPACE);
    if (!key) return CWnd::PreTranslateMessage(msg);
    // A key held down opens the page once.
    if ((msg->lParam & (1 << 30)) == 0) NotifyClick();
    return TRUE;
}

void CKorvexSliderShowCtrl::OnSetFocus(CWnd* oldWnd)
{
    CWnd::OnSetFocus(oldWnd);
    Invalidate(FALSE);
}

void CKorvexSliderShowCtrl::OnKillFocus(CWnd* newWnd)
{
    CWnd::OnKillFocus(newWnd);
    Invalidate(FALSE);
}

LRESULT CKorvexSliderShowCtrl::OnUpdateUiState(WPARAM, LPARAM)
{
    const LRESULT result = Default();
    Invalidate(FALSE);
    return result;
}
