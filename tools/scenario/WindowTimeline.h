#pragma once
// What the scenario probe sees of a program's top-level windows: one record a
// window, written again whenever anything in it changes (a page shown, a text,
// the progress bar's fill, the keyboard focus), so a test can replay the run
// as its user saw it.

#include <windows.h>

#include <map>
#include <string>
#include <vector>

struct ControlState {
    int id = 0;
    std::wstring className;
    bool visible = false;
    std::wstring text;
};

struct WindowState {
    HWND window = nullptr;
    DWORD processId = 0;
    std::wstring process, className, title;
    bool visible = false, iconic = false, foreground = false;
    RECT rect = {};
    std::vector<ControlState> controls;
    // Filled share of the progress bar in thousandths; -1 when no bar is on show.
    int barFillPermille = -1;
    // Control id of the window's descendant that has the keyboard focus; 0 for none.
    int focusId = 0;
};

struct TimelineOptions {
    std::vector<std::wstring> processNames;  // empty: every process
    int barId = 105;
    COLORREF barFill = RGB(0x07, 0xA5, 0xD8);
    // Reading a control's text waits for its program; a benchmark leaves it.
    bool readTexts = true;
};

class WindowTimeline {
public:
    explicit WindowTimeline(const TimelineOptions& options) : m_options(options) {}
    // Looks at every window once; returns the records of what changed since
    // the last look, each a JSON object on one line.
    std::vector<std::string> Sweep(DWORD elapsedMilliseconds);

private:
    WindowState Capture(HWND window, DWORD processId, const std::wstring& process) const;
    const std::wstring& ProcessName(DWORD processId);

    TimelineOptions m_options;
    std::map<DWORD, std::wstring> m_processNames;
    std::map<HWND, std::string> m_lastRecord;
};

// The JSON body of a record without its time stamps (pure; Sweep adds "ms"
// since the probe started and "tick", GetTickCount() of the sweep).
std::string DescribeWindowState(const WindowState& state);
