#include "config/UiStringsWin.h"
#include "wizard/SuccessPanel.h"

#include "config/ProductConfiguration.h"
#include "config/RunSettings.h"
#include "config/UiStrings.h"
#include "install/MessageText.h"
#include "wizard/ProductHeading.h"
#include "wizard/ShellLaunch.h"
#include "wizard/WizardScreen.h"

#include "resource.h"

using namespace korvex::config;
using namespace korvex::install;
using namespace korvex::wizard;

BEGIN_MESSAGE_MAP(CSuccessPanel, CGuidePanel)
ON_COMMAND(IDOK, OnClickStart)
ON_WM_TIMER()
END_MESSAGE_MAP()

CSuccessPanel::CSuccessPanel() : CGuidePanel(IDD_SUCCESS_PANEL) {}

void CSuccessPanel::DoDataExchange(CDataExchange* dx)
{
    CGuidePanel::DoDataExchange(dx);
    DDX_Control(dx, IDOK, m_btnStart);
}

BOOL CSuccessPanel::OnInitDialog()
{
    CDialog::OnInitDialog();
    DropTemplateFrame();
    // Named from the start, not as the template's "OK".
    m_btnStart.SetText(LoadUiString(IDS_START_NOW).c_str());
    return FALSE;
}

void CSuccessPanel::OnPageShown()
{
    ReloadTexts();
}

void CSuccessPanel::ReloadTexts()
{
    m_btnStart.SetText(LoadUiString(IDS_START_NOW).c_str());
    m_btnStart.Invalidate();
    CRect client;
    GetClientRect(&client);
    LayoutControls(client);
}

void CSuccessPanel::LayoutControls(const CRect& client)
{
    if (!m_btnStart.m_hWnd) return;
    MoveTo(m_btnStart, LayoutStartButton(ScreenScale(), ToUiRect(client)));
}

void CSuccessPanel::DrawBackground(CDC& dc)
{
    CRect client;
    GetClientRect(&client);
    const std::wstring ready = LoadUiString(IDS_PRODUCT_READY);
    const std::wstring title =
        ready.empty() ? std::wstring() : FillMessageText(ready, g_productConfiguration.m_manifest.m_strShortName);
    DrawProductHeading(dc, client, 90, title);
}

BOOL CSuccessPanel::OpenHomePage()
{
    const std::wstring& address = g_productConfiguration.m_strHomePageUrl;
    if (g_runSettings.m_bProductInstalled || m_bHomePageOpened || address.empty()) return FALSE;
    OpenWebAddress(address);
    m_bHomePageOpened = 1;
    return TRUE;
}

void CSuccessPanel::OnClickStart()
{
    OpenHomePage();
    SetTimer(kLaunchTimer, kLaunchDelayMs);
}

void CSuccessPanel::OnTimer(UINT_PTR id)
{
    if (id != kLaunchTimer) {
        CGuidePanel::OnTimer(id);
        return;
    }
    KillTimer(kLaunchTimer);
    LaunchInstalledProduct();
    if (CWnd* main = GetParent()) main->DestroyWindow();
}

void CSuccessPanel::ApplyTheme()
{
    m_btnStart.ApplyThemeColours();
}

int CSuccessPanel::EnterCommandFor(int)
{
    return IDOK;
}

BOOL CSuccessPanel::CanClose()
{
    OpenHomePage();
    return TRUE;
}
