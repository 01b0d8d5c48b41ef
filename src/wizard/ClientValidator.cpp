#include "config/UiStringsWin.h"
#include "wizard/ClientValidator.h"

#include <uxtheme.h>

#include "base/UserMessageBox.h"
#include "config/ProductConfiguration.h"
#include "config/RunSettings.h"
#include "config/UiStrings.h"
#include "install/ClientCheck.h"
#include "install/MessageText.h"
#include "install/ServerManifest.h"
#include "log/RunLog.h"
#include "ui/Direct2D.h"
#include "ui/Theme.h"
#include "wizard/CatchAll.h"
#include "wizard/RunOutcome.h"
#include "wizard/ShellLaunch.h"
#include "wizard/WizardScreen.h"

#include "resource.h"

using namespace korvex::config;
using namespace korvex::install;
using namespace korvex::wizard;

namespace {

constexpr DWORD kFirstCheckDelayMs = 200;
constexpr int kMarqueeStepMs = 10;
constexpr UINT_PTR kDrawingTimer = 1;
constexpr UINT kDrawingPollMs = 15;
constexpr UINT kDrawingWaitMs = 3000;

}  // namespace

BEGIN_MESSAGE_MAP(CClientValidator, CKorvexDialog)
ON_WM_ERASEBKGND()
ON_WM_CLOSE()
ON_WM_TIMER()
END_MESSAGE_MAP()

CClientValidator::CClientValidator() : CKorvexDialog(IDD_CLIENT_VALIDATOR) {}

CClientValidator::~CClientValidator()
{
    if (m_task.joinable()) m_task.join();
}

void CClientValidator::DoDataExchange(CDataExchange* dx)
{
    CKorvexDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_VALIDATOR_PROGRESS, m_progress);
}

BOOL CClientValidator::OnInitDialog()
{
    CKorvexDialog::OnInitDialog();
    SetProductIcon(*this);
    m_bShowCaption = 1;
    RedrawFrame();
    for (CaptionButton* button : {&m_btnClose, &m_btnMaximize, &m_btnMinimize}) button->disabled = 1;
    for (CaptionButton& button : m_buttons) button.disabled = 1;

    CRect client;
    GetClientRect(&client);
    LayoutClient(client);

    if (m_strTitle.empty()) m_strTitle = LoadUiString(IDS_PREPARING);
    SetWindowText(m_strTitle.c_str());
    // A visual style would paint a light track on the dark window; without
    // one the bar takes the theme's colours.
    ::SetWindowTheme(m_progress, L"", L"");
    ApplyTheme();
    m_progress.SendMessage(PBM_SETMARQUEE, TRUE, kMarqueeStepMs);

    m_bVerdictReady = false;
    m_task = std::thread(&CClientValidator::ValidatorTask, this);

    if (g_runSettings.m_bSilent) HideForSilentRun(*this);
    return TRUE;
}

void CClientValidator::ApplyTheme()
{
    m_progress.SendMessage(PBM_SETBKCOLOR, 0, clrProgressTrack);
    m_progress.SendMessage(PBM_SETBARCOLOR, 0, clrProgressFill);
    CKorvexDialog::ApplyTheme();
}

void CClientValidator::LayoutClient(const CRect& client)
{
    if (!m_progress.m_hWnd) return;
    CRect bar;
    m_progress.GetWindowRect(&bar);
    const UiRect centred = CenterInClient(ToUiRect(client), {bar.Width(), bar.Height()});
    MoveTo(m_progress, centred);
}

BOOL CClientValidator::OnEraseBkgnd(CDC* dc)
{
    CRect client;
    GetClientRect(&client);
    dc->FillSolidRect(&client, clrWindowBack);
    return 0;
}

BOOL CClientValidator::PreTranslateMessage(MSG* msg)
{
    // System keys too: Alt+F4 would otherwise close the window from the keyboard.
    if (msg->message == WM_KEYDOWN || msg->message == WM_SYSKEYDOWN) return TRUE;
    return CKorvexDialog::PreTranslateMessage(msg);
}

void CClientValidator::OnOK() {}

void CClientValidator::OnCancel() {}

void CClientValidator::OnClose()
{
    if (!m_bVerdictReady) return;
    const bool wizardFollows = m_outcome == Proceed;
    if (!m_drawingWaitStart) m_drawingWaitStart = ::GetTickCount();
    const bool waitedEnough = ::GetTickCount() - *m_drawingWaitStart >= kDrawingWaitMs;
    if (wizardFollows && !Direct2DWarmUpEnded() && !waitedEnough) {
        SetTimer(kDrawingTimer, kDrawingPollMs);
        return;
    }
    // The wizard draws on this thread; its first drawing is done here, unseen.
    if (wizardFollows && !g_runSettings.m_bSilent) WarmUpDirect2DHere();
    EndDialog(IDCANCEL);
}

void CClientValidator::OnTimer(UINT_PTR id)
{
    if (id != kDrawingTimer) {
        CKorvexDialog::OnTimer(id);
        return;
    }
    KillTimer(kDrawingTimer);
    OnClose();
}

void CClientValidator::ValidatorTask()
{
    ::Sleep(kFirstCheckDelayMs);
    // Whatever fails in the check (a failed allocation on a huge server
    // manifest, say) ends it as an unreachable server: the window must close.
    if (!RunCatchingAll([this] { ActOnVerdict(CheckClient()); })) {
        m_outcome = Stop;
        RunCatchingAll([this] { ActOnVerdict(CheckServerUnreachable); });
    }
    m_bVerdictReady = true;
    ::PostMessageW(m_hWnd, WM_CLOSE, 0, 0);
}

void CClientValidator::ActOnVerdict(int verdict)
{
    const std::wstring shortName = g_productConfiguration.m_manifest.m_strShortName;
    LogEvent(L"Client check: " + std::wstring(ClientCheckResultName(verdict)));
    switch (verdict) {
        case CheckServerUnreachable: {
            ::ShowWindow(m_hWnd, SW_HIDE);
            const std::wstring text = LoadUiString(IDS_ERR_CONNECT_DOWNLOAD_SERVER);
            UserMessageBox(m_hWnd, text.c_str(), shortName.c_str(), MB_ICONERROR);
            m_outcome = Stop;
            RecordRunOutcome(RunOutcome::ServerUnreachable);
            break;
        }
        case CheckProductInstalled: {
            ::ShowWindow(m_hWnd, SW_HIDE);
            const std::wstring text = FillMessageText(LoadUiString(IDS_ERR_INSTALLED_ALREADY), shortName);
            const int answer = UserMessageBox(m_hWnd, text.c_str(), shortName.c_str(), MB_YESNO | MB_ICONERROR);
            m_outcome = Stop;
            RecordRunOutcome(RunOutcome::AlreadyCurrent);
            if (answer == IDYES) LaunchUnelevatedIfPresent(GetInstalledExecutablePath());
            break;
        }
        case CheckClientOutdated:
            // A client that fails its signature check counts as a failed download.
            if (DownloadNewClient(m_newClientPath) && VerifyNewClient(m_newClientPath, m_newClientFile)) {
                m_outcome = RunNewClient;
                RecordRunOutcome(RunOutcome::HandedToNewClient);
            }
            break;
        default:
            break;
    }
}
