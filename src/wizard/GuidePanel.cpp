#include "wizard/GuidePanel.h"

#include "ui/ImageWrapper.h"
#include "ui/MemoryCanvas.h"
#include "ui/Theme.h"
#include "wizard/InstallGuide.h"
#include "wizard/WizardScreen.h"

#include "resource.h"

using namespace korvex::wizard;

BEGIN_MESSAGE_MAP(CGuidePanel, CDialog)
ON_WM_ERASEBKGND()
ON_WM_SIZE()
END_MESSAGE_MAP()

void CGuidePanel::DrawBackground(CDC&) {}

void CGuidePanel::LayoutControls(const CRect&) {}

CSize CGuidePanel::GetPageSize()
{
    return ToCSize(DefaultPageSize(ScreenScale()));
}

void CGuidePanel::OnPageShown() {}

void CGuidePanel::ReloadTexts() {}

BOOL CGuidePanel::CanClose()
{
    return TRUE;
}

void CGuidePanel::ApplyTheme() {}

int CGuidePanel::EnterCommandFor(int)
{
    return 0;
}

void CGuidePanel::PostControlClick(int id)
{
    if (const HWND control = ::GetDlgItem(m_hWnd, id)) {
        PostMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(control));
    }
}

BOOL CGuidePanel::PreTranslateMessage(MSG* msg)
{
    const bool ours = msg->hwnd == m_hWnd || ::IsChild(m_hWnd, msg->hwnd);
    const bool enterOrEscape = msg->wParam == VK_RETURN || msg->wParam == VK_ESCAPE;
    if (!ours || msg->message != WM_KEYDOWN || !enterOrEscape) return CDialog::PreTranslateMessage(msg);
    // A key held down acts once; the dialog manager never sees either key.
    if (msg->lParam & (1 << 30)) return TRUE;
    if (msg->wParam == VK_ESCAPE) {
        if (const HWND main = ::GetParent(m_hWnd)) ::PostMessageW(main, WM_SYSCOMMAND, SC_CLOSE, 0);
        return TRUE;
    }
    const HWND focus = ::GetFocus();
    const int focusedId = focus && ::IsChild(m_hWnd, focus) ? ::GetDlgCtrlID(focus) : 0;
    if (const int command = EnterCommandFor(focusedId)) PostControlClick(command);
    return TRUE;
}

void CGuidePanel::OnOK() {}

void CGuidePanel::OnCancel() {}

void CGuidePanel::DropTemplateFrame()
{
    ModifyStyle(WS_CAPTION | WS_THICKFRAME, 0);
    ModifyStyleEx(WS_EX_DLGMODALFRAME, 0);
}

BOOL CGuidePanel::OnInitDialog()
{
    CDialog::OnInitDialog();
    DropTemplateFrame();
    return TRUE;
}

void CGuidePanel::GoNext()
{
    auto* guide = dynamic_cast<CInstallGuide*>(CWnd::FromHandlePermanent(::GetParent(m_hWnd)));
    if (!guide) return;
    const int nextKey = guide->m_currentPage + 1;
    if (guide->m_pages.find(nextKey) == guide->m_pages.end()) return;
    guide->ShowPage(nextKey);
}

void CGuidePanel::MeasureText(const CString& text, CFont* font, CSize& size)
{
    CDC* dc = GetDC();
    if (!dc) return;
    CFont* previous = font ? dc->SelectObject(font) : nullptr;
    SIZE measured{0, 0};
    ::GetTextExtentPoint32W(dc->GetSafeHdc(), text, text.GetLength(), &measured);
    if (previous) dc->SelectObject(previous);
    ReleaseDC(dc);
    size = ToCSize(FitMeasuredText(ToUiSize(size), {measured.cx, measured.cy}));
}

void CGuidePanel::OnSize(UINT type, int cx, int cy)
{
    CDialog::OnSize(type, cx, cy);
    CRect client;
    GetClientRect(&client);
    LayoutControls(client);
}

BOOL CGuidePanel::OnEraseBkgnd(CDC* dc)
{
    CRect client;
    GetClientRect(&client);
    MemoryCanvas canvas(*dc, client.Width(), client.Height());
    if (!canvas.IsReady()) return 0;
    CDC& memory = canvas.dc();
    memory.FillSolidRect(&client, clrWindowBack);
    if (const auto wordmark = LoadThemeImage(DpiImageId(IDB_WORDMARK)); wordmark && wordmark->bitmap) {
        BitmapSource source(memory, wordmark->bitmap.get());
        if (source.IsReady()) {
            memory.AlphaBlend(client.right - wordmark->width, client.top, wordmark->width, wordmark->height,
                              &source.dc(), 0, 0, wordmark->width, wordmark->height,
                              BLENDFUNCTION{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA});
        }
    }
    DrawBackground(memory);
    canvas.CopyTo(*dc, 0, 0);
    return 0;
}
