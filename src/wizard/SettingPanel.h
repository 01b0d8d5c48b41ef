#pragma once
// The first wizard page: product icon and name, the Install button, the
// licence consent with its link, and a foldable section with the
// installation folder and a folder browser. Install validates the folder,
// creating it level by level when needed, stores it and moves on.

#include "ui/KorvexButton.h"
#include "ui/KorvexEdit.h"
#include "ui/KorvexStatic.h"
#include "ui/KorvexTextButton.h"
#include "wizard/GuidePanel.h"

class CSettingPanel : public CGuidePanel {
public:
    CSettingPanel();

    BOOL OnInitDialog() override;
    void ApplyTheme() override;
    // Enter presses the focused push button and installs anywhere else.
    int EnterCommandFor(int focusedId) override;
    void DrawBackground(CDC& dc) override;
    void LayoutControls(const CRect& client) override;
    CSize GetPageSize() override;
    void OnPageShown() override;
    void ReloadTexts() override;
    BOOL CanClose() override;

    // Checks the folder text, creates the folder when needed and stores it;
    // tells the user and restores the stored folder when it cannot.
    BOOL ValidateInstallFolder();

    CKorvexTextButton m_btnInstall;
    CKorvexButton m_chkAcceptTerms;
    CKorvexStatic m_lblAcceptTerms;
    CKorvexStatic m_lnkLicenseTerms;
    CKorvexStatic m_lblInstallSettings;
    CKorvexButton m_btnExpander;
    CKorvexStatic m_lblInstallFolder;
    CKorvexEdit m_edtInstallFolder;
    CKorvexButton m_btnBrowse;

    POINT m_ptSeparator{0, 0};
    int m_bSettingsFolded = 0;
    int m_bTermsAccepted = 1;

protected:
    void DoDataExchange(CDataExchange* dx) override;

    void OnClickInstall();
    void OnClickAcceptTerms();
    void OnClickExpander();
    void OnClickLicenseTerms();
    void OnClickBrowse();
    DECLARE_MESSAGE_MAP()

private:
    void UpdateTermsState();
    void UpdateExpander();
    void NameControls();
    bool CreateFolderLevels(const std::wstring& path);
    void RefuseFolder(const std::wstring& path);
};
