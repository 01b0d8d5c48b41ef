#pragma once
// The installer's main window: a skinned dialog that owns the three wizard
// pages, shows one at a time, sizes itself to the page on show, and lets that
// page decide whether a close request is honoured. Start-up runs it modally;
// the run ends when this window ends.

#include <memory>
#include <unordered_map>

#include "ui/KorvexDialog.h"
#include "wizard/GuidePanel.h"

// Page keys of m_pages.
enum GuidePageKey : int {
    kSettingPage = 0,
    kStatusPage = 1,
    kSuccessPage = 2,
};

class CInstallGuide : public CKorvexDialog {
public:
    CInstallGuide();
    ~CInstallGuide() override;

    BOOL OnInitDialog() override;
    void LayoutClient(const CRect& client) override;
    // The frame's, then every page's.
    void ApplyTheme() override;

    // False when there is no page under key.
    bool ShowPage(int key);
    void FitToPage();
    // The page on show, or null.
    CGuidePanel* CurrentPage() const;

    std::unordered_map<int, std::shared_ptr<CGuidePanel>> m_pages;
    int m_currentPage = 0;

protected:
    // Enter and Escape that reach the window itself must not end the run
    // behind the pages' backs: only a close the page on show allows does.
    void OnOK() override;
    void OnCancel() override;
    void OnClose();
    DECLARE_MESSAGE_MAP()
};
