#include "ui/KorvexDialog.h"

#include <array>

#include "ui/CaptionLayout.h"
#include "ui/ImageWrapper.h"
#include "ui/MemoryCanvas.h"
#include "ui/Theme.h"

using namespace korvex::ui;

namespace {

constexpr int kMaximizedOverhang = 8;

struct CaptionButtonEntry {
    int id;
    UINT glyphBaseId;
    const wchar_t* name;
    bool isClose;
    bool initiallyVisible;
};

// In m_buttons order: the index is the id.
constexpr CaptionButtonEntry kCaptionButtons[] = {
    {kCaptionClose, 106, L"Close", true, true},
    {kCaptionMaximize, 114, L"Maximize", false, true},
    {kCaptionRestore, 118, L"Restore", false, false},
    {kCaptionMinimize, 110, L"Minimize", false, true},
};

FrameMetrics CurrentFrameMetrics()
{
    return FrameMetricsForDpi(ScreenDpiX(), ScreenDpiY());
}

UiRect ToUiRect(const RECT& rect)
{
    return {rect.left, rect.top, rect.right, rect.bottom};
}
RECT ToRect(const UiRect& rect)
{
    return {rect.left, rect.top, rect.right, rect.bottom};
}

bool IsSizingOrCaption(UINT hitTest)
{
    return hitTest == HTCAPTION || (hitTest >= HTLEFT && hitTest <= HTBOTTOMRIGHT);
}

}  // namespace

BEGIN_MESSAGE_MAP(CKorvexDialog, CDialogEx)
ON_WM_NCCREATE()
ON_WM_NCCALCSIZE()
ON_WM_NCPAINT()
ON_WM_NCACTIVATE()
ON_WM_NCMOUSEMOVE()
ON_WM_NCMOUSELEAVE()
ON_WM_NCMOUSEHOVER()
ON_WM_NCLBUTTONDOWN()
ON_WM_NCLBUTTONUP()
ON_WM_NCLBUTTONDBLCLK()
ON_WM_SIZE()
ON_WM_ERASEBKGND()
ON_MESSAGE(WM_SETTINGCHANGE, OnSettingChange)
ON_MESSAGE(WM_SYSCOLORCHANGE, OnSysColorChange)
END_MESSAGE_MAP()

CKorvexDialog::CKorvexDialog(UINT templateId) : CDialogEx(templateId, nullptr)
{
    m_fontCaption.CreateFont(DpiScaleY(15), 0, 0, 0, FW_NORMAL, FALSE, FALSE, 0, ANSI_CHARSET, OUT_STROKE_PRECIS,
                             CLIP_STROKE_PRECIS, PROOF_QUALITY, 0, L"Arial");
}

CKorvexDialog::~CKorvexDialog() = default;

void CKorvexDialog::LayoutClient(const CRect&) {}

BOOL CKorvexDialog::OnInitDialog()
{
    CDialogEx::OnInitDialog();
    return TRUE;
}

BOOL CKorvexDialog::OnNcCreate(LPCREATESTRUCTW cs)
{
    if (!CDialogEx::OnNcCreate(cs)) return FALSE;
    PrepareCaptionButtons(static_cast<DWORD>(cs->style));
    return TRUE;
}

void CKorvexDialog::PrepareCaptionButtons(DWORD style)
{
    const FrameMetrics metrics = CurrentFrameMetrics();
    CaptionButton* records[] = {&m_btnClose, &m_btnMaximize, &m_btnRestore, &m_btnMinimize};
    m_buttons.clear();
    for (const CaptionButtonEntry& entry : kCaptionButtons) {
        CaptionButton& button = *records[entry.id];
        button = CaptionButton{};
        button.owner = this;
        button.id = entry.id;
        button.name = entry.name;
        button.visible = entry.initiallyVisible ? 1 : 0;
        ThemeCaptionButton(button);
        const int frameWidth = button.frameCount > 0 && button.framesHorizontal ? button.imageWidth / button.frameCount
                                                                                : button.imageWidth;
        const int frameHeight = button.frameCount > 0 && !button.framesHorizontal
                                    ? button.imageHeight / button.frameCount
                                    : button.imageHeight;
        const CaptionButtonRects rects = PrepareCaptionButton(metrics, frameWidth, frameHeight);
        button.rcButton = ToRect(rects.button);
        button.rcGlyph = ToRect(rects.glyph);
        // Without a maximise box the slot stays empty for the window's life.
        const bool sizeButton = entry.id == kCaptionMaximize || entry.id == kCaptionRestore;
        if (sizeButton && !(style & WS_MAXIMIZEBOX)) {
            button.rcButton = RECT{};
            button.rcGlyph = RECT{};
        }
        m_buttons.push_back(button);
    }
}

