#pragma once
// The finish page: the product icon, "<product> is ready" and Start Now,
// which starts the installed product with the user's ordinary rights and
// ends the run. Leaving the page in any way opens the product's home page
// once, after a first installation that reported one.

#include "ui/KorvexTextButton.h"
#include "wizard/GuidePanel.h"

class CSuccessPanel : public CGuidePanel {
public:
    static constexpr UINT_PTR kLaunchTimer = 1125;
    static constexpr UINT kLaunchDelayMs = 500;

    CSuccessPanel();

    BOOL OnInitDialog() override;
    void DrawBackground(CDC& dc) override;
    void LayoutControls(const CRect& client) override;
    void OnPageShown() override;
    void ReloadTexts() override;
    BOOL CanClose() override;
    void ApplyTheme() override;
    // Enter is Start Now wherever the focus is.
    int EnterCommandFor(int focusedId) override;

    BOOL OpenHomePage();

    CKorvexTextButton m_btnStart;
    int m_bHomePageOpened = 0;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    void OnClickStart();
    void OnTimer(UINT_PTR id);
    DECLARE_MESSAGE_MAP()
};
