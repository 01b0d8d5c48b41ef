#include "WindowTimeline.h"

#include "HarnessText.h"
#include "WindowCapture.h"

#include <cstdio>
#include <cstdlib>
#include <cwchar>

namespace {

std::wstring ClassOf(HWND window)
{
    wchar_t name[256] = {};
    GetClassNameW(window, name, 256);
    return name;
}

// WM_GETTEXT with a time limit, so that a busy program cannot stall the probe.
std::wstring TextOf(HWND window)
{
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 1000, &length)) return {};
    std::vector<wchar_t> buffer(length + 1, L'\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXT, buffer.size(), (LPARAM)buffer.data(), SMTO_ABORTIFHUNG, 1000, &copied))
        return {};
    return std::wstring(buffer.data(), copied < buffer.size() ? copied : length);
}

// A top-level window's title as the system keeps it: no message, so a window
// whose thread takes none (Direct3D's helpers) cannot stall the probe.
std::wstring TitleOf(HWND window)
{
    wchar_t title[512] = {};
    const int length = InternalGetWindowText(window, title, 512);
    return std::wstring(title, length > 0 ? static_cast<size_t>(length) : 0);
}

bool NearColour(COLORREF a, COLORREF b)
{
    const int tolerance = 40;  // antialiased edges and colour depth
    return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance && std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
           std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

// The share of the bar's middle row drawn in the fill colour, as the screen shows it.
int MeasureBarFill(HWND bar, COLORREF fill)
{
    RECT rect;
    if (!GetWindowRect(bar, &rect)) return -1;
    int width = rect.right - rect.left;
    if (width <= 0 || rect.bottom <= rect.top) return -1;
    const int middle = (rect.top + rect.bottom) / 2;
    const CapturedImage row = CaptureScreen(RECT{rect.left, middle, rect.right, middle + 1});
    if (row.IsEmpty()) return -1;
    int filled = 0;
    for (int x = 0; x < width; ++x)
        if (NearColour(row.At(x, 0), fill)) ++filled;
    return filled * 1000 / width;
}

struct ChildSweep {
    std::vector<ControlState>* controls;
    int barId;
    bool readTexts;
    HWND bar;
};

BOOL CALLBACK VisitChild(HWND child, LPARAM context)
{
    auto* sweep = reinterpret_cast<ChildSweep*>(context);
    ControlState control;
    control.id = GetDlgCtrlID(child);
    control.className = ClassOf(child);
    control.visible = IsWindowVisible(child) != FALSE;
    if (sweep->readTexts) control.text = TextOf(child);
    if (control.id == sweep->barId && control.visible) sweep->bar = child;
    sweep->controls->push_back(std::move(control));
    return TRUE;
}

// The focused control of the window's thread, when it lies in the window.
int FocusedControlId(HWND window)
{
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) || !info.hwndFocus) return 0;
    return IsChild(window, info.hwndFocus) ? GetDlgCtrlID(info.hwndFocus) : 0;
}

struct TopLevelSweep {
    std::vector<std::pair<HWND, DWORD>> windows;
};

BOOL CALLBACK VisitTopLevel(HWND window, LPARAM context)
{
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    reinterpret_cast<TopLevelSweep*>(context)->windows.emplace_back(window, processId);
    return TRUE;
}

}  // namespace

std::string DescribeWindowState(const WindowState& state)
{
    char numbers[320];
    snprintf(numbers, sizeof numbers,
             "\"hwnd\":%llu,\"pid\":%lu,\"visible\":%s,\"iconic\":%s,\"foreground\":%s,\"rect\":[%ld,%ld,%ld,%ld],"
             "\"bar_fill\":%d,\"focus\":%d,",
             (unsigned long long)(ULONG_PTR)state.window, (unsigned long)state.processId,
             state.visible ? "true" : "false", state.iconic ? "true" : "false", state.foreground ? "true" : "false",
             state.rect.left, state.rect.top, state.rect.right, state.rect.bottom, state.barFillPermille,
             state.focusId);
    std::string record = numbers;
    record += "\"process\":" + JsonQuote(state.process) + ",\"class\":" + JsonQuote(state.className) +
              ",\"title\":" + JsonQuote(state.title) + ",\"controls\":[";
    for (size_t i = 0; i < state.controls.size(); ++i) {
        const ControlState& control = state.controls[i];
        if (i) record += ",";
        record += "{\"id\":" + std::to_string(control.id) + ",\"class\":" + JsonQuote(control.className) +
                  ",\"visible\":" + (control.visible ? "true" : "false") + ",\"text\":" + JsonQuote(control.text) + "}";
    }
    return record + "]";
}

const std::wstring& WindowTimeline::ProcessName(DWORD processId)
{
    auto found = m_processNames.find(processId);
    if (found != m_processNames.end()) return found->second;
    return m_processNames[processId] = ProcessImageName(processId);
}

WindowState WindowTimeline::Capture(HWND window, DWORD processId, const std::wstring& process) const
{
    WindowState state;
    state.window = window;
    state.processId = processId;
    state.process = process;
    state.className = ClassOf(window);
    state.title = TitleOf(window);
    state.visible = IsWindowVisible(window) != FALSE;
    state.iconic = IsIconic(window) != FALSE;
    state.foreground = GetForegroundWindow() == window;
    GetWindowRect(window, &state.rect);
    state.focusId = FocusedControlId(window);
    ChildSweep children{&state.controls, m_options.barId, m_options.readTexts, nullptr};
    EnumChildWindows(window, VisitChild, reinterpret_cast<LPARAM>(&children));
    if (children.bar && state.visible && !state.iconic)
        state.barFillPermille = MeasureBarFill(children.bar, m_options.barFill);
    return state;
}

std::vector<std::string> WindowTimeline::Sweep(DWORD elapsedMilliseconds)
{
    // Wine hands out process ids again soon: names are looked up afresh each sweep.
    m_processNames.clear();
    TopLevelSweep sweep;
    EnumWindows(VisitTopLevel, reinterpret_cast<LPARAM>(&sweep));

    std::vector<std::string> records;
    // "tick" is taken when a window's state has been read: reading waits for
    // its program, and a busy program shows its state late.
    auto stamp = [elapsedMilliseconds] {
        return "{\"ms\":" + std::to_string(elapsedMilliseconds) + ",\"tick\":" + std::to_string(GetTickCount()) + ",";
    };
    std::map<HWND, std::string> current;
    for (const auto& [window, processId] : sweep.windows) {
        if (processId == GetCurrentProcessId()) continue;
        const std::wstring& process = ProcessName(processId);
        bool wanted = m_options.processNames.empty();
        for (const std::wstring& name : m_options.processNames)
            wanted = wanted || _wcsicmp(name.c_str(), process.c_str()) == 0;
        if (!wanted) continue;
        std::string body = DescribeWindowState(Capture(window, processId, process));
        auto last = m_lastRecord.find(window);
        if (last == m_lastRecord.end() || last->second != body) records.push_back(stamp() + body + "}");
        current[window] = std::move(body);
    }
    for (const auto& [window, body] : m_lastRecord) {
        if (!current.count(window))
            records.push_back(stamp() + "\"hwnd\":" + std::to_string((unsigned long long)(ULONG_PTR)window) +
                              ",\"gone\":true}");
    }
    m_lastRecord = std::move(current);
    return records;
}
