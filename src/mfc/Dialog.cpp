#include "mfc/Dialog.h"

#include <windows.h>
#include <commctrl.h>

#include "mfc/ThreadState.h"

namespace {

// Dialog templates may name common controls; register them once, as the
// framework does before the first dialog.
void RegisterCommonControls()
{
    static const bool registered = [] {
        INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
        return ::InitCommonControlsEx(&controls) != FALSE;
    }();
    (void)registered;
}

// Every message reaches the object through its subclass procedure first, so
// the dialog procedure itself has nothing left to do.
INT_PTR CALLBACK AfxDlgProc(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}

}  // namespace

void DDX_Control(CDataExchange* dx, int id, CWnd& control)
{
    if (control.m_hWnd) return;
    control.SubclassDlgItem(static_cast<UINT>(id), dx->m_pDlgWnd);
}

void DDX_Text(CDataExchange* dx, int id, CString& value)
{
    HWND control = ::GetDlgItem(dx->m_pDlgWnd->m_hWnd, id);
    if (!control) return;
    if (dx->m_bSaveAndValidate) {
        int length = ::GetWindowTextLengthW(control);
        ::GetWindowTextW(control, value.GetBuffer(length + 1), length + 1);
        value.ReleaseBuffer();
    } else {
        ::SetWindowTextW(control, value);
    }
}

BEGIN_MESSAGE_MAP(CDialog, CWnd)
ON_COMMAND(IDOK, OnOK)
ON_COMMAND(IDCANCEL, OnCancel)
END_MESSAGE_MAP()

BOOL CDialog::CreateFromTemplate(HWND parent)
{
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    HRSRC resource = ::FindResourceW(instance, MAKEINTRESOURCEW(m_nIDHelp), MAKEINTRESOURCEW(5));
    HGLOBAL loaded = resource ? ::LoadResource(instance, resource) : nullptr;
    auto dialogTemplate = loaded ? static_cast<LPCDLGTEMPLATEW>(::LockResource(loaded)) : nullptr;
    if (!dialogTemplate) return FALSE;
    RegisterCommonControls();
    AfxHookWindowCreate(this);
    HWND hwnd = ::CreateDialogIndirectParamW(instance, dialogTemplate, parent, &AfxDlgProc, 0);
    AfxUnhookWindowCreate();
    return hwnd != nullptr && m_hWnd == hwnd;
}

BOOL CDialog::Create(UINT templateId, CWnd* parent)
{
    m_nIDHelp = templateId;
    m_pParentWnd = parent;
    return CreateFromTemplate(parent ? parent->m_hWnd : nullptr);
}

INT_PTR CDialog::DoModal()
{
    HWND owner = m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr;
    bool ownerDisabled = owner && ::IsWindowEnabled(owner) && ::EnableWindow(owner, FALSE) == FALSE;
    m_nModalResult = -1;
    m_nLastShowCommand = -1;
    m_bContinueModal = true;
    if (CreateFromTemplate(owner)) {
        RunModalLoop();
        if (m_hWnd) {
            ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                           SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
        }
    } else {
        m_nModalResult = -1;
    }
    m_bContinueModal = false;
    // Give the activation back before the window goes, or it lands elsewhere.
    if (ownerDisabled) ::EnableWindow(owner, TRUE);
    if (owner && ::GetActiveWindow() == m_hWnd) ::SetActiveWindow(owner);
    DestroyWindow();
    return m_nModalResult;
}

int CDialog::RunModalLoop()
{
    bool showWhenIdle = (GetStyle() & WS_VISIBLE) == 0 && m_nLastShowCommand != SW_HIDE;
    MSG msg;
    while (m_hWnd && m_bContinueModal) {
        if (!::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            if (showWhenIdle && m_nLastShowCommand != SW_HIDE) {
                ShowWindow(SW_SHOWNORMAL);
                UpdateWindow();
            }
            showWhenIdle = false;
            AfxDeleteTempObjects();
        }
        if (!::GetMessageW(&msg, nullptr, 0, 0)) {
            // WM_QUIT belongs to the outer loop.
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (!AfxWalkPreTranslateTree(m_hWnd, &msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
    return m_nModalResult;
}

void CDialog::EndDialog(int result)
{
    if (!m_hWnd) return;
    if (m_bContinueModal) {
        m_nModalResult = result;
        m_bContinueModal = false;
        PostMessage(WM_NULL);
    } else {
        ::EndDialog(m_hWnd, result);
    }
}

LRESULT CDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) return OnInitDialog();
    return CWnd::WindowProc(message, wParam, lParam);
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK()
{
    if (UpdateData(TRUE)) EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

void CDialog::DoDataExchange(CDataExchange*) {}

BOOL CDialog::UpdateData(BOOL saveAndValidate)
{
    CDataExchange dx(this, saveAndValidate);
    DoDataExchange(&dx);
    return TRUE;
}

BOOL CDialog::PreTranslateMessage(MSG* msg)
{
    bool keyboard = msg->message >= WM_KEYFIRST && msg->message <= WM_KEYLAST;
    bool mouse = msg->message >= WM_MOUSEFIRST && msg->message <= WM_MOUSELAST;
    if (!keyboard && !mouse) return FALSE;
    return ::IsDialogMessageW(m_hWnd, msg);
}

BEGIN_MESSAGE_MAP(CDialogEx, CDialog)
ON_WM_ERASEBKGND()
ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

void CDialogEx::SetBackgroundColor(COLORREF color, BOOL repaint)
{
    m_brBack.DeleteObject();
    m_brBack.CreateSolidBrush(color);
    if (repaint && m_hWnd) Invalidate();
}

BOOL CDialogEx::OnEraseBkgnd(CDC* dc)
{
    if (!m_brBack.m_hObject) return CWnd::OnEraseBkgnd(dc);
    CRect client;
    GetClientRect(client);
    dc->FillRect(client, &m_brBack);
    return TRUE;
}

HBRUSH CDialogEx::OnCtlColor(CDC* dc, CWnd* wnd, UINT ctlColor)
{
    LRESULT childBrush = 0;
    if (wnd && ReflectLastMsg(wnd->m_hWnd, &childBrush)) return reinterpret_cast<HBRUSH>(childBrush);
    if (m_brBack.m_hObject && (ctlColor == CTLCOLOR_DLG || ctlColor == CTLCOLOR_STATIC)) {
        dc->SetBkMode(TRANSPARENT);
        return m_brBack;
    }
    return reinterpret_cast<HBRUSH>(Default());
}