// Colours and glyph of the current palette; the rectangles stay.
void CKorvexDialog::ThemeCaptionButton(CaptionButton& button) const
{
    const CaptionButtonEntry& entry = kCaptionButtons[button.id];
    button.clrNormal = clrCaptionBack;
    button.clrHover = entry.isClose ? clrCloseHover : clrCaptionButtonHover;
    button.clrPressed = entry.isClose ? clrClosePressed : clrCaptionButtonPressed;
    if (const std::shared_ptr<CImageWrapper> glyph = LoadThemeImage(DpiImageId(entry.glyphBaseId))) {
        button.bitmap = glyph->bitmap.get();
        button.imageWidth = glyph->width;
        button.imageHeight = glyph->height;
        button.frameCount = glyph->frameCount;
        button.framesHorizontal = glyph->framesHorizontal;
    }
}

void CKorvexDialog::ApplyTheme()
{
    for (CaptionButton& button : m_buttons) ThemeCaptionButton(button);
    RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

LRESULT CKorvexDialog::OnSettingChange(WPARAM, LPARAM)
{
    const LRESULT result = Default();
    if (RefreshThemePalette()) ApplyTheme();
    return result;
}

LRESULT CKorvexDialog::OnSysColorChange(WPARAM, LPARAM)
{
    const LRESULT result = Default();
    // The common controls among the children follow the system colours too.
    for (HWND child = ::GetWindow(m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        ::SendMessageW(child, WM_SYSCOLORCHANGE, 0, 0);
    }
    if (RefreshThemePalette()) ApplyTheme();
    return result;
}

void CKorvexDialog::OnNcCalcSize(BOOL calcValidRects, NCCALCSIZE_PARAMS* params)
{
    if (calcValidRects && params) {
        const UiRect client =
            ClientFromWindowRect(ToUiRect(params->rgrc[0]), IsZoomed() != FALSE, CurrentFrameMetrics());
        params->rgrc[0] = ToRect(client);
    }
    m_bLayoutPending = 1;
}

void CKorvexDialog::OnNcPaint()
{
    RedrawFrame();
}

BOOL CKorvexDialog::OnNcActivate(BOOL)
{
    return TRUE;
}

void CKorvexDialog::LayoutButtons(const CRect& frame)
{
    if (m_buttons.size() != kCaptionButtonCount) return;
    std::array<CaptionButtonRects, kCaptionButtonCount> rects;
    for (size_t i = 0; i < rects.size(); ++i)
        rects[i] = {ToUiRect(m_buttons[i].rcButton), ToUiRect(m_buttons[i].rcGlyph)};
    LayoutCaptionButtons(rects, ToUiRect(frame), CurrentFrameMetrics());
    for (size_t i = 0; i < rects.size(); ++i) {
        m_buttons[i].rcButton = ToRect(rects[i].button);
        m_buttons[i].rcGlyph = ToRect(rects[i].glyph);
    }
}

void CKorvexDialog::RedrawFrame()
{
    if (!m_hWnd) return;
    const FrameMetrics metrics = CurrentFrameMetrics();
    const int sx = metrics.lineX;
    const int sy = metrics.lineY;
    const bool zoomed = IsZoomed() != FALSE;

    CRect window;
    GetWindowRect(&window);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    if (GetMonitorInfoW(MonitorFromWindow(m_hWnd, MONITOR_DEFAULTTONEAREST), &monitor)) {
        window.OffsetRect(-monitor.rcWork.left, -monitor.rcWork.top);
    }
    const int workLeft = window.left;
    const int workTop = window.top;
    CPoint overhang(0, 0);
    if (zoomed && window.left < 0) overhang = CPoint(-window.left, -window.top);
    window = CRect(0, 0, window.Width(), window.Height());
    CRect visible = window;
    if (zoomed)
        visible =
            CRect(visible.left - workLeft, visible.top - workTop, visible.right + workLeft, visible.bottom + workTop);

    if (m_bLayoutPending) {
        LayoutButtons(visible);
        m_bLayoutPending = 0;
    }

    CWindowDC windowDC(this);
    CRect client;
    GetClientRect(&client);
    const int dy = metrics.TopInset() + overhang.y;
    const int dx = zoomed ? overhang.x : sx;
    client.OffsetRect(dx, dy);
    windowDC.ExcludeClipRect(&client);

    MemoryCanvas canvas(windowDC, window.Width(), window.Height());
    if (!canvas.IsReady()) return;
    CDC& dc = canvas.dc();
    dc.FillSolidRect(&window, clrCaptionBack);
    dc.FillSolidRect(0, 0, window.right, sx, clrFrameBorder);
    dc.FillSolidRect(0, window.bottom - sy, window.right, sx, clrFrameBorder);
    dc.FillSolidRect(0, 0, sx, window.bottom, clrFrameBorder);
    dc.FillSolidRect(window.right - sx, 0, sx, window.bottom, clrFrameBorder);

    CRect caption(sx, sy, window.right - sx, sy + metrics.captionHeight);
    if (m_buttons.size() == kCaptionButtonCount) {
        m_buttons[kCaptionMaximize].visible = zoomed ? 0 : 1;
        m_buttons[kCaptionRestore].visible = zoomed ? 1 : 0;
    }
    for (const CaptionButton& button : m_buttons) DrawButton(dc, button, caption);

    if (m_bShowCaption) {
        const HICON icon = reinterpret_cast<HICON>(SendMessage(WM_GETICON, ICON_BIG, 0));
        if (icon) {
            const int x = caption.left + 4 * sx;
            const int y = caption.top + (metrics.captionHeight - DpiScaleY(18)) / 2;
            DrawIconEx(dc.GetSafeHdc(), x, y, icon, DpiScaleX(18), DpiScaleY(18), 0, nullptr, DI_NORMAL);
            caption.left = x + DpiScaleX(18);
        }
        DrawTitle(dc, caption);
    }
    canvas.CopyTo(windowDC, 0, 0);
}

void CKorvexDialog::DrawButton(CDC& dc, const CaptionButton& button, const CRect& caption)
{
    if (!button.visible || !button.bitmap || caption.IsRectEmpty()) return;
    const COLORREF back = button.pressed ? button.clrPressed : button.hover ? button.clrHover : button.clrNormal;
    dc.FillSolidRect(&button.rcButton, back);
    HBITMAP bitmap = button.bitmap;
    // In high contrast the glyph on the selection colour takes its text colour.
    std::shared_ptr<CImageWrapper> hot;
    if ((button.pressed || button.hover) && HighContrastOn()) {
        hot = LoadThemeImage(DpiImageId(kCaptionButtons[button.id].glyphBaseId), ThemeInk::SelectedText);
        if (hot && hot->bitmap) bitmap = hot->bitmap.get();
    }
    BitmapSource glyph(dc, bitmap);
    if (!glyph.IsReady()) return;
    const int frameWidth = button.rcGlyph.right - button.rcGlyph.left;
    const int frameHeight = button.rcGlyph.bottom - button.rcGlyph.top;
    dc.AlphaBlend(button.rcGlyph.left, button.rcGlyph.top, frameWidth, frameHeight, &glyph.dc(), 0, 0, frameWidth,
                  frameHeight, button.blend);
}

void CKorvexDialog::DrawTitle(CDC& dc, CRect caption)
{
    CString title;
    GetWindowText(title);
    if (title.IsEmpty()) return;
    const FrameMetrics metrics = CurrentFrameMetrics();
    // The title ends before the caption buttons instead of running under them.
    for (const CaptionButton& button : m_buttons) {
        const bool occupiesStrip = button.visible && button.rcButton.right > button.rcButton.left;
        if (occupiesStrip && button.rcButton.left < caption.right) caption.right = button.rcButton.left;
    }
    CFont* previous = dc.SelectObject(&m_fontCaption);
    const CSize extent = dc.GetTextExtent(title);
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(clrCaptionText);
    CRect text;
    text.left = caption.left + 5 * metrics.lineY;
    text.top = caption.top + (metrics.captionHeight - extent.cy) / 2;
    text.right = caption.right;
    text.bottom = text.top + extent.cy;
    dc.DrawText(title, &text, DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_WORD_ELLIPSIS);
    dc.SelectObject(previous);
}

CPoint CKorvexDialog::ToWindowPoint(CPoint screenPoint) const
{
    CRect window;
    GetWindowRect(&window);
    return CPoint(screenPoint.x - window.left, screenPoint.y - window.top);
}

int CKorvexDialog::HitTestButtons(CPoint windowPoint) const
{
    for (const CaptionButton& button : m_buttons) {
        if (PtInRect(&button.rcButton, windowPoint) && button.visible && !button.disabled) return button.id;
    }
    return -1;
}

void CKorvexDialog::ResetButtons()
{
    for (CaptionButton& button : m_buttons) {
        if (button.visible) button.highlighted = 0;
        button.hover = 0;
        button.pressed = 0;
    }
}

void CKorvexDialog::OnNcMouseMove(UINT hitTest, CPoint point)
{
    if (!m_bTrackingNc) {
        TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE | TME_NONCLIENT, m_hWnd, 1};
        m_bTrackingNc = TrackMouseEvent(&track) ? 1 : 0;
    }
    const int hit = HitTestButtons(ToWindowPoint(point));
    if (hit < 0) {
        ResetButtons();
        RedrawFrame();
        return;
    }
    CaptionButton& button = m_buttons[static_cast<size_t>(hit)];
    for (const CaptionButton& other : m_buttons) {
        if (other.visible && other.highlighted) {
            if (other.id == hit) {
                CDialogEx::OnNcMouseMove(hitTest, point);
                return;
            }
            break;
        }
    }
    ResetButtons();
    if (button.visible) button.highlighted = 1;
    button.hover = 1;
    RedrawFrame();
    CDialogEx::OnNcMouseMove(hitTest, point);
}

void CKorvexDialog::OnNcMouseLeave()
{
    m_bTrackingNc = 0;
    if (m_bNcPressed) return;
    ResetButtons();
    RedrawFrame();
}

void CKorvexDialog::OnNcMouseHover(UINT, CPoint)
{
    m_bTrackingNc = 1;
}

void CKorvexDialog::OnNcLButtonDown(UINT hitTest, CPoint point)
{
    ResetButtons();
    const int hit = HitTestButtons(ToWindowPoint(point));
    if (hit >= 0) {
        m_bNcPressed = 1;
        CaptionButton& button = m_buttons[static_cast<size_t>(hit)];
        if (button.visible) button.highlighted = 1;
        button.pressed = 1;
        RedrawFrame();
        return;
    }
    if (IsSizingOrCaption(hitTest)) CDialogEx::OnNcLButtonDown(hitTest, point);
}

void CKorvexDialog::OnNcLButtonUp(UINT, CPoint point)
{
    m_bNcPressed = 0;
    const int hit = HitTestButtons(ToWindowPoint(point));
    UINT command = 0;
    if (hit >= 0) {
        for (const CaptionButton& button : m_buttons) {
            if (!button.visible || !button.highlighted) continue;
            if (button.id == hit) {
                const bool sizable = (GetStyle() & WS_MAXIMIZEBOX) != 0;
                switch (hit) {
                    case kCaptionClose:
                        command = SC_CLOSE;
                        break;
                    case kCaptionMinimize:
                        command = SC_MINIMIZE;
                        break;
                    case kCaptionMaximize:
                        command = sizable ? SC_MAXIMIZE : 0;
                        break;
                    case kCaptionRestore:
                        command = sizable ? SC_RESTORE : 0;
                        break;
                }
            }
            break;
        }
    }
    // Back to rest before the command: closing may destroy this window.
    ResetButtons();
    RedrawFrame();
    if (command) SendMessage(WM_SYSCOMMAND, command, 0);
}

void CKorvexDialog::OnNcLButtonDblClk(UINT, CPoint point)
{
    if (!(GetStyle() & WS_MAXIMIZEBOX)) return;
    if (HitTestButtons(ToWindowPoint(point)) >= 0) return;
    SendMessage(WM_SYSCOMMAND, IsZoomed() ? SC_RESTORE : SC_MAXIMIZE, 0);
}

void CKorvexDialog::OnSize(UINT type, int cx, int cy)
{
    CDialogEx::OnSize(type, cx, cy);
    CRect window;
    GetWindowRect(&window);
    CRect region(0, 0, window.Width(), window.Height());
    if (IsZoomed())
        region = CRect(kMaximizedOverhang, 0, region.right - kMaximizedOverhang, region.bottom - kMaximizedOverhang);
    CRgn shape;
    if (shape.CreateRoundRectRgn(region.left, region.top, region.right + 1, region.bottom + 1, 0, 0)) {
        // The system owns the region once it is set.
        if (SetWindowRgn(static_cast<HRGN>(shape), TRUE)) shape.Detach();
    }
    CRect client;
    GetClientRect(&client);
    LayoutClient(client);
}

BOOL CKorvexDialog::OnEraseBkgnd(CDC* dc)
{
    CRect client;
    GetClientRect(&client);
    dc->FillSolidRect(&client, clrWindowBack);
    return FALSE;
}
