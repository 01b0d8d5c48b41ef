#include "ui/Theme.h"

#include "mfc/AfxWin.h"
#include "ui/ImageWrapper.h"

COLORREF clrCaptionText;
COLORREF clrWindowBack;
COLORREF clrFrameBorder;
COLORREF clrCaptionBack;
COLORREF clrCloseHover;
COLORREF clrClosePressed;
COLORREF clrCaptionButtonHover;
COLORREF clrCaptionButtonPressed;
COLORREF clrTitleText;
COLORREF clrProgressTrack;
COLORREF clrProgressFill;
COLORREF clrLabelText;
COLORREF clrFieldBack;
COLORREF clrFieldButton;
COLORREF clrTextButtonDisabled;
COLORREF clrTextButtonFace;
COLORREF clrTextButtonHover;
COLORREF clrTextButtonPressed;
COLORREF clrTextButtonText;
COLORREF clrTextButtonDisabledText;
COLORREF clrLinkText;
COLORREF clrLinkHighlight;
COLORREF clrSeparator;
COLORREF clrFieldText;
COLORREF clrFieldBorder;
COLORREF clrFieldFocusBorder;
COLORREF clrProgressTrackBorder;
COLORREF clrFocusRing;
COLORREF clrFocusRingOnAccent;

CFont* fontBody = nullptr;
CFont* fontLink = nullptr;
CFont* fontButton = nullptr;
CFont* fontTitle = nullptr;

