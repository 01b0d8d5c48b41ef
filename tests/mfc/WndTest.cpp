#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "mfc/AfxWin.h"
#include "mfc/TestDialogs.h"
#include "mfc/ThreadState.h"

namespace {

constexpr UINT WM_TEST_RUN = WM_APP + 20;
constexpr UINT_PTR kWatchdogTimer = 77;

// A dialog that runs one test step on the loop, then ends with 1; a
// watchdog ends it with -2.
class CStepDialog : public CDialog {
public:
    CStepDialog() : CDialog(IDD_TEST_DIALOG) {}
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        SetTimer(kWatchdogTimer, 5000);
        PostMessage(WM_TEST_RUN);
        return TRUE;
    }
    virtual void RunStep() {}
    void OnTimer(UINT_PTR) { EndDialog(-2); }
    LRESULT OnRun(WPARAM, LPARAM)
    {
        RunStep();
        EndDialog(1);
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CStepDialog, CDialog)
ON_WM_TIMER()
ON_MESSAGE(WM_TEST_RUN, OnRun)
END_MESSAGE_MAP()

class CCountingButton : public CButton {
public:
    void PreSubclassWindow() override
    {
        m_hWndAtPreSubclass = m_hWnd;
        m_procAtPreSubclass = reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(m_hWnd, GWLP_WNDPROC));
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_SETTEXT) m_texts.push_back(reinterpret_cast<const wchar_t*>(lParam));
        return CButton::WindowProc(message, wParam, lParam);
    }
    HWND m_hWndAtPreSubclass = nullptr;
    WNDPROC m_procAtPreSubclass = nullptr;
    std::vector<std::wstring> m_texts;
};

class CSubclassDialog : public CStepDialog {
public:
    void DoDataExchange(CDataExchange* dx) override { DDX_Control(dx, IDC_TEST_BUTTON, m_button); }
    void RunStep() override
    {
        m_hwndItem = ::GetDlgItem(m_hWnd, IDC_TEST_BUTTON);
        m_bSameObject = GetDlgItem(IDC_TEST_BUTTON) == &m_button;
        m_procWhileSubclassed = reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(m_hwndItem, GWLP_WNDPROC));
        ::SetWindowTextW(m_hwndItem, L"Renamed");
        wchar_t text[32] = {};
        ::GetWindowTextW(m_hwndItem, text, 32);
        m_textAfter = text;

        // Letting go puts the control's own procedure back.
        HWND released = m_button.UnsubclassWindow();
        m_bReleasedSame = released == m_hwndItem;
        m_procAfterUnsubclass = reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(m_hwndItem, GWLP_WNDPROC));
        m_bMappedAfter = CWnd::FromHandlePermanent(m_hwndItem) != nullptr;
    }
    CCountingButton m_button;
    HWND m_hwndItem = nullptr;
    bool m_bSameObject = false;
    WNDPROC m_procWhileSubclassed = nullptr;
    std::wstring m_textAfter;
    bool m_bReleasedSame = false;
    WNDPROC m_procAfterUnsubclass = nullptr;
    bool m_bMappedAfter = true;
};

}  // namespace

TEST(Wnd, DdxControlSubclassesTemplateControlAndDefaultReachesOriginalProcedure)
{
    CSubclassDialog dialog;
    ASSERT_EQ(dialog.DoModal(), 1);
    EXPECT_EQ(dialog.m_button.m_hWndAtPreSubclass, dialog.m_hwndItem);
    EXPECT_NE(dialog.m_button.m_procAtPreSubclass, &AfxWndProc);
    EXPECT_TRUE(dialog.m_bSameObject);
    EXPECT_EQ(dialog.m_procWhileSubclassed, &AfxWndProc);
    // The object saw the message, and the button's own procedure stored the text.
    EXPECT_EQ(dialog.m_button.m_texts, std::vector<std::wstring>{L"Renamed"});
    EXPECT_EQ(dialog.m_textAfter, L"Renamed");
    EXPECT_TRUE(dialog.m_bReleasedSame);
    EXPECT_EQ(dialog.m_procAfterUnsubclass, dialog.m_button.m_procAtPreSubclass);
    EXPECT_FALSE(dialog.m_bMappedAfter);
    EXPECT_EQ(dialog.m_button.m_hWnd, nullptr);
}

