#include "ui/Theme.h"

#include "mfc/AfxWin.h"

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

CFont* fontBody = nullptr;
CFont* fontLink = nullptr;
CFont* fontButton = nullptr;
CFont* fontTitle = nullptr;

void InitThemePalette()
{
    clrCaptionText = RGB(0xC8, 0xC8, 0xC8);
    clrWindowBack = RGB(0x18, 0x19, 0x1E);
    clrFrameBorder = RGB(0x18, 0x19, 0x1E);
    clrCaptionBack = RGB(0x18, 0x19, 0x1E);
    clrCloseHover = RGB(0xB5, 0x27, 0x24);
    clrClosePressed = RGB(0x95, 0x10, 0x0E);
    clrCaptionButtonHover = RGB(0x31, 0x3F, 0x49);
    clrCaptionButtonPressed = RGB(0x1C, 0x1F, 0x21);
    clrTitleText = RGB(0xFF, 0xFF, 0xFF);
    clrProgressTrack = RGB(0x4B, 0x47, 0x46);
    clrProgressFill = RGB(0x07, 0xA5, 0xD8);
    clrLabelText = RGB(0xB9, 0xBA, 0xBB);
    clrFieldBack = RGB(0x2F, 0x30, 0x34);
    clrFieldButton = RGB(0x41, 0x42, 0x46);
    clrTextButtonDisabled = RGB(0x70, 0x70, 0x70);
    clrTextButtonFace = RGB(0x07, 0xA5, 0xD8);
    clrTextButtonHover = RGB(0x17, 0xBE, 0xF4);
    clrTextButtonPressed = RGB(0x05, 0x8A, 0xB5);
    clrTextButtonText = RGB(0xFF, 0xFF, 0xFF);
    clrTextButtonDisabledText = RGB(0xF0, 0xF0, 0xF0);
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
