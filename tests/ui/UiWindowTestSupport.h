#pragma once
// Shared pieces of the window tests: the theme set up once per process, a
// skinned test dialog that records the commands it receives, and pixel
// helpers.
#include <gtest/gtest.h>

#include <map>
#include <utility>

#include "UiTestDialogs.h"
#include "MessagePump.h"
#include "WindowCapture.h"
#include "mfc/AfxWin.h"
#include "ui/KorvexDialog.h"

class RecordingDialog : public CKorvexDialog {
public:
    explicit RecordingDialog(UINT templateId) : CKorvexDialog(templateId) {}
    ~RecordingDialog() override;

    // Creates the window modelessly, shows it at (x, y) and lets it paint.
    bool Open(int x = 100, int y = 100);

    int Clicks(UINT id) const;
    // How often a message reached the window.
    int Received(UINT message) const;
    int m_nSysCommands = 0;
    UINT m_nLastSysCommand = 0;
    // When set, system commands get their default processing.
    bool m_bApplySysCommands = false;

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnSysCommand(UINT id, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    std::map<UINT, int> m_clicks;
    std::map<UINT, int> m_received;
};

// Exact colour comparison with a readable failure.
testing::AssertionResult SameColor(COLORREF actual, COLORREF expected);

// Screen point of a window-relative point.
POINT ScreenPoint(HWND window, int x, int y);
