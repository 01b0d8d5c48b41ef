#include "ui/KorvexTextButton.h"

#include "ui/ButtonLook.h"
#include "ui/FocusCue.h"
#include "ui/KorvexButton.h"
#include "ui/Theme.h"

using namespace korvex::ui;

namespace {

struct TextButtonRadii {
    float x;
    float y;
};

// Computed once per process from the screen DPI, truncated.
const TextButtonRadii& Radii()
{
    static const TextButtonRadii radii{static_cast<float>(ScreenDpiX() * 4 / 96),
                                       static_cast<float>(static_cast<int>(ScreenDpiY() * 4.0 / 96))};
    return radii;
}

UiColor ToUi(COLORREF color)
{
    return static_cast<UiColor>(color);
}

}  // namespace

BEGIN_MESSAGE_MAP(CKorvexTextButton, CButton)
ON_WM_PAINT()
ON_WM_MOUSEMOVE()
ON_WM_MOUSELEAVE()
ON_WM_LBUTTONDOWN()
ON_WM_LBUTTONUP()
ON_WM_ERASEBKGND()
ON_WM_SETFOCUS()
ON_WM_KILLFOCUS()
ON_MESSAGE(WM_UPDATEUISTATE, OnUpdateUiState)
END_MESSAGE_MAP()

CKorvexTextButton::CKorvexTextButton() : m_fRadiusX(Radii().x), m_fRadiusY(Radii().y)
{
    ApplyThemeColours();
}

CKorvexTextButton::~CKorvexTextButton() = default;

void CKorvexTextButton::ApplyThemeColours()
{
    m_clrBack = clrWindowBack;
    m_clrFaceDisabled = clrTextButtonDisabled;
    m_clrFace = clrTextButtonFace;
    m_clrFaceHover = clrTextButtonHover;
    m_clrFacePressed = clrTextButtonPressed;
    m_clrTextDisabled = clrTextButtonDisabledText;
    m_clrText = clrTextButtonText;
    m_clrTextHover = clrTextButtonText;
    m_clrTextPressed = clrTextButtonText;
    m_clrFocusRing = clrFocusRingOnAccent;
}

void CKorvexTextButton::SetText(const CString& text)
{
    m_strText = text;
    if (m_hWnd) SetWindowText(text);
}

BOOL CKorvexTextButton::PreTranslateMessage(MSG* msg)
{
    if (msg->hwnd == m_hWnd && FilterButtonMouse(msg, m_bEnabled != 0)) return TRUE;
    return CButton::PreTranslateMessage(msg);
}

void CKorvexTextButton::DrawItem(LPDRAWITEMSTRUCT) {}

void CKorvexTextButton::ReleaseResources()
{
    m_pTextFormat.Reset();
    m_pWriteFactory.Reset();
    m_pRenderTarget.Reset();
    m_pFactory.Reset();
}

void CKorvexTextButton::EnsureResources()
{
    if (m_pRenderTarget) return;
    if (FAILED(CreateDirect2DFactory(m_pFactory))) {
        OutputDebugStringW(L"Failed to cread Direct2D Factory");
        return;
    }
    if (FAILED(CreateDirect2DDCTarget(m_pFactory.Get(), m_pRenderTarget))) {
        OutputDebugStringW(L"Failed to cread Direct2D Render Target");
        return;
    }
    m_pWriteFactory.Reset();
    if (FAILED(DWriteCreateFactory(DWRITE_FACTORY_TYPE_SHARED, __uuidof(IDWriteFactory),
                                   reinterpret_cast<IUnknown**>(m_pWriteFactory.ReleaseAndGetAddressOf())))) {
        OutputDebugStringW(L"Failed to cread Direct2D Write Factory");
        return;
    }
    const float size = static_cast<float>(ScreenDpiY() * 14 / 96);
    if (SUCCEEDED(m_pWriteFactory->CreateTextFormat(L"Tahoma", nullptr, DWRITE_FONT_WEIGHT_NORMAL,
                                                    DWRITE_FONT_STYLE_NORMAL, DWRITE_FONT_STRETCH_NORMAL, size, L"",
                                                    &m_pTextFormat))) {
        m_pTextFormat->SetWordWrapping(DWRITE_WORD_WRAPPING_WHOLE_WORD);
    }
}

void CKorvexTextButton::OnPaint()
{
    CPaintDC dc(this);
    const std::unique_lock<std::mutex> drawing = LockDirect2DDrawing();
    EnsureResources();
    if (!m_pRenderTarget) return;
    CRect client;
    GetClientRect(&client);
    if (FAILED(m_pRenderTarget->BindDC(dc.GetSafeHdc(), &client))) return;
    m_pRenderTarget->BeginDraw();
    DrawFace(client);
    if (MustRecreateTarget(m_pRenderTarget->EndDraw())) {
        DropDirect2DDCTarget(m_pRenderTarget.Get());
        ReleaseResources();
    }
}

