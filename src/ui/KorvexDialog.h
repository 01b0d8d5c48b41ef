#pragma once
// The skinned top-level window: a flat dark caption strip with the window
// icon, the title and the toolkit's own caption buttons, and a one-pixel
// border. The non-client area is computed and painted here (off-screen, in
// one blit); mouse input over the caption buttons becomes system commands.
// Derived windows supply the template, their client content and a layout
// hook. When the high-contrast mode or the system colours change, the
// window takes the theme's new palette (ApplyTheme) and repaints.
#include <vector>

#include "mfc/AfxWin.h"

struct CaptionButton {
    CWnd* owner = nullptr;
    int id = 0;                // 0 close, 1 maximise, 2 restore, 3 minimise: the index in m_buttons
    HBITMAP bitmap = nullptr;  // borrowed from the image cache
    int imageWidth = 0;
    int imageHeight = 0;
    int frameCount = 0;
    int framesHorizontal = 1;
    COLORREF clrNormal = 0;
    COLORREF clrHover = 0;
    COLORREF clrPressed = 0;
    CString name;
    int visible = 0;
    RECT rcButton{};  // window coordinates
    RECT rcGlyph{};
    int hover = 0;
    int pressed = 0;
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    int highlighted = 0;
    int disabled = 0;  // drawn, but passed over by the hit test
};

class CKorvexDialog : public CDialogEx {
public:
    explicit CKorvexDialog(UINT templateId);
    ~CKorvexDialog() override;

    // Called after every resize with the new client rectangle.
    virtual void LayoutClient(const CRect& client);

    // Paints the whole non-client area now.
    void RedrawFrame();
    // Gives the frame, and in derived windows every control, the colours and
    // pictures of the current palette, then repaints everything.
    virtual void ApplyTheme();

    BOOL OnInitDialog() override;

    CFont m_fontCaption;
    CaptionButton m_btnClose;
    CaptionButton m_btnMaximize;
    CaptionButton m_btnRestore;
    CaptionButton m_btnMinimize;
    int m_bLayoutPending = 0;
    int m_bTrackingNc = 0;
    int m_bNcPressed = 0;
    std::vector<CaptionButton> m_buttons;
    int m_bShowCaption = 0;

protected:
    BOOL OnNcCreate(LPCREATESTRUCTW cs);
    void OnNcCalcSize(BOOL calcValidRects, NCCALCSIZE_PARAMS* params);
    void OnNcPaint();
    BOOL OnNcActivate(BOOL active);
    void OnNcMouseMove(UINT hitTest, CPoint point);
    void OnNcMouseLeave();
    void OnNcMouseHover(UINT hitTest, CPoint point);
    void OnNcLButtonDown(UINT hitTest, CPoint point);
    void OnNcLButtonUp(UINT hitTest, CPoint point);
    void OnNcLButtonDblClk(UINT hitTest, CPoint point);
    void OnSize(UINT type, int cx, int cy);
    BOOL OnEraseBkgnd(CDC* dc);
    LRESULT OnSettingChange(WPARAM wParam, LPARAM lParam);
    LRESULT OnSysColorChange(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    void PrepareCaptionButtons(DWORD style);
    void ThemeCaptionButton(CaptionButton& button) const;
    void LayoutButtons(const CRect& frame);
    void DrawButton(CDC& dc, const CaptionButton& button, const CRect& caption);
    void DrawTitle(CDC& dc, CRect caption);
    // Index of the enabled, visible button under a window-relative point, or -1.
    int HitTestButtons(CPoint windowPoint) const;
    void ResetButtons();
    CPoint ToWindowPoint(CPoint screenPoint) const;
};