namespace {

constexpr COLORREF kEditBack = RGB(10, 20, 30);
constexpr COLORREF kDrawnFace = RGB(200, 40, 90);

class CDrawnButton : public CButton {
public:
    void DrawItem(LPDRAWITEMSTRUCT drawItem) override
    {
        ++m_nDrawn;
        m_nCtlId = drawItem->CtlID;
        CDC* dc = CDC::FromHandle(drawItem->hDC);
        dc->FillSolidRect(&drawItem->rcItem, kDrawnFace);
    }
    int m_nDrawn = 0;
    UINT m_nCtlId = 0;
};

class CColouredEdit : public CEdit {
public:
    CColouredEdit() { m_brush.CreateSolidBrush(kEditBack); }
    HBRUSH CtlColor(CDC* dc, UINT ctlColor)
    {
        m_ctlColors.push_back(ctlColor);
        dc->SetBkColor(kEditBack);
        return m_brush;
    }
    CBrush m_brush;
    std::vector<UINT> m_ctlColors;
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CColouredEdit, CEdit)
ON_WM_CTLCOLOR_REFLECT()
END_MESSAGE_MAP()

class CReflectDialog : public CStepDialog {
public:
    void DoDataExchange(CDataExchange* dx) override
    {
        DDX_Control(dx, IDC_TEST_DRAWN, m_drawn);
        DDX_Control(dx, IDC_TEST_EDIT, m_edit);
        DDX_Control(dx, IDC_TEST_LABEL, m_label);
    }
    void RunStep() override
    {
        // Painted for real: the loop showed the dialog before this step.
        ShowWindow(SW_SHOW);
        ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_ERASE);
        CRect drawn;
        m_drawn.GetClientRect(drawn);
        HDC hdc = ::GetDC(m_drawn.m_hWnd);
        m_pixel = ::GetPixel(hdc, drawn.Width() / 2, drawn.Height() / 2);
        ::ReleaseDC(m_drawn.m_hWnd, hdc);

        HDC screen = ::GetDC(nullptr);
        m_editBrush = reinterpret_cast<HBRUSH>(
            SendMessage(WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(screen), reinterpret_cast<LPARAM>(m_edit.m_hWnd)));
        m_editBackColour = ::GetBkColor(screen);
        m_labelBrush = reinterpret_cast<HBRUSH>(
            SendMessage(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(screen), reinterpret_cast<LPARAM>(m_label.m_hWnd)));
        ::ReleaseDC(nullptr, screen);
    }
    CDrawnButton m_drawn;
    CColouredEdit m_edit;
    CStatic m_label;
    COLORREF m_pixel = CLR_INVALID;
    HBRUSH m_editBrush = nullptr;
    COLORREF m_editBackColour = CLR_INVALID;
    HBRUSH m_labelBrush = nullptr;
};

}  // namespace

TEST(Wnd, DrawItemAndCtlColorAreReflectedToTheChildObject)
{
    CReflectDialog dialog;
    ASSERT_EQ(dialog.DoModal(), 1);
    EXPECT_GE(dialog.m_drawn.m_nDrawn, 1);
    EXPECT_EQ(dialog.m_drawn.m_nCtlId, static_cast<UINT>(IDC_TEST_DRAWN));
    EXPECT_EQ(dialog.m_pixel, kDrawnFace);

    EXPECT_EQ(dialog.m_editBrush, static_cast<HBRUSH>(dialog.m_edit.m_brush));
    EXPECT_EQ(dialog.m_editBackColour, kEditBack);
    ASSERT_FALSE(dialog.m_edit.m_ctlColors.empty());
    EXPECT_EQ(dialog.m_edit.m_ctlColors.back(), static_cast<UINT>(CTLCOLOR_EDIT));
    // A child without a CtlColor handler leaves the colours to the default.
    EXPECT_NE(dialog.m_labelBrush, nullptr);
    EXPECT_NE(dialog.m_labelBrush, static_cast<HBRUSH>(dialog.m_edit.m_brush));
}

