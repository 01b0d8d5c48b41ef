#include "GalleryWindow.h"

#include "Gallery.h"
#include "WindowCapture.h"
#include "ui/ImageWrapper.h"
#include "ui/Theme.h"

namespace {

constexpr int kClientWidth = 820;
constexpr int kClientHeight = 620;
constexpr int kControlsLeft = 180;

long long GalleryClock()
{
    return GalleryWindow::s_nowMs;
}

// The four looks of a push button, left to right.
struct ButtonLookState {
    bool hover;
    bool pressed;
    bool enabled;
};
constexpr ButtonLookState kButtonStates[] = {
    {false, false, true}, {true, false, true}, {false, true, true}, {false, false, false}};

// A slide picture: a diagonal gradient with a large caption.
HBITMAP MakeSlide(int width, int height, COLORREF from, COLORREF to, const wchar_t* caption)
{
    void* bits = nullptr;
    GdiBitmap bitmap(CreateTopDownDib(width, height, &bits));
    const MemoryDc memory(CreateCompatibleDC(nullptr));
    if (!bitmap || !memory) return nullptr;
    HDC dc = memory.get();
    const SelectedObject selected(dc, bitmap.get());
    TRIVERTEX corners[2] = {
        {0, 0, static_cast<COLOR16>(GetRValue(from) << 8), static_cast<COLOR16>(GetGValue(from) << 8),
         static_cast<COLOR16>(GetBValue(from) << 8), 0},
        {width, height, static_cast<COLOR16>(GetRValue(to) << 8), static_cast<COLOR16>(GetGValue(to) << 8),
         static_cast<COLOR16>(GetBValue(to) << 8), 0},
    };
    GRADIENT_RECT span{0, 1};
    GradientFill(dc, corners, 2, &span, 1, GRADIENT_FILL_RECT_H);
    if (fontTitle) {
        const SelectedObject font(dc, static_cast<HFONT>(*fontTitle));
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, RGB(0xFF, 0xFF, 0xFF));
        RECT area{0, 0, width, height};
        DrawTextW(dc, caption, -1, &area, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
    return bitmap.release();
}

}  // namespace

long long GalleryWindow::s_nowMs = 0;

GalleryWindow::GalleryWindow() : CKorvexDialog(IDD_GALLERY) {}

GalleryWindow::~GalleryWindow()
{
    if (m_hWnd) DestroyWindow();
    SetSlideShowClockForTesting(nullptr);
}

CRect GalleryWindow::Design(int x, int y, int width, int height) const
{
    return CRect(DpiScaleX(x), DpiScaleY(y), DpiScaleX(x + width), DpiScaleY(y + height));
}

bool GalleryWindow::Open()
{
    SetSlideShowClockForTesting(&GalleryClock);
    s_nowMs = 0;
    if (!Create(IDD_GALLERY, nullptr)) return false;
    ShowWindow(SW_SHOW);
    UpdateWindow();
    // The first paint started the clock; now stand in the middle of a push.
    s_nowMs = 7800;
    // The middle edit box is the focused one, its whole text selected.
    if (m_edits.size() > 1) {
        m_edits[1]->SetFocus();
        m_edits[1]->SetSel(0, -1);
    }
    RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    return true;
}

BOOL GalleryWindow::OnInitDialog()
{
    CKorvexDialog::OnInitDialog();
    const int frameWidth = 2 * DpiScaleX(1);
    const int frameHeight = DpiScaleY(28) + 2 * DpiScaleY(1);
    SetWindowPos(nullptr, 60, 40, DpiScaleX(kClientWidth) + frameWidth, DpiScaleY(kClientHeight) + frameHeight,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    m_hIcon.reset(static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(101), IMAGE_ICON, DpiScaleX(18), DpiScaleY(18), 0)));
    if (m_hIcon) SetIcon(m_hIcon.get(), TRUE);
    m_bShowCaption = 1;

    AddImageButtons(24);
    AddTextButtons(80);
    AddLabels(136);
    AddEdits(180);
    AddCombos(226);
    AddProgressBars(272);
    AddSlideShows(404);

    // The close button as the mouse would leave it.
    if (!m_buttons.empty()) m_buttons[0].hover = 1;
    RedrawFrame();
    return TRUE;
}

void GalleryWindow::AddSectionLabel(int y, const wchar_t* text)
{
    auto label = std::make_unique<CKorvexStatic>();
    if (!label->Create(text, WS_CHILD | WS_VISIBLE, Design(16, y, kControlsLeft - 30, 24), this, NextId())) return;
    label->m_strText = text;
    label->m_pFont = fontBody;
    label->m_clrText = clrLabelText;
    label->m_clrBack = clrWindowBack;
    label->m_nFormat = DT_SINGLELINE | DT_VCENTER;
    m_labels.push_back(std::move(label));
}

