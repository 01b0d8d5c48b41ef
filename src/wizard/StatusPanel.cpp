#include "config/SlideImagesWin.h"
#include "config/UiStringsWin.h"
#include "wizard/StatusPanel.h"

#include "base/UserMessageBox.h"
#include "base/WinHandles.h"
#include "config/ProductConfiguration.h"
#include "config/RunSettings.h"
#include "config/SlideImages.h"
#include "config/UiStrings.h"
#include "download/HttpClient.h"
#include "ui/ImageWrapper.h"
#include "ui/Theme.h"
#include "wizard/ProgressDisplay.h"
#include "wizard/RunOutcome.h"
#include "wizard/ShellLaunch.h"
#include "wizard/WizardScreen.h"

#include "resource.h"

using namespace korvex::config;
using namespace korvex::install;
using namespace korvex::wizard;

namespace {

constexpr UINT kFormatText = DT_WORDBREAK;
constexpr UINT kFormatPercent = DT_WORDBREAK | DT_RIGHT;

void StyleLabel(CKorvexStatic& label, UINT format)
{
    label.m_pFont = fontBody;
    label.m_clrBack = clrWindowBack;
    label.m_clrText = clrCaptionText;
    label.m_clrTextHighlight = clrCaptionText;
    label.m_nFormat = format;
}

std::wstring LoadText(const UiString& text)
{
    return LoadUiString(text);
}

}  // namespace

const std::vector<RunningApplicationMarker>& RunningApplicationMarkers()
{
    // No application of the maker is known to create a marker yet.
    static const std::vector<RunningApplicationMarker> markers = {
        {L"TODO", L"TODO"},
        {L"TODO", L"TODO"},
    };
    return markers;
}

BEGIN_MESSAGE_MAP(CStatusPanel, CGuidePanel)
ON_WM_TIMER()
ON_MESSAGE(WM_SLIDESHOW_CLICK, OnSlideShowClick)
END_MESSAGE_MAP()

CStatusPanel::CStatusPanel() : CGuidePanel(IDD_STATUS_PANEL) {}

void CStatusPanel::DoDataExchange(CDataExchange* dx)
{
    CGuidePanel::DoDataExchange(dx);
    DDX_Control(dx, IDC_LBL_STATUS, m_lblStatus);
    DDX_Control(dx, IDC_LBL_TIME, m_lblTime);
    DDX_Control(dx, IDC_LBL_PERCENT, m_lblPercent);
}

BOOL CStatusPanel::OnInitDialog()
{
    CDialog::OnInitDialog();
    DropTemplateFrame();

    if (m_slideShow.Create(this, IDC_SLIDE_SHOW, CRect(0, 0, 0, 0))) m_slideShow.ShowWindow(SW_SHOW);
    SetLabelText(m_lblStatus, LoadUiString(IDS_STATUS_INIT));
    SetLabelText(m_lblTime, LoadUiString(IDS_CALC_TIME_REMAINING));
    SetLabelText(m_lblPercent, std::wstring());

    if (m_progress.Create(this, IDC_PROGRESS_BAR, CRect(0, 0, 0, 0))) {
        m_progress.m_nPos = 0;
        m_progress.m_nRange = 1000;
        m_progress.ShowWindow(SW_SHOW);
    }
    ApplyTheme();
    return FALSE;
}

void CStatusPanel::ApplyTheme()
{
    m_slideShow.m_clrBack = clrWindowBack;
    StyleLabel(m_lblStatus, kFormatText);
    StyleLabel(m_lblTime, kFormatText);
    StyleLabel(m_lblPercent, kFormatPercent);
    m_progress.m_clrBack = clrWindowBack;
    m_progress.m_clrTrack = clrProgressTrack;
    m_progress.m_clrTrackBorder = clrProgressTrackBorder;
    m_progress.m_clrFill = clrProgressFill;
}

void CStatusPanel::LayoutControls(const CRect& client)
{
    if (!m_slideShow.m_hWnd || !m_progress.m_hWnd) return;
    const DpiScale scale = ScreenScale();
    const StatusLayout layout = LayoutStatusPage(scale, ToUiRect(client));
    MoveTo(m_slideShow, layout.slideShow);
    MoveTo(m_lblStatus, layout.status);
    MoveTo(m_lblTime, layout.time);
    MoveTo(m_lblPercent, layout.percent);
    MoveTo(m_progress, layout.progress);
    m_progress.m_rcTrack = RECT{0, 0, layout.progress.Width(), scale.Y(8)};
}

void CStatusPanel::ReloadTexts()
{
    SetLabelText(m_lblStatus, LoadUiString(IDS_STATUS_INIT));
    SetLabelText(m_lblTime, LoadUiString(IDS_CALC_TIME_REMAINING));
    m_slideShow.m_slides.clear();
    for (const std::wstring& path : GetSlideImages()) {
        std::unique_ptr<CImageWrapper> image = LoadImageFile(path.c_str());
        if (image && image->bitmap) m_slideShow.m_slides.emplace_back(std::move(*image));
    }
    for (const std::string_view bytes : GetEmbeddedSlideImages()) {
        std::unique_ptr<CImageWrapper> image = LoadImageBytes(bytes);
        if (image->bitmap) m_slideShow.m_slides.emplace_back(std::move(*image));
    }
    if (m_slideShow.m_hWnd) m_slideShow.Invalidate();
}

