#include "UiWindowTestSupport.h"

#include <cstdio>

#include "ui/Theme.h"

namespace {

class ThemeEnvironment : public testing::Environment {
public:
    void SetUp() override
    {
        InitThemePalette();
        ASSERT_TRUE(CreateThemeFonts());
    }
    void TearDown() override { DestroyThemeFonts(); }
};

const testing::Environment* const g_theme = testing::AddGlobalTestEnvironment(new ThemeEnvironment);

}  // namespace

BEGIN_MESSAGE_MAP(RecordingDialog, CKorvexDialog)
ON_WM_SYSCOMMAND()
END_MESSAGE_MAP()

RecordingDialog::~RecordingDialog()
{
    if (m_hWnd) DestroyWindow();
}

bool RecordingDialog::Open(int x, int y)
{
    if (!Create(m_nIDHelp, nullptr)) return false;
    // In front and active, whatever earlier programs left on the display.
    SetWindowPos(&CWnd::wndTopMost, x, y, 0, 0, SWP_NOSIZE);
    ShowWindow(SW_SHOW);
    SetForegroundWindow();
    UpdateWindow();
    PumpUntil([this] { return ::GetActiveWindow() == m_hWnd; }, 2000);
    PumpMessages(100);
    return true;
}

int RecordingDialog::Clicks(UINT id) const
{
    const auto found = m_clicks.find(id);
    return found == m_clicks.end() ? 0 : found->second;
}

int RecordingDialog::Received(UINT message) const
{
    const auto found = m_received.find(message);
    return found == m_received.end() ? 0 : found->second;
}

LRESULT RecordingDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message >= WM_USER) ++m_received[message];
    return CKorvexDialog::WindowProc(message, wParam, lParam);
}

BOOL RecordingDialog::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (HIWORD(wParam) == BN_CLICKED && lParam) ++m_clicks[LOWORD(wParam)];
    return CKorvexDialog::OnCommand(wParam, lParam);
}

void RecordingDialog::OnSysCommand(UINT id, LPARAM lParam)
{
    ++m_nSysCommands;
    m_nLastSysCommand = id & 0xFFF0;
    if (m_bApplySysCommands) CKorvexDialog::OnSysCommand(id, lParam);
}

testing::AssertionResult SameColor(COLORREF actual, COLORREF expected)
{
    if (actual == expected) return testing::AssertionSuccess();
    char text[96];
    std::snprintf(text, sizeof(text), "#%02X%02X%02X, expected #%02X%02X%02X", GetRValue(actual), GetGValue(actual),
                  GetBValue(actual), GetRValue(expected), GetGValue(expected), GetBValue(expected));
    return testing::AssertionFailure() << text;
}

POINT ScreenPoint(HWND window, int x, int y)
{
    RECT bounds;
    GetWindowRect(window, &bounds);
    return POINT{bounds.left + x, bounds.top + y};
}
