#include "config/ConsentRegionWin.h"
#include "config/UiStringsWin.h"
#include "wizard/SettingPanel.h"

#include <shlobj.h>
#include <shlwapi.h>

#include "base/UserMessageBox.h"
#include "config/ConsentRegion.h"
#include "config/ProductConfiguration.h"
#include "config/UiStrings.h"
#include "install/MessageText.h"
#include <oleacc.h>

#include "ui/ImageWrapper.h"
#include "ui/Theme.h"
#include "wizard/InstallFolderRules.h"
#include "wizard/InstallGuide.h"
#include "wizard/ProductHeading.h"
#include "wizard/RunOutcome.h"
#include "wizard/ShellLaunch.h"
#include "wizard/WizardScreen.h"

#include "resource.h"

using namespace korvex::config;
using namespace korvex::install;
using namespace korvex::wizard;

namespace {

constexpr UINT kFormatLabel = 56;
constexpr UINT kFormatHeader = 58;
constexpr UINT kFormatFolderLabel = 54;

void StyleLabel(CKorvexStatic& label, CFont* font, COLORREF text, UINT format)
{
    label.m_pFont = font;
    label.m_clrText = text;
    label.m_clrTextHighlight = text;
    label.m_clrBack = clrWindowBack;
    label.m_nFormat = format;
}

void ShowImage(CKorvexButton& button, UINT baseId, ThemeInk ink = ThemeInk::Text)
{
    if (const auto image = LoadThemeImage(DpiImageId(baseId), ink)) button.SetImage(*image);
    if (button.m_hWnd) button.Invalidate();
}

// The consent box is read as its label and link together.
std::wstring ConsentName(const std::wstring& label, const std::wstring& link)
{
    if (label.empty() || link.empty()) return label + link;
    return label + L" " + link;
}

// The browser opens on the start folder and allows OK only on real folders.
int CALLBACK BrowseCallback(HWND window, UINT message, LPARAM selection, LPARAM startFolder)
{
    if (message == BFFM_INITIALIZED && startFolder) {
        ::SendMessageW(window, BFFM_SETSELECTIONW, TRUE, startFolder);
    } else if (message == BFFM_SELCHANGED) {
        wchar_t path[MAX_PATH] = {};
        const BOOL hasPath = ::SHGetPathFromIDListW(reinterpret_cast<PCIDLIST_ABSOLUTE>(selection), path);
        ::SendMessageW(window, BFFM_ENABLEOK, 0, hasPath);
    }
    return 0;
}

std::wstring ShortName()
{
    return g_productConfiguration.m_manifest.m_strShortName;
}

}  // namespace

BEGIN_MESSAGE_MAP(CSettingPanel, CGuidePanel)
ON_BN_CLICKED(IDC_BTN_INSTALL, OnClickInstall)
ON_BN_CLICKED(IDC_CHK_ACCEPT_TERMS, OnClickAcceptTerms)
ON_BN_CLICKED(IDC_BTN_EXPANDER, OnClickExpander)
ON_STN_CLICKED(IDC_LBL_INSTALL_SETTINGS, OnClickExpander)
ON_STN_CLICKED(IDC_LNK_LICENSE_TERMS, OnClickLicenseTerms)
ON_BN_CLICKED(IDC_BTN_BROWSE, OnClickBrowse)
END_MESSAGE_MAP()

CSettingPanel::CSettingPanel() : CGuidePanel(IDD_SETTING_PANEL) {}

void CSettingPanel::DoDataExchange(CDataExchange* dx)
{
    CGuidePanel::DoDataExchange(dx);
    DDX_Control(dx, IDC_BTN_INSTALL, m_btnInstall);
    DDX_Control(dx, IDC_CHK_ACCEPT_TERMS, m_chkAcceptTerms);
    DDX_Control(dx, IDC_LBL_ACCEPT_TERMS, m_lblAcceptTerms);
    DDX_Control(dx, IDC_LNK_LICENSE_TERMS, m_lnkLicenseTerms);
    DDX_Control(dx, IDC_LBL_INSTALL_SETTINGS, m_lblInstallSettings);
    DDX_Control(dx, IDC_BTN_EXPANDER, m_btnExpander);
    DDX_Control(dx, IDC_LBL_INSTALL_FOLDER, m_lblInstallFolder);
    DDX_Control(dx, IDC_EDT_INSTALL_FOLDER, m_edtInstallFolder);
    DDX_Control(dx, IDC_BTN_BROWSE, m_btnBrowse);
}