namespace {

class CReflectingButton : public CButton {
public:
    void OnClicked() { ++m_nClicks; }
    int m_nClicks = 0;
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CReflectingButton, CButton)
ON_CONTROL_REFLECT(BN_CLICKED, OnClicked)
END_MESSAGE_MAP()

class CCommandDialog : public CStepDialog {
public:
    void DoDataExchange(CDataExchange* dx) override
    {
        DDX_Control(dx, IDC_TEST_BUTTON, m_reflecting);
        DDX_Control(dx, IDC_TEST_DRAWN, m_plain);
    }
    void RunStep() override
    {
        m_reflecting.SendMessage(BM_CLICK);
        m_plain.SendMessage(WM_COMMAND, 0, 0);  // not a notification: ignored by both
        SendMessage(WM_COMMAND, MAKEWPARAM(IDC_TEST_DRAWN, BN_CLICKED), reinterpret_cast<LPARAM>(m_plain.m_hWnd));
    }
    void OnReflectingClicked() { ++m_nParentSawReflecting; }
    void OnPlainClicked() { ++m_nParentSawPlain; }
    CReflectingButton m_reflecting;
    CButton m_plain;
    int m_nParentSawReflecting = 0;
    int m_nParentSawPlain = 0;
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CCommandDialog, CStepDialog)
ON_BN_CLICKED(IDC_TEST_BUTTON, OnReflectingClicked)
ON_BN_CLICKED(IDC_TEST_DRAWN, OnPlainClicked)
END_MESSAGE_MAP()

}  // namespace

TEST(Wnd, ChildNotificationGoesToTheChildFirstThenToTheParentMap)
{
    CCommandDialog dialog;
    ASSERT_EQ(dialog.DoModal(), 1);
    EXPECT_EQ(dialog.m_reflecting.m_nClicks, 1);
    EXPECT_EQ(dialog.m_nParentSawReflecting, 0);
    EXPECT_EQ(dialog.m_nParentSawPlain, 1);
}

namespace {

class CHookedWindow : public CWnd {
public:
    BOOL OnNcCreate(LPCREATESTRUCTW cs)
    {
        m_messages.push_back(WM_NCCREATE);
        m_bMappedAtNcCreate = CWnd::FromHandlePermanent(m_hWnd) == this;
        m_nameAtNcCreate = cs->lpszName ? cs->lpszName : L"";
        return CWnd::OnNcCreate(cs);
    }
    int OnCreate(LPCREATESTRUCTW cs)
    {
        m_messages.push_back(WM_CREATE);
        return m_bFailCreate ? -1 : CWnd::OnCreate(cs);
    }
    void OnDestroy()
    {
        m_messages.push_back(WM_DESTROY);
        CWnd::OnDestroy();
    }
    void PostNcDestroy() override { m_bPostNcDestroy = true; }
    std::vector<UINT> m_messages;
    bool m_bMappedAtNcCreate = false;
    std::wstring m_nameAtNcCreate;
    bool m_bFailCreate = false;
    bool m_bPostNcDestroy = false;
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CHookedWindow, CWnd)
ON_WM_NCCREATE()
ON_WM_CREATE()
ON_WM_DESTROY()
END_MESSAGE_MAP()

}  // namespace

TEST(Wnd, CreatedWindowIsTiedToItsObjectBeforeNcCreate)
{
    CHookedWindow window;
    const wchar_t* windowClass = AfxRegisterWndClass(0);
    ASSERT_NE(windowClass, nullptr);
    EXPECT_EQ(AfxRegisterWndClass(0), windowClass);  // one class per set of attributes
    ASSERT_TRUE(window.CreateEx(0, windowClass, L"hooked", WS_POPUP, 0, 0, 40, 40, nullptr, nullptr));
    EXPECT_TRUE(window.m_bMappedAtNcCreate);
    EXPECT_EQ(window.m_nameAtNcCreate, L"hooked");
    HWND hwnd = window.m_hWnd;
    EXPECT_TRUE(window.DestroyWindow());
    EXPECT_EQ((std::vector<UINT>{WM_NCCREATE, WM_CREATE, WM_DESTROY}), window.m_messages);
    EXPECT_TRUE(window.m_bPostNcDestroy);
    EXPECT_EQ(window.m_hWnd, nullptr);
    EXPECT_EQ(CWnd::FromHandlePermanent(hwnd), nullptr);
}

