// What keyboard and screen-reader users meet in the toolkit's controls: the
// focus cue of each control, the UI state that hides it, the link pressed
// from the keyboard, and the accessible objects the controls hand out.
#include <gtest/gtest.h>

#include <oleacc.h>

#include <cmath>
#include <string>

#include "UiWindowTestSupport.h"
#include "ui/KorvexButton.h"
#include "ui/KorvexEdit.h"
#include "ui/KorvexProgress.h"
#include "ui/KorvexStatic.h"
#include "ui/KorvexTextButton.h"
#include "ui/Theme.h"

namespace {

// WCAG's relative luminance and contrast ratio.
double Luminance(COLORREF colour)
{
    auto channel = [](unsigned value) {
        const double c = value / 255.0;
        return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(GetRValue(colour)) + 0.7152 * channel(GetGValue(colour)) +
           0.0722 * channel(GetBValue(colour));
}

double Contrast(COLORREF a, COLORREF b)
{
    const double la = Luminance(a), lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

TEST(FocusCue, EveryCueStandsOutAtLeastThreeToOneFromWhatSurroundsIt)
{
    InitThemePalette();
    const struct {
        const char* what;
        COLORREF cue;
        COLORREF around;
    } cases[] = {
        {"frame on the page", clrFocusRing, clrWindowBack},
        {"frame on the browse button", clrFocusRing, clrFieldButton},
        {"ring on the accent face", clrFocusRingOnAccent, clrTextButtonFace},
        {"ring on the hovered face", clrFocusRingOnAccent, clrTextButtonHover},
        {"ring on the pressed face", clrFocusRingOnAccent, clrTextButtonPressed},
        {"focused link against its resting colour", clrLinkHighlight, clrLinkText},
        {"folder field border on the page", clrFieldFocusBorder, clrWindowBack},
        {"folder field border on the field", clrFieldFocusBorder, clrFieldBack},
    };
    for (const auto& c : cases) EXPECT_GE(Contrast(c.cue, c.around), 3.0) << c.what;
}

// Answers WM_QUERYUISTATE for a control as Windows does in a window the
// mouse opened: focus cues hidden.
WNDPROC g_previousProc = nullptr;
LRESULT CALLBACK HidingCues(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_QUERYUISTATE) return UISF_HIDEFOCUS;
    return CallWindowProcW(g_previousProc, window, message, wParam, lParam);
}

class KeyboardAccess : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dialog.Open());
        ASSERT_TRUE(m_button.SubclassDlgItem(IDC_UITEST_IMAGE_BUTTON, &m_dialog));
        ASSERT_TRUE(m_textButton.SubclassDlgItem(IDC_UITEST_TEXT_BUTTON, &m_dialog));
        ASSERT_TRUE(m_link.SubclassDlgItem(IDC_UITEST_LABEL, &m_dialog));
        ASSERT_TRUE(m_edit.SubclassDlgItem(IDC_UITEST_EDIT, &m_dialog));
        m_button.SetAppearance(SIZE{0, 0}, clrWindowBack, clrWindowBack, clrWindowBack, clrWindowBack, L"");
        m_textButton.SetText(L"Install");
        m_link.m_bLink = 1;
        m_link.m_strText = L"License Terms";
        m_link.m_clrBack = clrWindowBack;
        m_link.m_clrText = clrLinkText;
        m_link.m_clrTextHighlight = clrLinkHighlight;
        m_link.m_pFont = fontLink;
        m_link.m_nFormat = 56;
        m_edit.m_nMode = 2;
        m_edit.SetWindowText(L"C:\\Program Files");
        // Not the dialog: it would hand the focus to its first control.
        ::SetFocus(nullptr);
        PumpMessages(50);
    }

    static CapturedImage Picture(CWnd& control)
    {
        control.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW);
        PumpMessages(30);
        ::HideCaret(control);  // the edit's blinking caret is no cue of ours
        // The edit's cue is its border, in the non-client area.
        return CaptureWindow(control.m_hWnd);
    }

    RecordingDialog m_dialog{IDD_UITEST_FIXED};
    CKorvexButton m_button;
    CKorvexTextButton m_textButton;
    CKorvexStatic m_link;
    CKorvexEdit m_edit;
};

TEST_F(KeyboardAccess, FocusShowsACueUnlessTheUiStateHidesIt)
{
    for (CWnd* control : std::initializer_list<CWnd*>{&m_button, &m_textButton, &m_link, &m_edit}) {
        SCOPED_TRACE(control->GetDlgCtrlID());
        const CapturedImage resting = Picture(*control);
        control->SetFocus();
        PumpMessages(30);
        ASSERT_EQ(::GetFocus(), control->m_hWnd);
        EXPECT_NE(Picture(*control).pixels, resting.pixels) << "no focus cue";

        g_previousProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(control->m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&HidingCues)));
        control->SendMessage(WM_UPDATEUISTATE, MAKEWPARAM(UIS_SET, UISF_HIDEFOCUS));
        const CapturedImage hidden = Picture(*control);
        SetWindowLongPtrW(control->m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_previousProc));
        // The link's focus flag is its own; the rest is as at rest.
        if (control != &m_link) {
            EXPECT_EQ(hidden.pixels, resting.pixels) << "the cue shows while hidden";
        }
        ::SetFocus(nullptr);
        PumpMessages(30);
        EXPECT_EQ(Picture(*control).pixels, resting.pixels);
    }
}

