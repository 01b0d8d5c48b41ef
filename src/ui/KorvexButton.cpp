#include "ui/KorvexButton.h"

#include "ui/ButtonLook.h"
#include "ui/FocusCue.h"
#include "ui/ImageWrapper.h"
#include "ui/MemoryCanvas.h"
#include "ui/Theme.h"

using namespace korvex::ui;

bool FilterButtonMouse(MSG* msg, bool enabled)
{
    if (msg->message == WM_LBUTTONDBLCLK) msg->message = WM_LBUTTONDOWN;
    return !enabled && (msg->message == WM_LBUTTONDOWN || msg->message == WM_LBUTTONUP);
}

void PressButton(CWnd& button, int& captured, int& pressed)
{
    if (!captured) {
        captured = 1;
        button.SetCapture();
        pressed = 1;
    }
    button.Invalidate(FALSE);
}

void PostButtonClick(CWnd& button)
{
    if (const HWND parent = ::GetParent(button.m_hWnd)) {
        ::PostMessageW(parent, WM_COMMAND, MAKEWPARAM(button.GetDlgCtrlID(), BN_CLICKED),
                       reinterpret_cast<LPARAM>(button.m_hWnd));
    }
}

void ReleaseButton(CWnd& button, int& captured, int& pressed, CPoint point)
{
    if (captured) {
        captured = 0;
        ReleaseCapture();
        if (pressed) {
            pressed = 0;
            CRect client;
            button.GetClientRect(&client);
            const HWND parent = ::GetParent(button.m_hWnd);
            if (client.PtInRect(point) && parent) PostButtonClick(button);
        }
    }
    button.Invalidate(FALSE);
}

BEGIN_MESSAGE_MAP(CKorvexButton, CButton)
ON_WM_CREATE()
ON_WM_MOUSEMOVE()
ON_WM_MOUSEHOVER()
ON_WM_MOUSELEAVE()
ON_WM_LBUTTONDOWN()
ON_WM_LBUTTONUP()
ON_WM_ERASEBKGND()
ON_WM_SETFOCUS()
ON_WM_KILLFOCUS()
ON_MESSAGE(WM_UPDATEUISTATE, OnUpdateUiState)
ON_MESSAGE(WM_GETOBJECT, OnGetObject)
END_MESSAGE_MAP()

CKorvexButton::CKorvexButton() : m_clrFocusRing(clrFocusRing) {}

void CKorvexButton::SetImage(const CImageWrapper& image)
{
    m_hBitmap = image.bitmap.get();
    m_sizeImage = SIZE{image.width, image.height};
    m_nFrames = image.bitmap ? image.frameCount : 0;
    m_bFramesHorizontal = image.framesHorizontal;
    if (m_hWnd) Invalidate(TRUE);
}

void CKorvexButton::SetAppearance(const SIZE& imageSize, COLORREF face, COLORREF hover, COLORREF pressed,
                                  COLORREF border, const CString& text)
{
    m_hBitmap = nullptr;
    m_nFrames = 0;
    m_sizeImage = imageSize;
    m_clrFace = face;
    m_clrHover = hover;
    m_clrPressed = pressed;
    m_clrBorder = border;
    m_strText = text;
}

void CKorvexButton::PreSubclassWindow()
{
    CButton::PreSubclassWindow();
    ModifyStyle(0, BS_OWNERDRAW, SWP_FRAMECHANGED);
}

BOOL CKorvexButton::PreTranslateMessage(MSG* msg)
{
    if (msg->hwnd == m_hWnd) {
        if (FilterButtonMouse(msg, m_bEnabled != 0)) return TRUE;
        if (msg->message == WM_LBUTTONDOWN) SetFocus();
    }
    return CButton::PreTranslateMessage(msg);
}

int CKorvexButton::OnCreate(LPCREATESTRUCTW cs)
{
    m_bEnabled = 1;
    return CButton::OnCreate(cs);
}

void CKorvexButton::OnMouseMove(UINT flags, CPoint point)
{
    if (!m_bTracking) {
        TRACKMOUSEEVENT track{sizeof(track), TME_HOVER | TME_LEAVE, m_hWnd, 1};
        m_bTracking = TrackMouseEvent(&track) ? 1 : 0;
    }
    CButton::OnMouseMove(flags, point);
}

void CKorvexButton::OnMouseHover(UINT, CPoint)
{
    m_bTracking = 1;
    m_bHover = 1;
    Invalidate(FALSE);
    if (const HWND parent = ::GetParent(m_hWnd)) {
        ::PostMessageW(parent, WM_IMAGEBUTTON_HOVER, reinterpret_cast<WPARAM>(this), 0);
    }
}