BOOL CSettingPanel::OnInitDialog()
{
    CDialog::OnInitDialog();
    DropTemplateFrame();
    // Lets the main window's dialog manager find the page's tab stops, so the
    // first of them has the focus when the window opens.
    ModifyStyleEx(0, WS_EX_CONTROLPARENT);

    m_btnInstall.SetText(LoadUiString(IDS_INSTALL).c_str());
    SetLabelText(m_lblAcceptTerms, LoadUiString(IDS_ACCEPT_LICENSE_TERMS));
    m_lnkLicenseTerms.m_bLink = 1;
    SetLabelText(m_lnkLicenseTerms, LoadUiString(IDS_LINK_LICENSE_TERMS));
    SetLabelText(m_lblInstallSettings, LoadUiString(IDS_INSTALL_SETTINGS));
    SetLabelText(m_lblInstallFolder, LoadUiString(IDS_INSTALL_FOLDER));
    m_edtInstallFolder.m_nMode = 2;
    ApplyTheme();
    NameControls();

    m_edtInstallFolder.SetWindowText(g_productConfiguration.m_strInstallFolder.c_str());
    m_chkAcceptTerms.m_nAccessibleRole = ROLE_SYSTEM_CHECKBUTTON;
    m_btnExpander.m_nAccessibleRole = ROLE_SYSTEM_PUSHBUTTON;
    m_bTermsAccepted = IsInConsentRegion(BuildConsentRegion()) ? 0 : 1;
    UpdateTermsState();
    UpdateExpander();
    return FALSE;
}

void CSettingPanel::ApplyTheme()
{
    m_btnInstall.ApplyThemeColours();
    m_chkAcceptTerms.SetAppearance(SIZE{0, 0}, clrWindowBack, clrWindowBack, clrWindowBack, clrWindowBack, L"");
    StyleLabel(m_lblAcceptTerms, fontBody, clrLabelText, kFormatLabel);
    StyleLabel(m_lnkLicenseTerms, fontLink, clrLinkText, kFormatLabel);
    m_lnkLicenseTerms.m_clrTextHighlight = clrLinkHighlight;
    StyleLabel(m_lblInstallSettings, fontBody, clrLabelText, kFormatHeader);
    m_btnExpander.SetAppearance(SIZE{0, 0}, clrWindowBack, clrWindowBack, clrWindowBack, clrWindowBack, L"");
    StyleLabel(m_lblInstallFolder, fontBody, clrLabelText, kFormatFolderLabel);
    m_edtInstallFolder.m_clrBorder = clrFieldBorder;
    m_edtInstallFolder.m_clrBorderFocus = clrFieldFocusBorder;
    m_edtInstallFolder.m_clrBack = clrFieldBack;
    m_edtInstallFolder.m_clrText = clrFieldText;
    m_edtInstallFolder.m_brBack.DeleteObject();
    m_edtInstallFolder.m_brBack.CreateSolidBrush(clrFieldBack);
    m_btnBrowse.SetAppearance(SIZE{0, 0}, clrFieldButton, clrFieldButton, clrFieldButton, clrFieldButton, L"...");
    for (CKorvexButton* button : {&m_chkAcceptTerms, &m_btnExpander, &m_btnBrowse}) {
        button->m_clrFocusRing = clrFocusRing;
    }
    // The pictures of the current palette.
    UpdateTermsState();
    UpdateExpander();
}

// What a screen reader announces for the controls drawn without text.
void CSettingPanel::NameControls()
{
    const std::wstring consent =
        ConsentName(LoadUiString(IDS_ACCEPT_LICENSE_TERMS), LoadUiString(IDS_LINK_LICENSE_TERMS));
    m_chkAcceptTerms.SetWindowText(consent.c_str());
    m_btnExpander.SetWindowText(LoadUiString(IDS_INSTALL_SETTINGS).c_str());
    m_btnBrowse.SetWindowText(LoadUiString(IDS_BROWSE_DEST_FOLDER).c_str());
}

int CSettingPanel::EnterCommandFor(int focusedId)
{
    // The push buttons press themselves; anywhere else Enter installs.
    const bool pushButton =
        focusedId == IDC_BTN_INSTALL || focusedId == IDC_BTN_EXPANDER || focusedId == IDC_BTN_BROWSE;
    return pushButton ? focusedId : IDC_BTN_INSTALL;
}