void CStatusPanel::OnPageShown()
{
    ReloadTexts();
    SetTimer(kStartTimer, kStartDelayMs);
}

void CStatusPanel::OnTimer(UINT_PTR id)
{
    if (id == kStartTimer) {
        KillTimer(kStartTimer);
        StartInstallation();
    } else if (id == kRefreshTimer) {
        KillTimer(kRefreshTimer);
        if (RefreshProgress()) SetTimer(kRefreshTimer, kRefreshMs);
    } else {
        CGuidePanel::OnTimer(id);
    }
}

void CStatusPanel::StartInstallation()
{
    // A cancel confirmed before anything started ends the run here.
    if (m_bCancelRequested ||
        !CheckRunningApplications(g_productConfiguration.m_manifest.m_strFullName, RunningApplicationMarkers())) {
        RecordRunOutcome(RunOutcome::UserCancelled);
        if (CWnd* main = GetParent()) main->DestroyWindow();
        return;
    }
    CWnd* main = GetParent();
    m_worker.SetOwnerWindow(main ? main->m_hWnd : nullptr);
    m_worker.BuildPlan();
    OpenInternetSession();
    m_worker.Start();
    SetTimer(kRefreshTimer, kRefreshMs);
}

BOOL CStatusPanel::CheckRunningApplications(const std::wstring& caption,
                                            const std::vector<RunningApplicationMarker>& markers)
{
    for (;;) {
        std::wstring running;
        for (const RunningApplicationMarker& entry : markers) {
            if (const KernelHandle marker(::OpenSemaphoreW(SYNCHRONIZE, FALSE, entry.marker)); marker) {
                running += entry.displayName;
                running += L"\r\n";
            }
        }
        if (running.empty()) return TRUE;
        const std::wstring text = LoadUiString(IDS_CLOSE_RUNNING_APPS) + L"\n\n" + running;
        if (UserMessageBox(m_hWnd, text.c_str(), caption.c_str(), MB_ICONWARNING | MB_RETRYCANCEL) != IDRETRY) {
            return FALSE;
        }
    }
}

BOOL CStatusPanel::RefreshProgress()
{
    InstallProgress& progress = m_worker.Progress();
    DisplayInput input;
    input.phase = progress.Phase();
    input.percent = progress.OverallPercent();
    input.hasDownloads = !progress.DownloadWeights().empty();
    input.startTick = progress.m_nStartTick.load();
    input.now = ::GetTickCount();
    const DisplayRecord record = ComputeDisplayRecord(input);
    progress.m_nStartTick.store(record.startTick);

    m_progress.m_nPos = record.barPosition;
    m_progress.Invalidate();
    m_progress.UpdateWindow();
    SetLabelText(m_lblPercent, record.percentText);
    SetLabelText(m_lblStatus, LoadUiString(*record.phaseText));
    m_lblStatus.UpdateWindow();
    SetLabelText(m_lblTime, TimeTextOf(record, &LoadText));
    m_lblTime.UpdateWindow();

    if (!IsEndPhase(input.phase)) return TRUE;
    RecordEndOfRun(input.phase);
    // A run that finished after the user confirmed the cancel still closes:
    // no finish page, no product start.
    const bool finished = input.phase == InstallPhase::Finished && !m_bCancelRequested;
    if (finished && g_runSettings.m_bLaunchProduct) LaunchInstalledProduct();
    if (finished && !g_runSettings.m_bLaunchProduct && !g_runSettings.m_bSilent) {
        GoNext();
    } else if (CWnd* main = GetParent()) {
        main->DestroyWindow();
    }
    return FALSE;
}

void CStatusPanel::RecordEndOfRun(InstallPhase phase)
{
    RecordRunOutcome(OutcomeOfPhase(phase, m_worker.RestartRequired()));
}

BOOL CStatusPanel::CanClose()
{
    if (m_bCancelRequested) return FALSE;
    // The window may close between the worker's end and the next refresh.
    if (IsEndPhase(m_worker.Progress().Phase())) {
        RecordEndOfRun(m_worker.Progress().Phase());
        return TRUE;
    }
    m_worker.HoldTransfers();
    const std::wstring text = LoadUiString(IDS_MESSAGE_CANCELNOTICE);
    const int answer = UserMessageBox(m_hWnd, text.c_str(), g_productConfiguration.m_manifest.m_strShortName.c_str(),
                                      MB_YESNO | MB_ICONEXCLAMATION);
    if (answer != IDYES) {
        m_worker.ResumeTransfers();
        return FALSE;
    }
    const InstallPhase phase = m_worker.Progress().Phase();
    if (IsEndPhase(phase)) {
        // The worker ended while the question was open; its end stands.
        m_worker.ResumeTransfers();
        RecordEndOfRun(phase);
        return TRUE;
    }
    m_bCancelRequested = 1;
    m_worker.Cancel();
    return FALSE;
}

LRESULT CStatusPanel::OnSlideShowClick(WPARAM, LPARAM)
{
    OpenWebAddress(LoadLink(IDS_RLINK_SLIDE_SHOW));
    return 0;
}
