#pragma once
// The single-line text field: flat and dark with a one-pixel border that
// lights up while focused, its text centred vertically by its own
// non-client area, the whole text selected by the first click, and the
// clipboard shortcuts handled here. The border lights up for the keyboard
// focus too, unless the window's UI state hides focus cues. Two numeric modes add a character
// filter and arrow-key stepping; the folder field runs in free-text mode.
#include "mfc/AfxWin.h"

// WPARAM: the edit's HWND; posted to the parent on Enter in a numeric mode.
constexpr UINT WM_EDIT_ENTER = WM_USER + 222;

class CKorvexEdit : public CEdit {
public:
    CKorvexEdit();

    void PreSubclassWindow() override;
    BOOL PreTranslateMessage(MSG* msg) override;

    COLORREF m_clrBorder;
    COLORREF m_clrBorderFocus;
    COLORREF m_clrBack;
    COLORREF m_clrText;
    int m_bFocused = 0;
    int m_bGroupThousands = 0;
    int m_bAllowNegative = 0;
    int m_nMode = 0;  // 0 integer, 1 decimal, 2 free text
    int m_bTouched = 0;
    CString m_strAtClick;
    CBrush m_brBack;
    int m_nMin = 0;
    int m_nMax = 0;
    double m_dMin = 0;
    double m_dMax = 0;
    int m_bUseMin = 1;
    int m_bUseMax = 1;
    int m_nDecimals = 1;
    int m_bAllowPaste = 1;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnNcCalcSize(BOOL calcValidRects, NCCALCSIZE_PARAMS* params);
    void OnNcPaint();
    HBRUSH CtlColor(CDC* dc, UINT ctlColor);
    void OnEnable(BOOL enable);
    BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message);
    void OnLButtonDown(UINT flags, CPoint point);
    void OnLButtonUp(UINT flags, CPoint point);
    void OnSetFocus(CWnd* oldWnd);
    void OnKillFocus(CWnd* newWnd);
    LRESULT OnUpdateUiState(WPARAM wParam, LPARAM lParam);
    void OnChar(UINT ch, UINT repeat, UINT flags);
    LRESULT OnContextMenuRequest(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    bool IsWritable() const;
    // The border lives in the non-client area, so focus changes repaint it too.
    void RedrawWithFrame();
    bool HandleShortcut(const MSG& msg);
    bool HandleNumericKey(const MSG& msg);
    void Step(bool up);
    int VerticalPadding(int height) const;
};
