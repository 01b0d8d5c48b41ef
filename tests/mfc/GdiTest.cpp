#include <gtest/gtest.h>

#include "mfc/AfxWin.h"
#include "mfc/TestDialogs.h"

namespace {

struct GuiCounts {
    DWORD gdi;
    DWORD user;
};

// Wine answers GetGuiResources with 0. There a GDI handle whose high word is
// zero matches its table slot whatever the slot's generation, so probing
// every slot counts the live objects; the windows (less the IME's) are counted by walking them.
DWORD CountGdiSlots()
{
    DWORD count = 0;
    for (UINT_PTR slot = 1; slot <= 0xFFFF; ++slot) {
        if (::GetObjectType(reinterpret_cast<HGDIOBJ>(slot)) != 0) ++count;
    }
    return count;
}

BOOL CALLBACK CountWindow(HWND hwnd, LPARAM counter)
{
    DWORD process = 0;
    ::GetWindowThreadProcessId(hwnd, &process);
    if (process != ::GetCurrentProcessId()) return TRUE;
    // The system's IME window comes and goes with the thread's first window.
    wchar_t className[8] = {};
    ::GetClassNameW(hwnd, className, 8);
    if (lstrcmpiW(className, L"IME") == 0) return TRUE;
    ++*reinterpret_cast<DWORD*>(counter);
    ::EnumChildWindows(hwnd, &CountWindow, counter);
    return TRUE;
}

DWORD CountOwnWindows()
{
    DWORD count = 0;
    ::EnumWindows(&CountWindow, reinterpret_cast<LPARAM>(&count));
    return count;
}

GuiCounts CountGuiObjects()
{
    GuiCounts counts = {::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS),
                        ::GetGuiResources(::GetCurrentProcess(), GR_USEROBJECTS)};
    if (counts.gdi == 0 && counts.user == 0) counts = {CountGdiSlots(), CountOwnWindows()};
    return counts;
}

constexpr UINT WM_TEST_PAINTED = WM_APP + 30;

// A dialog that uses every kind of owner the layer has: fonts, brushes,
// pens, bitmaps, memory DCs, window DCs, subclassed controls.
class CBusyDialog : public CDialog {
public:
    CBusyDialog() : CDialog(IDD_TEST_DIALOG) {}
    void DoDataExchange(CDataExchange* dx) override
    {
        DDX_Control(dx, IDC_TEST_BUTTON, m_button);
        DDX_Control(dx, IDC_TEST_EDIT, m_edit);
    }
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        LOGFONTW logFont = {};
        logFont.lfHeight = 14;
        lstrcpyW(logFont.lfFaceName, L"Tahoma");
        m_font.CreateFontIndirect(&logFont);
        m_edit.SetFont(&m_font);
        m_brush.CreateSolidBrush(RGB(1, 2, 3));
        PostMessage(WM_TEST_PAINTED);
        return TRUE;
    }
    void OnPaint()
    {
        CPaintDC dc(this);
        CRect client;
        GetClientRect(client);
        CDC memory;
        memory.CreateCompatibleDC(&dc);
        CBitmap bitmap;
        bitmap.CreateCompatibleBitmap(&dc, client.Width(), client.Height());
        CPen pen(PS_SOLID, 1, RGB(9, 9, 9));
        // Deliberately left selected: the DC puts its own objects back first.
        memory.SelectObject(&bitmap);
        memory.SelectObject(&pen);
        memory.SelectObject(&m_brush);
        memory.SelectObject(&m_font);
        memory.FillSolidRect(client, RGB(40, 40, 40));
        memory.Rectangle(CRect(2, 2, 20, 20));
        memory.DrawText(CString(L"text"), client, DT_SINGLELINE);
        dc.BitBlt(0, 0, client.Width(), client.Height(), &memory, 0, 0, SRCCOPY);
    }
    LRESULT OnPainted(WPARAM, LPARAM)
    {
        UpdateWindow();
        CDC* dc = GetDC();
        CFont* previous = dc->SelectObject(m_edit.GetFont());
        dc->GetTextExtent(CString(L"measure"));
        dc->SelectObject(previous);
        ReleaseDC(dc);
        EndDialog(IDOK);
        return 0;
    }
    CButton m_button;
    CEdit m_edit;
    CFont m_font;
    CBrush m_brush;
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CBusyDialog, CDialog)
ON_WM_PAINT()
ON_MESSAGE(WM_TEST_PAINTED, OnPainted)
END_MESSAGE_MAP()

}  // namespace

TEST(Gdi, CreateDestroyCycleLeaksNoGuiObject)
{
    {
        // Warm-up: class registration, font caches and the like stay for good.
        CBusyDialog first;
        ASSERT_EQ(first.DoModal(), IDOK);
    }
    GuiCounts before = CountGuiObjects();
    for (int cycle = 0; cycle < 5; ++cycle) {
        CBusyDialog dialog;
        ASSERT_EQ(dialog.DoModal(), IDOK);
    }
    GuiCounts after = CountGuiObjects();
    EXPECT_EQ(after.gdi, before.gdi);
    EXPECT_EQ(after.user, before.user);
}