TEST_F(KeyboardAccess, EnterAndSpaceClickALinkOnceEvenWhenHeld)
{
    m_link.SetFocus();
    int clicks = 0;
    for (WPARAM key : {VK_RETURN, VK_SPACE}) {
        ::PostMessageW(m_link, WM_KEYDOWN, key, 1);
        ::PostMessageW(m_link, WM_KEYDOWN, key, 1 | (1 << 30));  // auto-repeat
        ::PostMessageW(m_link, WM_KEYUP, key, 0xC0000001);
        PumpMessages(100);
        ++clicks;
        EXPECT_EQ(m_dialog.Clicks(IDC_UITEST_LABEL), clicks) << key;
    }
    EXPECT_TRUE(m_dialog.IsWindowVisible());
}

struct Accessible {
    IAccessible* object = nullptr;
    explicit Accessible(HWND window)
    {
        AccessibleObjectFromWindow(window, OBJID_CLIENT, __uuidof(IAccessible), reinterpret_cast<void**>(&object));
    }
    ~Accessible()
    {
        if (object) object->Release();
    }
    long Role() const { return Get(&IAccessible::get_accRole); }
    long State() const { return Get(&IAccessible::get_accState); }
    long Get(HRESULT (STDMETHODCALLTYPE IAccessible::*method)(VARIANT, VARIANT*)) const
    {
        VARIANT result;
        VariantInit(&result);
        const HRESULT status = (object->*method)(Self(), &result);
        return SUCCEEDED(status) && result.vt == VT_I4 ? result.lVal : -1;
    }
    std::wstring Text(HRESULT (STDMETHODCALLTYPE IAccessible::*method)(VARIANT, BSTR*)) const
    {
        BSTR text = nullptr;
        if (FAILED((object->*method)(Self(), &text)) || !text) return L"(none)";
        std::wstring copy(text, SysStringLen(text));
        SysFreeString(text);
        return copy;
    }
    static VARIANT Self()
    {
        VARIANT self;
        self.vt = VT_I4;
        self.lVal = CHILDID_SELF;
        return self;
    }
};

TEST_F(KeyboardAccess, ControlsNameTheirRoleStateAndValue)
{
    m_button.SetWindowText(L"I accept the License Terms");
    m_button.m_nAccessibleRole = ROLE_SYSTEM_CHECKBUTTON;
    m_button.m_nAccessibleState = STATE_SYSTEM_CHECKED;
    {
        const Accessible box(m_button);
        ASSERT_NE(box.object, nullptr);
        EXPECT_EQ(box.Role(), ROLE_SYSTEM_CHECKBUTTON);
        EXPECT_TRUE(box.State() & STATE_SYSTEM_CHECKED);
        EXPECT_EQ(box.Text(&IAccessible::get_accName), L"I accept the License Terms");
        m_button.m_nAccessibleState = 0;
        EXPECT_FALSE(box.State() & STATE_SYSTEM_CHECKED);
        EXPECT_EQ(box.object->accDoDefaultAction(Accessible::Self()), S_OK);
        PumpMessages(50);
        EXPECT_EQ(m_dialog.Clicks(IDC_UITEST_IMAGE_BUTTON), 1);
    }
    m_link.SetWindowText(L"License Terms");
    const Accessible link(m_link);
    ASSERT_NE(link.object, nullptr);
    EXPECT_EQ(link.Role(), ROLE_SYSTEM_LINK);
    EXPECT_TRUE(link.State() & STATE_SYSTEM_LINKED);
    EXPECT_EQ(link.Text(&IAccessible::get_accName), L"License Terms");

    CKorvexProgress progress;
    ASSERT_TRUE(progress.Create(&m_dialog, 1099, CRect(10, 120, 200, 128)));
    EXPECT_FALSE(progress.GetStyle() & WS_TABSTOP);
    progress.m_nRange = 1000;
    progress.m_nPos = 425;
    EXPECT_EQ(progress.SendMessage(PBM_GETPOS), 425);
    PBRANGE range{};
    EXPECT_EQ(progress.SendMessage(PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range)), 1000);
    EXPECT_EQ(range.iHigh, 1000);
    Accessible bar(progress);
    ASSERT_NE(bar.object, nullptr);
    EXPECT_EQ(bar.Role(), ROLE_SYSTEM_PROGRESSBAR);
    EXPECT_EQ(bar.Text(&IAccessible::get_accValue), L"42%");

    // A client may hold the object after the window is gone.
    progress.DestroyWindow();
    EXPECT_EQ(bar.Role(), -1);
    EXPECT_NE(bar.object->accDoDefaultAction(Accessible::Self()), S_OK);
}

}  // namespace