void CSettingPanel::UpdateTermsState()
{
    ShowImage(m_chkAcceptTerms, m_bTermsAccepted ? IDB_CHECK_ON : IDB_CHECK_OFF,
              m_bTermsAccepted ? ThemeInk::Selection : ThemeInk::Text);
    m_chkAcceptTerms.m_nAccessibleState = m_bTermsAccepted ? STATE_SYSTEM_CHECKED : 0;
    NotifyAccessibleStateChange(m_chkAcceptTerms);
    m_btnInstall.m_bHover = 0;
    m_btnInstall.m_bPressed = 0;
    m_btnInstall.m_bCaptured = 0;
    m_btnInstall.m_bTracking = 0;
    const int enabled = m_bTermsAccepted ? 1 : 0;
    if (m_btnInstall.m_bEnabled != enabled) {
        m_btnInstall.m_bEnabled = enabled;
        // A disabled window: Tab passes over it and screen readers call it
        // unavailable. The focus must not stay on it.
        if (!enabled && ::GetFocus() == m_btnInstall.m_hWnd) m_chkAcceptTerms.SetFocus();
        m_btnInstall.EnableWindow(enabled);
        m_btnInstall.Invalidate();
        m_btnInstall.UpdateWindow();
    }
}

void CSettingPanel::UpdateExpander()
{
    ShowImage(m_btnExpander, m_bSettingsFolded ? IDB_CHEVRON_DOWN : IDB_CHEVRON_UP);
    m_btnExpander.m_nAccessibleState = m_bSettingsFolded ? STATE_SYSTEM_COLLAPSED : STATE_SYSTEM_EXPANDED;
    NotifyAccessibleStateChange(m_btnExpander);
}

void CSettingPanel::OnClickAcceptTerms()
{
    m_bTermsAccepted = m_bTermsAccepted ? 0 : 1;
    UpdateTermsState();
}

void CSettingPanel::OnClickExpander()
{
    m_bSettingsFolded = m_bSettingsFolded ? 0 : 1;
    if (auto* guide = dynamic_cast<CInstallGuide*>(CWnd::FromHandlePermanent(::GetParent(m_hWnd)))) {
        guide->FitToPage();
    }
    UpdateExpander();
}

CSize CSettingPanel::GetPageSize()
{
    return ToCSize(SettingPageSize(ScreenScale(), m_bSettingsFolded != 0));
}

void CSettingPanel::OnClickLicenseTerms()
{
    OpenWebAddress(LoadLink(IDS_RLINK_TERMS));
}

void CSettingPanel::OnPageShown()
{
    ReloadTexts();
}

void CSettingPanel::ReloadTexts()
{
    m_btnInstall.SetText(LoadUiString(IDS_INSTALL).c_str());
    m_btnInstall.Invalidate();
    SetLabelText(m_lblAcceptTerms, LoadUiString(IDS_ACCEPT_LICENSE_TERMS));
    SetLabelText(m_lnkLicenseTerms, LoadUiString(IDS_LINK_LICENSE_TERMS));
    SetLabelText(m_lblInstallSettings, LoadUiString(IDS_INSTALL_SETTINGS));
    SetLabelText(m_lblInstallFolder, LoadUiString(IDS_INSTALL_FOLDER));
    NameControls();
    CRect client;
    GetClientRect(&client);
    LayoutControls(client);
}

void CSettingPanel::LayoutControls(const CRect& client)
{
    if (!m_btnInstall.m_hWnd) return;
    const DpiScale scale = ScreenScale();
    auto measured = [this](CWnd& label, CFont* font, UiSize preset) {
        CString text;
        label.GetWindowText(text);
        CSize size = ToCSize(preset);
        MeasureText(text, font, size);
        return ToUiSize(size);
    };
    SettingTextSizes texts;
    texts.acceptLabel = measured(m_lblAcceptTerms, fontBody, AcceptLabelPreset(scale));
    texts.licenseLink = measured(m_lnkLicenseTerms, fontLink, AcceptLabelPreset(scale));
    texts.settingsHeader = measured(m_lblInstallSettings, fontLink, SettingsHeaderPreset(scale));
    texts.folderLabel = measured(m_lblInstallFolder, fontLink, FolderRowPreset(scale));
    CSize association = ToCSize(FolderRowPreset(scale));
    MeasureText(LoadUiString(IDS_FILE_ASSOCIATION).c_str(), fontLink, association);
    texts.associationWidth = association.cx;

    const SettingLayout layout = LayoutSettingPage(scale, ToUiRect(client), texts);
    MoveTo(m_btnInstall, layout.install);
    MoveTo(m_chkAcceptTerms, layout.acceptBox);
    MoveTo(m_lblAcceptTerms, layout.acceptLabel);
    MoveTo(m_lnkLicenseTerms, layout.licenseLink);
    MoveTo(m_lblInstallSettings, layout.settingsHeader);
    MoveTo(m_btnExpander, layout.expander);
    MoveTo(m_lblInstallFolder, layout.folderLabel);
    MoveTo(m_edtInstallFolder, layout.folderEdit);
    MoveTo(m_btnBrowse, layout.browse);
    m_ptSeparator = POINT{layout.separatorX, layout.separatorY};
    Invalidate();
}