TEST(Wnd, FailedCreateLeavesNoWindowAndNoMapping)
{
    CHookedWindow window;
    window.m_bFailCreate = true;
    EXPECT_FALSE(window.CreateEx(0, AfxRegisterWndClass(0), L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    EXPECT_EQ(window.m_hWnd, nullptr);
    // The hook is gone: the next window of this thread belongs to nobody.
    HWND other = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 5, 5, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(CWnd::FromHandlePermanent(other), nullptr);
    ::DestroyWindow(other);
}

TEST(Wnd, ObjectDestroyedFirstTakesItsWindowAlong)
{
    HWND hwnd = nullptr;
    {
        CHookedWindow window;
        ASSERT_TRUE(window.CreateEx(0, AfxRegisterWndClass(0), L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
        hwnd = window.m_hWnd;
    }
    EXPECT_FALSE(::IsWindow(hwnd));
    EXPECT_EQ(CWnd::FromHandlePermanent(hwnd), nullptr);
}

TEST(Wnd, FromHandleWrapsForeignWindowsUntilIdleCleanUp)
{
    HWND foreign = ::CreateWindowExW(0, L"STATIC", L"x", WS_POPUP, 0, 0, 5, 5, nullptr, nullptr, nullptr, nullptr);
    CWnd* wrapper = CWnd::FromHandle(foreign);
    ASSERT_NE(wrapper, nullptr);
    EXPECT_EQ(wrapper->m_hWnd, foreign);
    EXPECT_EQ(CWnd::FromHandle(foreign), wrapper);
    EXPECT_EQ(CWnd::FromHandlePermanent(foreign), nullptr);
    EXPECT_EQ(CWnd::FromHandle(nullptr), nullptr);
    // The clean-up lets go of the wrapper, never of the window.
    AfxDeleteTempObjects();
    EXPECT_TRUE(::IsWindow(foreign));
    ::DestroyWindow(foreign);
}

TEST(Wnd, CreatedDialogSeesItsNonClientCreation)
{
    class CNcDialog : public CDialog {
    public:
        CNcDialog() : CDialog(IDD_TEST_DIALOG) {}
        LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
        {
            if (message == WM_NCCREATE || message == WM_NCCALCSIZE || message == WM_INITDIALOG)
                m_seen.push_back(message);
            return CDialog::WindowProc(message, wParam, lParam);
        }
        std::vector<UINT> m_seen;
    };
    CNcDialog dialog;
    ASSERT_TRUE(dialog.Create(IDD_TEST_DIALOG));
    ASSERT_GE(dialog.m_seen.size(), 3u);
    EXPECT_EQ(dialog.m_seen.front(), static_cast<UINT>(WM_NCCREATE));
    EXPECT_EQ(dialog.m_seen.back(), static_cast<UINT>(WM_INITDIALOG));
    dialog.DestroyWindow();
}

TEST(Wnd, InsertAfterMarkersOrderWindowsAndOwnNothing)
{
    CHookedWindow lower, upper;
    ASSERT_TRUE(lower.CreateEx(0, AfxRegisterWndClass(0), L"", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, nullptr, nullptr));
    ASSERT_TRUE(upper.CreateEx(0, AfxRegisterWndClass(0), L"", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, nullptr, nullptr));
    EXPECT_TRUE(lower.SetWindowPos(&CWnd::wndTopMost, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE));
    EXPECT_TRUE(lower.GetExStyle() & WS_EX_TOPMOST);
    EXPECT_TRUE(lower.SetWindowPos(&CWnd::wndNoTopMost, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE));
    EXPECT_FALSE(lower.GetExStyle() & WS_EX_TOPMOST);
    EXPECT_EQ(CWnd::FromHandlePermanent(HWND_NOTOPMOST), nullptr);
}

TEST(Wnd, MainWindowPointerIsClearedWhenThatWindowGoes)
{
    CWinApp app;
    CHookedWindow window;
    ASSERT_TRUE(window.CreateEx(0, AfxRegisterWndClass(0), L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    app.m_pMainWnd = &window;
    EXPECT_EQ(AfxGetMainWnd(), &window);
    window.DestroyWindow();
    EXPECT_EQ(AfxGetMainWnd(), nullptr);
}