void GalleryWindow::AddImageButtons(int y)
{
    AddSectionLabel(y + 4, L"Image buttons");
    int x = kControlsLeft;
    for (const ButtonLookState& state : kButtonStates) {
        auto button = std::make_unique<CKorvexButton>();
        if (!button->Create(L"", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, Design(x, y, 96, 32), this, NextId())) continue;
        button->SetAppearance(SIZE{0, 0}, clrFieldButton, RGB(0x55, 0x56, 0x5B), RGB(0x2A, 0x2B, 0x2F),
                              RGB(0x6A, 0x6B, 0x70), L"Browse");
        button->m_bHover = state.hover;
        button->m_bPressed = state.pressed;
        button->m_bEnabled = state.enabled;
        m_imageButtons.push_back(std::move(button));
        x += 106;
    }
    // Check boxes ticked and not, and the expander chevrons, on the window colour.
    const unsigned images[] = {153, 157, 161, 165};
    x += 14;
    for (unsigned baseId : images) {
        auto button = std::make_unique<CKorvexButton>();
        if (!button->Create(L"", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, Design(x, y + 4, 24, 24), this, NextId()))
            continue;
        button->SetAppearance(SIZE{0, 0}, clrWindowBack, clrWindowBack, clrWindowBack, clrWindowBack, L"");
        if (const std::shared_ptr<CImageWrapper> image = LoadPngResource(DpiImageId(baseId))) button->SetImage(*image);
        m_imageButtons.push_back(std::move(button));
        x += 34;
    }
}

void GalleryWindow::AddTextButtons(int y)
{
    AddSectionLabel(y + 6, L"Text buttons");
    int x = kControlsLeft;
    for (const ButtonLookState& state : kButtonStates) {
        auto button = std::make_unique<CKorvexTextButton>();
        if (!button->Create(L"", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, Design(x, y, 140, 36), this, NextId()))
            continue;
        button->SetText(L"Install");
        button->m_bHover = state.hover;
        button->m_bPressed = state.pressed;
        button->m_bEnabled = state.enabled;
        m_textButtons.push_back(std::move(button));
        x += 152;
    }
}

void GalleryWindow::AddLabels(int y)
{
    AddSectionLabel(y, L"Labels");
    auto body = std::make_unique<CKorvexStatic>();
    if (body->Create(L"", WS_CHILD | WS_VISIBLE, Design(kControlsLeft, y, 260, 24), this, NextId())) {
        body->m_strText = L"Installation folder: 1.2 GB required";
        body->m_pFont = fontBody;
        body->m_clrText = clrLabelText;
        body->m_clrBack = clrWindowBack;
        body->m_nFormat = DT_SINGLELINE | DT_VCENTER;
        m_labels.push_back(std::move(body));
    }
    auto link = std::make_unique<CKorvexStatic>();
    if (link->Create(L"", WS_CHILD | WS_VISIBLE | SS_NOTIFY, Design(kControlsLeft + 280, y, 140, 24), this, NextId())) {
        link->m_strText = L"License Terms";
        link->m_pFont = fontLink;
        link->m_clrText = RGB(0x59, 0x86, 0xB2);
        link->m_clrTextHighlight = RGB(0xFF, 0xFF, 0xFF);
        link->m_clrBack = clrWindowBack;
        link->m_nFormat = 56 | DT_CENTER;
        link->m_bLink = 1;
        link->m_bFocused = 1;
        m_labels.push_back(std::move(link));
    }
    auto caption = std::make_unique<CKorvexStatic>();
    if (caption->Create(L"", WS_CHILD | WS_VISIBLE, Design(kControlsLeft + 430, y, 196, 24), this, NextId())) {
        caption->m_strText = L"About 2 minutes remaining";
        caption->m_pFont = fontBody;
        caption->m_clrText = clrCaptionText;
        caption->m_clrBack = clrWindowBack;
        caption->m_nFormat = 54;
        m_labels.push_back(std::move(caption));
    }
}

