#pragma once
// Dialogs from resource templates. A modal dialog is created modeless with
// its owner disabled and runs the framework's own loop (RunModalLoop), so
// every queued message first passes PreTranslateMessage from its target
// window up to the dialog (a dialog's PreTranslateMessage is where
// IsDialogMessage runs) before it is dispatched. EndDialog ends the loop
// after the current message; destroying the window ends it too. The loop
// shows the dialog when the queue first runs empty, unless the dialog hid
// itself while it initialised.

#include "mfc/Wnd.h"

class CDataExchange {
public:
    CDataExchange(CWnd* dialog, BOOL saveAndValidate) : m_bSaveAndValidate(saveAndValidate), m_pDlgWnd(dialog) {}
    BOOL m_bSaveAndValidate;
    CWnd* m_pDlgWnd;
};

// Subclasses the template control id with control, once.
void DDX_Control(CDataExchange* dx, int id, CWnd& control);
void DDX_Text(CDataExchange* dx, int id, CString& value);

class CDialog : public CWnd {
public:
    CDialog() = default;
    explicit CDialog(UINT templateId, CWnd* parent = nullptr) : m_nIDHelp(templateId), m_pParentWnd(parent) {}

    virtual INT_PTR DoModal();
    // A modeless dialog, typically a child area of parent.
    virtual BOOL Create(UINT templateId, CWnd* parent = nullptr);
    void EndDialog(int result);

    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    virtual void DoDataExchange(CDataExchange* dx);
    BOOL UpdateData(BOOL saveAndValidate = TRUE);
    BOOL PreTranslateMessage(MSG* msg) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    UINT m_nIDHelp = 0;

protected:
    BOOL CreateFromTemplate(HWND parent);
    int RunModalLoop();

    CWnd* m_pParentWnd = nullptr;
    int m_nModalResult = -1;
    bool m_bContinueModal = false;

    DECLARE_MESSAGE_MAP()
};

class CDialogEx : public CDialog {
public:
    CDialogEx() = default;
    explicit CDialogEx(UINT templateId, CWnd* parent = nullptr) : CDialog(templateId, parent) {}

    void SetBackgroundColor(COLORREF color, BOOL repaint = TRUE);
    BOOL OnEraseBkgnd(CDC* dc);
    HBRUSH OnCtlColor(CDC* dc, CWnd* wnd, UINT ctlColor);

protected:
    CBrush m_brBack;

    DECLARE_MESSAGE_MAP()
};