TEST(Gdi, CounterSeesObjectsAndWindowsComeAndGo)
{
    GuiCounts before = CountGuiObjects();
    HBRUSH brushes[3] = {::CreateSolidBrush(1), ::CreateSolidBrush(2), ::CreateSolidBrush(3)};
    HWND window = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 5, 5, nullptr, nullptr, nullptr, nullptr);
    GuiCounts during = CountGuiObjects();
    EXPECT_EQ(during.gdi, before.gdi + 3);
    EXPECT_EQ(during.user, before.user + 1);
    for (HBRUSH brush : brushes) ::DeleteObject(brush);
    ::DestroyWindow(window);
    GuiCounts after = CountGuiObjects();
    EXPECT_EQ(after.gdi, before.gdi);
    EXPECT_EQ(after.user, before.user);
}

TEST(Gdi, EveryWrapperReleasesItsHandle)
{
    HGDIOBJ font = nullptr, brush = nullptr, pen = nullptr, bitmap = nullptr, region = nullptr;
    HDC memoryDC = nullptr;
    {
        CClientDC screen(nullptr);
        CFont fontObject;
        ASSERT_TRUE(fontObject.CreatePointFont(90, L"Tahoma"));
        CBrush brushObject(RGB(1, 1, 1));
        CPen penObject(PS_SOLID, 2, RGB(2, 2, 2));
        CBitmap bitmapObject;
        ASSERT_TRUE(bitmapObject.CreateCompatibleBitmap(&screen, 8, 8));
        CRgn regionObject;
        ASSERT_TRUE(regionObject.CreateRoundRectRgn(0, 0, 10, 10, 0, 0));
        CDC memory;
        ASSERT_TRUE(memory.CreateCompatibleDC(&screen));
        // Declared after the objects, so destroyed before them while they
        // are still selected: the DC must let go of them first.
        memory.SelectObject(&bitmapObject);
        memory.SelectObject(&fontObject);
        memory.SelectObject(&brushObject);
        memory.SelectObject(&penObject);
        font = fontObject.m_hObject;
        brush = brushObject.m_hObject;
        pen = penObject.m_hObject;
        bitmap = bitmapObject.m_hObject;
        region = regionObject.m_hObject;
        memoryDC = memory.m_hDC;
        for (HGDIOBJ handle : {font, brush, pen, bitmap, region}) EXPECT_NE(::GetObjectType(handle), 0u);
    }
    for (HGDIOBJ handle : {font, brush, pen, bitmap, region}) EXPECT_EQ(::GetObjectType(handle), 0u);
    EXPECT_EQ(::GetObjectType(memoryDC), 0u);
}

TEST(Gdi, DetachedHandleSurvivesItsWrapper)
{
    HGDIOBJ kept = nullptr;
    {
        CBrush brush(RGB(5, 5, 5));
        kept = brush.Detach();
    }
    EXPECT_EQ(::GetObjectType(kept), static_cast<DWORD>(OBJ_BRUSH));
    CBrush owner;
    EXPECT_TRUE(owner.Attach(kept));
    EXPECT_TRUE(owner.DeleteObject());
    EXPECT_EQ(::GetObjectType(kept), 0u);
}

TEST(Gdi, SelectObjectReturnsThePreviousSelection)
{
    CClientDC screen(nullptr);
    CDC memory;
    ASSERT_TRUE(memory.CreateCompatibleDC(&screen));
    CFont first, second;
    ASSERT_TRUE(first.CreatePointFont(80, L"Tahoma"));
    ASSERT_TRUE(second.CreatePointFont(120, L"Tahoma"));
    memory.SelectObject(&first);
    CFont* previous = memory.SelectObject(&second);
    ASSERT_NE(previous, nullptr);
    EXPECT_EQ(previous->m_hObject, first.m_hObject);
    memory.SelectObject(previous);
    EXPECT_EQ(::GetCurrentObject(memory.m_hDC, OBJ_FONT), first.m_hObject);
}

TEST(Gdi, FillSolidRectPaintsExactlyTheRectangle)
{
    CClientDC screen(nullptr);
    CDC memory;
    ASSERT_TRUE(memory.CreateCompatibleDC(&screen));
    CBitmap bitmap;
    ASSERT_TRUE(bitmap.CreateCompatibleBitmap(&screen, 10, 10));
    memory.SelectObject(&bitmap);
    memory.FillSolidRect(0, 0, 10, 10, RGB(0, 0, 0));
    COLORREF background = memory.SetBkColor(RGB(7, 7, 7));
    memory.FillSolidRect(CRect(2, 3, 5, 6), RGB(255, 0, 0));
    EXPECT_EQ(::GetBkColor(memory.m_hDC), RGB(7, 7, 7));  // restored
    memory.SetBkColor(background);
    EXPECT_EQ(::GetPixel(memory.m_hDC, 2, 3), RGB(255, 0, 0));
    EXPECT_EQ(::GetPixel(memory.m_hDC, 4, 5), RGB(255, 0, 0));
    EXPECT_EQ(::GetPixel(memory.m_hDC, 5, 5), RGB(0, 0, 0));
    EXPECT_EQ(::GetPixel(memory.m_hDC, 4, 6), RGB(0, 0, 0));
    EXPECT_EQ(::GetPixel(memory.m_hDC, 1, 3), RGB(0, 0, 0));
}