void CKorvexButton::OnMouseLeave()
{
    m_bTracking = 0;
    m_bHover = 0;
    Invalidate(FALSE);
    if (const HWND parent = ::GetParent(m_hWnd)) ::PostMessageW(parent, WM_IMAGEBUTTON_LEAVE, 0, 0);
}

void CKorvexButton::OnLButtonDown(UINT flags, CPoint point)
{
    // Ignored when disabled, also when the press bypasses PreTranslateMessage.
    if (!m_bEnabled) return;
    PressButton(*this, m_bCaptured, m_bPressed);
    CButton::OnLButtonDown(flags, point);
}

void CKorvexButton::OnLButtonUp(UINT flags, CPoint point)
{
    if (!m_bEnabled) return;
    ReleaseButton(*this, m_bCaptured, m_bPressed, point);
    CButton::OnLButtonUp(flags, point);
}

BOOL CKorvexButton::OnEraseBkgnd(CDC*)
{
    return TRUE;
}

void CKorvexButton::OnSetFocus(CWnd* oldWnd)
{
    CButton::OnSetFocus(oldWnd);
    Invalidate(FALSE);
}

void CKorvexButton::OnKillFocus(CWnd* newWnd)
{
    CButton::OnKillFocus(newWnd);
    Invalidate(FALSE);
}

LRESULT CKorvexButton::OnUpdateUiState(WPARAM, LPARAM)
{
    const LRESULT result = Default();
    Invalidate(FALSE);
    return result;
}

LRESULT CKorvexButton::OnGetObject(WPARAM wParam, LPARAM lParam)
{
    if (m_nAccessibleRole) {
        if (const LRESULT answer = AnswerGetObject(m_hWnd, wParam, lParam)) return answer;
    }
    return Default();
}

AccessibleFacts CKorvexButton::DescribeForAccessibility() const
{
    return AccessibleFacts{m_nAccessibleRole, m_nAccessibleState, {}};
}

bool CKorvexButton::DoAccessibleDefaultAction()
{
    if (!m_bEnabled) return false;
    PostButtonClick(*this);
    return true;
}

void CKorvexButton::DrawItem(LPDRAWITEMSTRUCT drawItem)
{
    CDC* target = CDC::FromHandle(drawItem->hDC);
    const CRect item(drawItem->rcItem);
    MemoryCanvas canvas(*target, item.Width(), item.Height());
    if (!canvas.IsReady()) return;
    CDC& dc = canvas.dc();
    dc.SetStretchBltMode(COLORONCOLOR);
    const CRect local(0, 0, item.Width(), item.Height());

    dc.FillSolidRect(&local, m_bEnabled ? m_clrFace : DisabledFace(m_clrFace));
    if (m_bEnabled && (m_bPressed || m_bHover)) {
        CPen pen(PS_SOLID, 1, m_clrBorder);
        CBrush brush(m_bPressed ? m_clrPressed : m_clrHover);
        CPen* oldPen = dc.SelectObject(&pen);
        CBrush* oldBrush = dc.SelectObject(&brush);
        dc.Rectangle(&local);
        dc.SelectObject(oldPen);
        dc.SelectObject(oldBrush);
    }
    if (m_nFrames > 0 && m_hBitmap) {
        const ImageFrame frame =
            ButtonImageFrame(UiSize{m_sizeImage.cx, m_sizeImage.cy}, m_nFrames, m_bFramesHorizontal != 0,
                             m_bEnabled != 0, UiSize{local.Width(), local.Height()});
        BitmapSource source(dc, m_hBitmap);
        if (source.IsReady()) {
            const int sourceX = m_bFramesHorizontal ? frame.index * frame.size.cx : 0;
            const int sourceY = m_bFramesHorizontal ? 0 : frame.index * frame.size.cy;
            dc.AlphaBlend(frame.x, frame.y, frame.size.cx, frame.size.cy, &source.dc(), sourceX, sourceY, frame.size.cx,
                          frame.size.cy, m_blend);
        }
    }
    if (!m_strText.IsEmpty() && fontButton) {
        CFont* oldFont = dc.SelectObject(fontButton);
        dc.SetBkMode(TRANSPARENT);
        dc.SetTextColor(clrTitleText);
        CRect text = local;
        dc.DrawText(m_strText, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_WORD_ELLIPSIS);
        dc.SelectObject(oldFont);
    }
    // The check box's picture leaves a design pixel free at its edge: the
    // frame sits there, around the picture rather than over it.
    if (ShowsFocusCue(m_hWnd)) DrawFocusFrame(dc, local, DpiScaleX(1), m_clrFocusRing);
    canvas.CopyTo(*target, item.left, item.top);
}
