#include "wizard/InstallGuide.h"

#include "config/ProductConfiguration.h"
#include "config/RunSettings.h"
#include "wizard/SettingPanel.h"
#include "wizard/StatusPanel.h"
#include "wizard/SuccessPanel.h"
#include "wizard/WizardScreen.h"

#include "resource.h"

using namespace korvex::config;
using namespace korvex::wizard;

BEGIN_MESSAGE_MAP(CInstallGuide, CKorvexDialog)
ON_WM_CLOSE()
END_MESSAGE_MAP()

CInstallGuide::CInstallGuide() : CKorvexDialog(IDD_INSTALL_GUIDE) {}

// The pages go first: their windows are children of this one.
CInstallGuide::~CInstallGuide()
{
    m_pages.clear();
}

BOOL CInstallGuide::OnInitDialog()
{
    CKorvexDialog::OnInitDialog();

    SetProductIcon(*this);
    SetWindowText(g_productConfiguration.m_manifest.m_strFullName.c_str());

    auto addPage = [this](int key, std::shared_ptr<CGuidePanel> page, UINT templateId) {
        if (page->Create(templateId, this)) m_pages.emplace(key, std::move(page));
    };
    addPage(kSettingPage, std::make_shared<CSettingPanel>(), IDD_SETTING_PANEL);
    addPage(kStatusPage, std::make_shared<CStatusPanel>(), IDD_STATUS_PANEL);
    addPage(kSuccessPage, std::make_shared<CSuccessPanel>(), IDD_SUCCESS_PANEL);

    const bool skipSettings = g_runSettings.m_bProductInstalled || g_runSettings.m_bSilent;
    ShowPage(skipSettings ? kStatusPage : kSettingPage);
    FitToPage();
    if (g_runSettings.m_bSilent) HideForSilentRun(*this);
    return TRUE;
}

CGuidePanel* CInstallGuide::CurrentPage() const
{
    const auto found = m_pages.find(m_currentPage);
    return found == m_pages.end() ? nullptr : found->second.get();
}

bool CInstallGuide::ShowPage(int key)
{
    m_bShowCaption = key == kStatusPage ? 1 : 0;
    RedrawFrame();
    const auto found = m_pages.find(key);
    if (found == m_pages.end()) return false;
    if (key != m_currentPage) {
        if (CGuidePanel* previous = CurrentPage()) previous->ShowWindow(SW_HIDE);
    }
    m_currentPage = key;
    FitToPage();
    CGuidePanel& page = *found->second;
    page.OnPageShown();
    page.ShowWindow(SW_SHOW);
    // Keys go to the page on show, whose dialog manager swallows Escape.
    if (IsWindowVisible()) page.SetFocus();
    Invalidate(TRUE);
    UpdateWindow();
    return true;
}

void CInstallGuide::FitToPage()
{
    CGuidePanel* page = CurrentPage();
    const CSize pageSize = page ? page->GetPageSize() : CSize(0, 0);
    const UiSize window = WindowSizeForPage(ScreenScale(), ToUiSize(pageSize));
    SetWindowPos(nullptr, 0, 0, window.cx, window.cy, SWP_NOMOVE | SWP_NOZORDER);
}

void CInstallGuide::LayoutClient(const CRect& client)
{
    for (auto& [key, page] : m_pages) {
        if (page && page->m_hWnd) page->MoveWindow(client.left, client.top, client.Width(), client.Height(), TRUE);
    }
}

void CInstallGuide::ApplyTheme()
{
    for (auto& [key, page] : m_pages) {
        if (page && page->m_hWnd) page->ApplyTheme();
    }
    CKorvexDialog::ApplyTheme();
}

void CInstallGuide::OnOK() {}

void CInstallGuide::OnCancel() {}

void CInstallGuide::OnClose()
{
    CGuidePanel* page = CurrentPage();
    if (!page || page->CanClose()) EndDialog(IDCANCEL);
}