void GalleryWindow::AddEdits(int y)
{
    AddSectionLabel(y, L"Edit boxes");
    struct State {
        bool focused;
        bool readOnly;
    };
    const State states[] = {{false, false}, {true, false}, {false, true}};
    int x = kControlsLeft;
    for (const State& state : states) {
        auto edit = std::make_unique<CKorvexEdit>();
        if (!edit->Create(WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, Design(x, y, 200, 26), this, NextId())) {
            continue;
        }
        edit->m_nMode = 2;
        edit->m_clrBorder = clrFieldBack;
        edit->m_clrBack = clrFieldBack;
        edit->m_brBack.DeleteObject();
        edit->m_brBack.CreateSolidBrush(clrFieldBack);
        edit->SetFont(fontBody);
        edit->SetWindowText(L"C:\\Program Files\\Fenwyx Pro");
        if (state.readOnly) edit->SetReadOnly(TRUE);
        edit->m_bFocused = state.focused;
        edit->SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
        m_edits.push_back(std::move(edit));
        x += 214;
    }
}

void GalleryWindow::AddCombos(int y)
{
    AddSectionLabel(y, L"Combo boxes");
    const wchar_t* languages[] = {L"English",      L"Deutsch",  L"Fran\u00E7ais",
                                  L"Espa\u00F1ol", L"Italiano", L"Portugu\u00EAs (Brasil)",
                                  L"Nederlands",   L"Polski"};
    for (int index = 0; index < 2; ++index) {
        auto combo = std::make_unique<CKorvexComboBox>();
        const DWORD style =
            WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS;
        if (!combo->Create(style, Design(kControlsLeft + index * 300, y, 220, 200), this, NextId())) continue;
        combo->m_clrFace = clrFieldBack;
        combo->m_clrBorder = clrFieldBack;
        combo->m_clrArrowBack = clrFieldButton;
        combo->SetFont(fontBody);
        if (combo->m_edit.m_hWnd) combo->m_edit.SetReadOnly(TRUE);
        combo->SetItemHeight(-1, static_cast<UINT>(ScreenDpiY() * 24 / 96));
        for (const wchar_t* language : languages) combo->AddString(language);
        combo->SetCurSel(index == 0 ? 0 : 1);
        m_combos.push_back(std::move(combo));
    }
}

void GalleryWindow::AddProgressBars(int y)
{
    AddSectionLabel(y - 6, L"Progress");
    const int positions[] = {0, 425, 1000, 1500};
    int row = y;
    for (int position : positions) {
        auto progress = std::make_unique<CKorvexProgress>();
        const CRect area = Design(kControlsLeft, row, 260, 8);
        if (!progress->Create(this, NextId(), area)) continue;
        progress->m_clrBack = clrWindowBack;
        progress->m_clrTrack = clrProgressTrack;
        progress->m_clrFill = clrProgressFill;
        progress->m_nRange = 1000;
        progress->m_nPos = position;
        progress->m_rcTrack = RECT{0, 0, area.Width(), area.Height()};
        progress->ShowWindow(SW_SHOW);
        m_progressBars.push_back(std::move(progress));
        row += 28;
    }
}

void GalleryWindow::AddSlideShows(int y)
{
    AddSectionLabel(y + 80, L"Slide shows");
    const int slideWidth = DpiScaleX(300);
    const int slideHeight = DpiScaleY(170);
    for (int index = 0; index < 2; ++index) {
        auto show = std::make_unique<CKorvexSliderShowCtrl>();
        if (!show->Create(this, NextId(), Design(kControlsLeft + index * 320, y, 300, 190))) continue;
        show->m_clrBack = clrWindowBack;
        show->m_nMarginBottom = DpiScaleY(20);
        // The first stands still for an hour; the second is half-way through a push.
        if (index == 0) show->m_dHold = 3600.0;
        show->m_slides.emplace_back(
            slideWidth, slideHeight,
            MakeSlide(slideWidth, slideHeight, RGB(0x07, 0x5A, 0x8C), RGB(0x07, 0xA5, 0xD8), L"Fenwyx Pro"));
        show->m_slides.emplace_back(
            slideWidth, slideHeight,
            MakeSlide(slideWidth, slideHeight, RGB(0x6A, 0x1B, 0x4D), RGB(0xD8, 0x5A, 0x2F), L"Edit in layers"));
        show->m_slides.emplace_back(
            slideWidth, slideHeight,
            MakeSlide(slideWidth, slideHeight, RGB(0x1B, 0x5E, 0x20), RGB(0x8B, 0xC3, 0x4A), L"Share anywhere"));
        show->ShowWindow(SW_SHOW);
        m_slideShows.push_back(std::move(show));
    }
}

void GalleryWindow::OpenComboList()
{
    if (m_combos.size() < 2) return;
    CKorvexComboBox& combo = *m_combos[1];
    combo.ShowDropDown(TRUE);
    combo.m_bHover = 1;
    combo.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}