void CSettingPanel::DrawBackground(CDC& dc)
{
    CRect client;
    GetClientRect(&client);
    DrawProductHeading(dc, client, 48, g_productConfiguration.m_manifest.m_strFullName);
    if (m_ptSeparator.x != 0 || m_ptSeparator.y != 0) {
        CPen pen;
        pen.CreatePen(PS_SOLID, 1, clrSeparator);
        CPen* previous = dc.SelectObject(&pen);
        dc.MoveTo(m_ptSeparator.x, m_ptSeparator.y);
        dc.LineTo(client.right, m_ptSeparator.y);
        dc.SelectObject(previous);
    }
}

BOOL CSettingPanel::CanClose()
{
    const std::wstring text = LoadUiString(IDS_MESSAGE_CANCELNOTICE);
    if (UserMessageBox(m_hWnd, text.c_str(), ShortName().c_str(), MB_YESNO | MB_ICONEXCLAMATION) != IDYES) {
        return FALSE;
    }
    RecordRunOutcome(RunOutcome::UserCancelled);
    return TRUE;
}

void CSettingPanel::OnClickInstall()
{
    if (IsWindowVisible() && ValidateInstallFolder()) GoNext();
}

bool CSettingPanel::CreateFolderLevels(const std::wstring& path)
{
    for (const std::wstring& level : FolderLevels(path)) {
        const DWORD attributes = ::GetFileAttributesW(level.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES) {
            if (!::CreateDirectoryW(level.c_str(), nullptr)) return false;
        } else if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            // A file in the way: the product could never be installed there.
            return false;
        }
    }
    // A share has no levels to make, yet it may not exist at all.
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void CSettingPanel::RefuseFolder(const std::wstring& path)
{
    const std::wstring text = FillMessageText(LoadUiString(IDS_ERR_CREATE_FOLDER_FAILED), path);
    UserMessageBox(m_hWnd, text.c_str(), ShortName().c_str(), MB_ICONWARNING);
    m_edtInstallFolder.SetWindowText(g_productConfiguration.m_strInstallFolder.c_str());
}

BOOL CSettingPanel::ValidateInstallFolder()
{
    if (!m_bTermsAccepted) return FALSE;
    CString typed;
    m_edtInstallFolder.GetWindowText(typed);
    const std::wstring text(typed.GetString(), static_cast<size_t>(typed.GetLength()));
    if (text.size() > kMaxFolderTextLength) {
        RefuseFolder(text);
        return FALSE;
    }
    const std::wstring path = WithoutTrailingBackslash(text);
    if (::PathIsRelativeW(path.c_str()) || !CreateFolderLevels(path)) {
        RefuseFolder(path);
        return FALSE;
    }
    g_productConfiguration.m_strInstallFolder = path;
    return TRUE;
}

void CSettingPanel::OnClickBrowse()
{
    CString typed;
    m_edtInstallFolder.GetWindowText(typed);
    std::wstring startFolder;
    if (!typed.IsEmpty()) {
        wchar_t absolute[MAX_PATH + 1] = {};
        const DWORD length = ::GetFullPathNameW(typed, MAX_PATH + 1, absolute, nullptr);
        if (length > 0 && length <= MAX_PATH) {
            startFolder = BrowseStartFolder(
                absolute, [](const std::wstring& folder) { return ::PathFileExistsW(folder.c_str()) != FALSE; });
        }
    }

    const std::wstring title = LoadUiString(IDS_BROWSE_DEST_FOLDER);
    BROWSEINFOW browse{};
    browse.hwndOwner = m_hWnd;
    browse.lpszTitle = title.c_str();
    browse.ulFlags = BIF_RETURNONLYFSDIRS | BIF_EDITBOX | BIF_NEWDIALOGSTYLE;
    browse.lpfn = &BrowseCallback;
    browse.lParam = startFolder.empty() ? 0 : reinterpret_cast<LPARAM>(startFolder.c_str());
    PIDLIST_ABSOLUTE chosen = ::SHBrowseForFolderW(&browse);
    if (!chosen) return;
    wchar_t path[MAX_PATH] = {};
    if (::SHGetPathFromIDListW(chosen, path)) {
        g_productConfiguration.m_strInstallFolder = path;
        m_edtInstallFolder.SetWindowText(path);
    }
    ::CoTaskMemFree(chosen);
}
