#include <gtest/gtest.h>

#include "UiWindowTestSupport.h"
#include "ui/KorvexStatic.h"
#include "ui/Theme.h"

namespace {

constexpr COLORREF kBack = RGB(0x18, 0x19, 0x1E);

bool HasInk(const CapturedImage& image, COLORREF background)
{
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            if (image.At(x, y) != background) return true;
        }
    }
    return false;
}

class Label : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dialog.Open());
        ASSERT_TRUE(m_label.SubclassDlgItem(IDC_UITEST_LABEL, &m_dialog));
        m_label.m_clrBack = kBack;
        m_label.m_clrText = clrLabelText;
        m_label.m_pFont = fontBody;
    }

    CapturedImage Paint()
    {
        m_label.Invalidate(TRUE);
        m_label.UpdateWindow();
        return CaptureClient(m_label.m_hWnd);
    }

    RecordingDialog m_dialog{IDD_UITEST_FIXED};
    CKorvexStatic m_label;
};

TEST_F(Label, EmptyTextShowsOnlyTheBackgroundEvenWithWindowText)
{
    m_label.SetWindowText(L"Window text");
    const CapturedImage image = Paint();
    ASSERT_FALSE(image.IsEmpty());
    EXPECT_FALSE(HasInk(image, kBack));
    m_label.m_strText = L"Label";
    EXPECT_TRUE(HasInk(Paint(), kBack));
}

TEST_F(Label, LinkFocusRectangleOnlyWhileFocused)
{
    m_label.m_bLink = 1;
    m_label.m_strText = L"";
    CapturedImage image = Paint();
    EXPECT_FALSE(HasInk(image, kBack));
    m_label.SetFocus();
    PumpMessages(30);
    EXPECT_EQ(m_label.m_bFocused, 1);
    image = Paint();
    // The dotted rectangle runs 2 pixels inside the edges.
    bool dotted = false;
    for (int x = 2; x < image.width - 2; ++x) dotted = dotted || image.At(x, 2) != kBack;
    EXPECT_TRUE(dotted);
    EXPECT_TRUE(SameColor(image.At(image.width / 2, 1), kBack));
    m_dialog.SetFocus();
    PumpMessages(30);
    EXPECT_EQ(m_label.m_bFocused, 0);
    EXPECT_FALSE(HasInk(Paint(), kBack));
}

TEST_F(Label, RightAlignedTemplateLabelBecomesOwnerDrawn)
{
    CKorvexStatic right;
    ASSERT_TRUE(right.SubclassDlgItem(IDC_UITEST_RIGHT_LABEL, &m_dialog));
    // SS_OWNERDRAW replaces the type: OR-ed into SS_RIGHT it would read as SS_ENHMETAFILE.
    EXPECT_EQ(right.GetStyle() & SS_TYPEMASK, static_cast<DWORD>(SS_OWNERDRAW));
    right.m_clrBack = kBack;
    right.m_clrText = clrLabelText;
    right.m_strText = L"Folder:";
    right.m_nFormat = DT_SINGLELINE | DT_VCENTER | DT_RIGHT;
    right.Invalidate(TRUE);
    right.UpdateWindow();
    const CapturedImage image = CaptureClient(right.m_hWnd);
    EXPECT_TRUE(HasInk(image, kBack));
    // Right-aligned: the left quarter stays empty.
    bool leftInk = false;
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width / 4; ++x) leftInk = leftInk || image.At(x, y) != kBack;
    }
    EXPECT_FALSE(leftInk);
}

TEST(Theme, PaletteAndSharedFonts)
{
    EXPECT_EQ(clrWindowBack, RGB(0x18, 0x19, 0x1E));
    EXPECT_EQ(clrCloseHover, RGB(0xB5, 0x27, 0x24));
    EXPECT_EQ(clrProgressFill, RGB(0x07, 0xA5, 0xD8));
    EXPECT_EQ(clrTextButtonDisabled, RGB(0x70, 0x70, 0x70));
    EXPECT_EQ(clrTextButtonDisabledText, RGB(0xF0, 0xF0, 0xF0));
    struct FontCase {
        CFont* font;
        const wchar_t* face;
        LONG height;
        LONG weight;
        BYTE underline;
    };
    const FontCase fonts[] = {{fontBody, L"Tahoma", 14, 400, 0},
                              {fontLink, L"Tahoma", 14, 400, 1},
                              {fontButton, L"Tahoma", 18, 400, 0},
                              {fontTitle, L"Arial", 32, 700, 0}};
    for (const FontCase& c : fonts) {
        ASSERT_NE(c.font, nullptr);
        LOGFONTW logFont{};
        ASSERT_TRUE(c.font->GetLogFont(&logFont));
        EXPECT_STREQ(logFont.lfFaceName, c.face);
        EXPECT_EQ(logFont.lfHeight, c.height) << "positive: a cell height";
        EXPECT_EQ(logFont.lfWeight, c.weight);
        EXPECT_EQ(logFont.lfUnderline, c.underline);
        EXPECT_EQ(logFont.lfQuality, PROOF_QUALITY);
    }
}

TEST(Theme, DestroyingTheFontsClearsThemAndTheyCanComeBack)
{
    DestroyThemeFonts();
    EXPECT_EQ(fontBody, nullptr);
    EXPECT_EQ(fontTitle, nullptr);
    DestroyThemeFonts();
    ASSERT_TRUE(CreateThemeFonts());
    ASSERT_NE(fontBody, nullptr);
    EXPECT_NE(fontBody->GetSafeHandle(), nullptr);
}

}  // namespace