namespace {

// A palette role: its dark-theme colour and the system colour that stands
// for it in high contrast.
struct PaletteEntry {
    COLORREF* role;
    COLORREF dark;
    int system;
};

const PaletteEntry kPalette[] = {
    {&clrCaptionText, RGB(0xC8, 0xC8, 0xC8), COLOR_WINDOWTEXT},
    {&clrWindowBack, RGB(0x18, 0x19, 0x1E), COLOR_WINDOW},
    {&clrFrameBorder, RGB(0x18, 0x19, 0x1E), COLOR_WINDOWTEXT},
    {&clrCaptionBack, RGB(0x18, 0x19, 0x1E), COLOR_WINDOW},
    {&clrCloseHover, RGB(0xB5, 0x27, 0x24), COLOR_HIGHLIGHT},
    {&clrClosePressed, RGB(0x95, 0x10, 0x0E), COLOR_HIGHLIGHT},
    {&clrCaptionButtonHover, RGB(0x31, 0x3F, 0x49), COLOR_HIGHLIGHT},
    {&clrCaptionButtonPressed, RGB(0x1C, 0x1F, 0x21), COLOR_HIGHLIGHT},
    {&clrTitleText, RGB(0xFF, 0xFF, 0xFF), COLOR_WINDOWTEXT},
    {&clrProgressTrack, RGB(0x4B, 0x47, 0x46), COLOR_WINDOW},
    {&clrProgressFill, RGB(0x07, 0xA5, 0xD8), COLOR_HIGHLIGHT},
    {&clrLabelText, RGB(0xB9, 0xBA, 0xBB), COLOR_WINDOWTEXT},
    {&clrFieldBack, RGB(0x2F, 0x30, 0x34), COLOR_WINDOW},
    {&clrFieldButton, RGB(0x41, 0x42, 0x46), COLOR_BTNFACE},
    {&clrTextButtonDisabled, RGB(0x70, 0x70, 0x70), COLOR_BTNFACE},
    {&clrTextButtonFace, RGB(0x07, 0xA5, 0xD8), COLOR_HIGHLIGHT},
    {&clrTextButtonHover, RGB(0x17, 0xBE, 0xF4), COLOR_HIGHLIGHT},
    {&clrTextButtonPressed, RGB(0x05, 0x8A, 0xB5), COLOR_HIGHLIGHT},
    {&clrTextButtonText, RGB(0xFF, 0xFF, 0xFF), COLOR_HIGHLIGHTTEXT},
    {&clrTextButtonDisabledText, RGB(0xF0, 0xF0, 0xF0), COLOR_GRAYTEXT},
    {&clrLinkText, RGB(0x59, 0x86, 0xB2), COLOR_HOTLIGHT},
    {&clrLinkHighlight, RGB(0xFF, 0xFF, 0xFF), COLOR_HOTLIGHT},
    {&clrSeparator, RGB(0x28, 0x28, 0x28), COLOR_WINDOWTEXT},
    {&clrFieldText, RGB(0xFF, 0xFF, 0xFF), COLOR_WINDOWTEXT},
    {&clrFieldBorder, RGB(0x2F, 0x30, 0x34), COLOR_WINDOWTEXT},
    {&clrFieldFocusBorder, RGB(0x36, 0x8A, 0xD3), COLOR_HIGHLIGHT},
    {&clrProgressTrackBorder, RGB(0x4B, 0x47, 0x46), COLOR_WINDOWTEXT},
    // White on the dark background, the background's colour on the accent
    // face: both well above 3:1 against what they cross.
    {&clrFocusRing, RGB(0xFF, 0xFF, 0xFF), COLOR_WINDOWTEXT},
    {&clrFocusRingOnAccent, RGB(0x18, 0x19, 0x1E), COLOR_HIGHLIGHTTEXT},
};

bool SystemHighContrastOn()
{
    HIGHCONTRASTW state{};
    state.cbSize = sizeof(state);
    return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof(state), &state, 0) &&
           (state.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

HighContrastQuery g_highContrastQuery = &SystemHighContrastOn;

// Luma from which a picture's pixel counts as a light part (the tick on the
// check box's blue square).
constexpr unsigned kLightPartLuma = 192;

}  // namespace

bool HighContrastOn()
{
    return g_highContrastQuery();
}

void SetHighContrastQueryForTesting(HighContrastQuery query)
{
    g_highContrastQuery = query ? query : &SystemHighContrastOn;
}

bool RefreshThemePalette()
{
    const bool highContrast = HighContrastOn();
    bool changed = false;
    for (const PaletteEntry& entry : kPalette) {
        const COLORREF colour = highContrast ? GetSysColor(entry.system) : entry.dark;
        changed = changed || *entry.role != colour;
        *entry.role = colour;
    }
    return changed;
}

void InitThemePalette()
{
    RefreshThemePalette();
}

std::shared_ptr<CImageWrapper> LoadThemeImage(UINT id, ThemeInk ink)
{
    if (!HighContrastOn()) return LoadPngResource(id);
    switch (ink) {
        case ThemeInk::SelectedText: {
            const COLORREF text = GetSysColor(COLOR_HIGHLIGHTTEXT);
            return LoadTintedPngResource(id, text, text, kLightPartLuma);
        }
        case ThemeInk::Selection:
            return LoadTintedPngResource(id, GetSysColor(COLOR_HIGHLIGHT), GetSysColor(COLOR_HIGHLIGHTTEXT),
                                         kLightPartLuma);
        case ThemeInk::Text:
        default: {
            const COLORREF text = GetSysColor(COLOR_WINDOWTEXT);
            return LoadTintedPngResource(id, text, text, kLightPartLuma);
        }
    }
}

namespace {

struct SharedFontEntry {
    CFont** slot;
    const wchar_t* face;
    int designHeight;
    LONG weight;
    BYTE underline;
};

const SharedFontEntry kSharedFonts[] = {
    {&fontBody, L"Tahoma", 14, FW_NORMAL, FALSE},
    {&fontLink, L"Tahoma", 14, FW_NORMAL, TRUE},
    {&fontButton, L"Tahoma", 18, FW_NORMAL, FALSE},
    {&fontTitle, L"Arial", 32, FW_BOLD, FALSE},
};

}  // namespace

bool CreateThemeFonts()
{
    bool allCreated = true;
    for (const SharedFontEntry& entry : kSharedFonts) {
        if (!*entry.slot) *entry.slot = new CFont;
        CFont& font = **entry.slot;
        if (font.GetSafeHandle()) continue;
        LOGFONTW logFont{};
        // Positive: a cell height, not a character height.
        logFont.lfHeight = DpiScaleX(entry.designHeight);
        logFont.lfWeight = entry.weight;
        logFont.lfUnderline = entry.underline;
        logFont.lfCharSet = DEFAULT_CHARSET;
        logFont.lfOutPrecision = OUT_STROKE_PRECIS;
        logFont.lfClipPrecision = CLIP_STROKE_PRECIS;
        logFont.lfQuality = PROOF_QUALITY;
        lstrcpynW(logFont.lfFaceName, entry.face, LF_FACESIZE);
        if (!font.CreateFontIndirect(&logFont)) allCreated = false;
    }
    return allCreated;
}

void DestroyThemeFonts()
{
    for (const SharedFontEntry& entry : kSharedFonts) {
        CFont*& font = *entry.slot;
        if (!font) continue;
        font->DeleteObject();
        delete font;
        font = nullptr;
    }
}