void CKorvexTextButton::DrawFace(const CRect& client)
{
    ComPtr<ID2D1SolidColorBrush> brush;
    if (FAILED(m_pRenderTarget->CreateSolidColorBrush(ToD2DColor(m_clrBack), &brush))) return;
    const D2D1_RECT_F area = D2D1::RectF(static_cast<float>(client.left), static_cast<float>(client.top),
                                         static_cast<float>(client.right), static_cast<float>(client.bottom));
    m_pRenderTarget->FillRectangle(area, brush.Get());

    const TextButtonColors colors{ToUi(m_clrFaceDisabled), ToUi(m_clrFace),         ToUi(m_clrFaceHover),
                                  ToUi(m_clrFacePressed),  ToUi(m_clrTextDisabled), ToUi(m_clrText),
                                  ToUi(m_clrTextHover),    ToUi(m_clrTextPressed)};
    const ButtonState state{m_bEnabled != 0, m_bHover != 0, m_bPressed != 0};
    brush->SetColor(ToD2DColor(TextButtonFace(colors, state)));
    m_pRenderTarget->FillRoundedRectangle(
        D2D1::RoundedRect(area, ClampRadius(m_fRadiusX, client.Width()), ClampRadius(m_fRadiusY, client.Height())),
        brush.Get());
    if (ShowsFocusCue(m_hWnd)) DrawFocusRing(area, brush.Get());
    if (m_strText.IsEmpty()) return;
    brush->SetColor(ToD2DColor(TextButtonText(colors, state)));
    DrawCaption(client, brush.Get());
}

// Two design pixels wide, two inside the face's edge, following its corners.
void CKorvexTextButton::DrawFocusRing(const D2D1_RECT_F& area, ID2D1SolidColorBrush* brush)
{
    const float width = static_cast<float>(DpiScaleX(2));
    const float inset = width * 1.5f;
    if (area.right - area.left <= 2 * inset || area.bottom - area.top <= 2 * inset) return;
    const D2D1_RECT_F ring = D2D1::RectF(area.left + inset, area.top + inset, area.right - inset, area.bottom - inset);
    brush->SetColor(ToD2DColor(m_clrFocusRing));
    m_pRenderTarget->DrawRoundedRectangle(D2D1::RoundedRect(ring, m_fRadiusX, m_fRadiusY), brush, width);
}

void CKorvexTextButton::DrawCaption(const CRect& client, ID2D1SolidColorBrush* brush)
{
    // A failed layout (a missing font) draws no text this time.
    if (!m_pWriteFactory || !m_pTextFormat) return;
    ComPtr<IDWriteTextLayout> layout;
    if (FAILED(m_pWriteFactory->CreateTextLayout(m_strText.GetString(), static_cast<UINT32>(m_strText.GetLength()),
                                                 m_pTextFormat.Get(), static_cast<float>(client.Width()),
                                                 static_cast<float>(client.Height()), &layout))) {
        return;
    }
    layout->SetTextAlignment(DWRITE_TEXT_ALIGNMENT_CENTER);
    DWRITE_TEXT_METRICS metrics{};
    DWRITE_OVERHANG_METRICS overhang{};
    if (FAILED(layout->GetMetrics(&metrics)) || FAILED(layout->GetOverhangMetrics(&overhang))) return;
    const int inked =
        InkedTextHeight({metrics.top, metrics.height, metrics.layoutHeight, overhang.top, overhang.bottom});
    const int top = CenteredTextTop(client.top, client.Height(), inked);
    m_pRenderTarget->DrawTextLayout(D2D1::Point2F(static_cast<float>(client.left), static_cast<float>(top)),
                                    layout.Get(), brush);
}

void CKorvexTextButton::OnMouseMove(UINT flags, CPoint point)
{
    if (!m_bEnabled) return;
    if (!m_bTracking) {
        TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, m_hWnd, HOVER_DEFAULT};
        if (TrackMouseEvent(&track)) {
            m_bTracking = 1;
            m_bHover = 1;
            RedrawWindow(nullptr, nullptr, RDW_UPDATENOW | RDW_INVALIDATE);
        }
    }
    CButton::OnMouseMove(flags, point);
}

void CKorvexTextButton::OnMouseLeave()
{
    m_bTracking = 0;
    m_bHover = 0;
    RedrawWindow(nullptr, nullptr, RDW_UPDATENOW | RDW_INVALIDATE);
}

void CKorvexTextButton::OnLButtonDown(UINT flags, CPoint point)
{
    if (!m_bEnabled) return;
    PressButton(*this, m_bCaptured, m_bPressed);
    CButton::OnLButtonDown(flags, point);
}

void CKorvexTextButton::OnLButtonUp(UINT flags, CPoint point)
{
    if (!m_bEnabled) return;
    ReleaseButton(*this, m_bCaptured, m_bPressed, point);
    CButton::OnLButtonUp(flags, point);
}

BOOL CKorvexTextButton::OnEraseBkgnd(CDC*)
{
    return FALSE;
}

void CKorvexTextButton::OnSetFocus(CWnd* oldWnd)
{
    CButton::OnSetFocus(oldWnd);
    Invalidate(FALSE);
}

void CKorvexTextButton::OnKillFocus(CWnd* newWnd)
{
    CButton::OnKillFocus(newWnd);
    Invalidate(FALSE);
}

LRESULT CKorvexTextButton::OnUpdateUiState(WPARAM, LPARAM)
{
    const LRESULT result = Default();
    Invalidate(FALSE);
    return result;
}
