#pragma once
// The progress page. Three seconds after it is first shown it checks for
// running applications, has the worker plan the installation and starts it
// on a background task; then it reads the shared progress record once a
// second and shows phase, time remaining, percentage and bar under a slide
// show. At an end phase it moves to the finish page, starts the product, or
// ends the run. Closing the window during the run asks the cancel question
// while the transfers hold still.

#include <string>
#include <vector>

#include "install/InstallWorker.h"
#include "ui/KorvexProgress.h"
#include "ui/KorvexSliderShowCtrl.h"
#include "ui/KorvexStatic.h"
#include "wizard/GuidePanel.h"

// A running application the installation must not overwrite: it holds a
// semaphore named marker.
struct RunningApplicationMarker {
    const wchar_t* marker;
    const wchar_t* displayName;
};

class CStatusPanel : public CGuidePanel {
public:
    static constexpr UINT_PTR kStartTimer = 1125;
    static constexpr UINT kStartDelayMs = 3000;
    static constexpr UINT_PTR kRefreshTimer = 1124;
    static constexpr UINT kRefreshMs = 1000;

    CStatusPanel();

    BOOL OnInitDialog() override;
    void LayoutControls(const CRect& client) override;
    void OnPageShown() override;
    void ReloadTexts() override;
    BOOL CanClose() override;
    void ApplyTheme() override;

    // Shows the current progress; FALSE once the run has ended here.
    BOOL RefreshProgress();
    // Asks the user to close the applications found running, until none is
    // left (TRUE) or the user gives up (FALSE).
    BOOL CheckRunningApplications(const std::wstring& caption, const std::vector<RunningApplicationMarker>& markers);

    CKorvexSliderShowCtrl m_slideShow;
    CKorvexStatic m_lblStatus;
    CKorvexStatic m_lblTime;
    CKorvexStatic m_lblPercent;
    CKorvexProgress m_progress;
    InstallWorker m_worker;
    int m_bCancelRequested = 0;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    void OnTimer(UINT_PTR id);
    LRESULT OnSlideShowClick(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    void StartInstallation();
    // Records how the worker's end phase ends the run, for the exit code.
    void RecordEndOfRun(korvex::install::InstallPhase phase);
};

// The applications the installer asks the user to close.
const std::vector<RunningApplicationMarker>& RunningApplicationMarkers();
