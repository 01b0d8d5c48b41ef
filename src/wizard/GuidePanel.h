#pragma once
// The common base of the wizard's pages: a borderless child dialog that
// fills the main window's client area. Its whole look is composed off-screen
// in one pass (theme background, the word mark top right, then the page's
// own drawing) and copied in one blit, so a page never flickers. Enter and
// Escape never end a page: Enter presses what EnterCommandFor names, Escape
// does what the caption's close button does. The main window talks to its
// pages only through the hooks below.

#include "mfc/AfxWin.h"

class CGuidePanel : public CDialog {
public:
    explicit CGuidePanel(UINT templateId) : CDialog(templateId) {}

    // Draws the page's own content on the off-screen background.
    virtual void DrawBackground(CDC& dc);
    virtual void LayoutControls(const CRect& client);
    // The main window's outer size while this page is on show.
    virtual CSize GetPageSize();
    // Each time the page becomes the one on show, before it is visible.
    virtual void OnPageShown();
    virtual void ReloadTexts();
    // Asked when the user closes the main window on this page.
    virtual BOOL CanClose();
    // Takes the palette's colours into every control, after a change of the
    // high-contrast mode or the system colours too.
    virtual void ApplyTheme();
    // The control Enter clicks while focusedId has the focus; 0 for none.
    virtual int EnterCommandFor(int focusedId);

    // Shows the page after this one, when the parent is the main installer
    // window and has one.
    void GoNext();
    // Measures text on the page's screen DC; a measured width replaces the
    // preset width and the height never drops below the preset height.
    void MeasureText(const CString& text, CFont* font, CSize& size);

    BOOL OnInitDialog() override;
    BOOL PreTranslateMessage(MSG* msg) override;
    void OnOK() override;
    void OnCancel() override;

protected:
    // The page templates carry a caption and a modal frame; a page is a
    // plain child area.
    void DropTemplateFrame();
    // Posts the click of control id (BN_CLICKED), as a mouse click does.
    void PostControlClick(int id);

    BOOL OnEraseBkgnd(CDC* dc);
    void OnSize(UINT type, int cx, int cy);
    DECLARE_MESSAGE_MAP()
};
