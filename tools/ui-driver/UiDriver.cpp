// Drives a window of another process for end-to-end tests and the demo:
//
//   KorvexUiDriver wait       [--class C] [--title T] [--id N] [--timeout MS]
//   KorvexUiDriver wait-gone  [--class C] [--title T] [--timeout MS]
//   KorvexUiDriver list       [--class C] [--title T]
//   KorvexUiDriver click      [--class C] [--title T] --id N [--how button|mouse|command]
//   KorvexUiDriver type       [--class C] [--title T] --id N --text TEXT
//   KorvexUiDriver text       [--class C] [--title T] --id N
//   KorvexUiDriver screenshot [--class C] [--title T] [--id N] --png FILE [--raise]
//   KorvexUiDriver close      [--class C] [--title T]
//   KorvexUiDriver run        --exit-code-file FILE [--start-tick-file FILE] [--timeout MS] -- PROGRAM [ARGS...]
//
// The window is found by class (default: the installer's main window class)
// and optional title; controls by id among its visible descendants, so the
// page on show wins over hidden pages that reuse an id; a screenshot with an
// id shows that control alone, as the screen does. Results go to stdout,
// or to --out FILE (UTF-8). Exit status: 0 done, 1 not found or timed out,
// 2 bad arguments; "run" exits with the program's code (Linux sees only its
// low 8 bits, hence the file, which holds the full code). The start tick file
// receives GetTickCount() as the program is started, the clock of the
// probe's records, and on a second line the local time as a run log writes it.
#include "HarnessText.h"
#include "WindowCapture.h"
#include "base/WinHandles.h"

#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr wchar_t kInstallerWindowClass[] = L"KorvexMasterInstallerClassName";
constexpr DWORD kPollMilliseconds = 100;

struct Arguments {
    std::wstring command;
    std::map<std::wstring, std::wstring> options;
    std::vector<std::wstring> program;  // after "--"

    bool has(const wchar_t* name) const { return options.count(name) != 0; }
    std::wstring get(const wchar_t* name, const wchar_t* fallback = L"") const
    {
        auto found = options.find(name);
        return found == options.end() ? fallback : found->second;
    }
    long number(const wchar_t* name, long fallback) const
    {
        auto found = options.find(name);
        if (found == options.end()) return fallback;
        wchar_t* end = nullptr;
        long value = wcstol(found->second.c_str(), &end, 0);
        return end && *end == 0 ? value : fallback;
    }
};

bool ParseArguments(int argc, wchar_t** argv, Arguments& arguments)
{
    if (argc < 2) return false;
    arguments.command = argv[1];
    for (int i = 2; i < argc; ++i) {
        std::wstring word = argv[i];
        if (word == L"--") {
            arguments.program.assign(argv + i + 1, argv + argc);
            return true;
        }
        if (word.rfind(L"--", 0) != 0) return false;
        bool flag = word == L"--raise";
        if (flag) {
            arguments.options[word.substr(2)] = L"1";
        } else {
            if (i + 1 >= argc) return false;
            arguments.options[word.substr(2)] = argv[++i];
        }
    }
    return true;
}

class Output {
public:
    explicit Output(const std::wstring& path) : m_path(path) {}
    void line(const std::string& text) { m_text += text + "\n"; }
    bool flush() const
    {
        if (m_path.empty()) {
            fwrite(m_text.data(), 1, m_text.size(), stdout);
            fflush(stdout);
            return true;
        }
        const FileHandle file(CreateFileW(m_path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                          FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) return false;
        DWORD written = 0;
        return WriteFile(file.get(), m_text.data(), (DWORD)m_text.size(), &written, nullptr) &&
               written == m_text.size();
    }

private:
    std::wstring m_path;
    std::string m_text;
};

// The window as the screen shows it, popups in front included.
bool SaveWindowAsPng(HWND window, const std::wstring& path, std::wstring& error)
{
    RECT rect;
    if (!IsWindow(window) || !GetWindowRect(window, &rect)) {
        error = L"no such window";
        return false;
    }
    const CapturedImage image = CaptureScreen(rect);
    if (image.IsEmpty()) {
        error = L"cannot copy the window from the screen";
        return false;
    }
    if (!SavePicture(image, path, PictureFormat::Png)) {
        error = L"cannot write " + path;
        return false;
    }
    return true;
}

HWND FindTarget(const Arguments& arguments)
{
    std::wstring windowClass = arguments.get(L"class", kInstallerWindowClass);
    std::wstring title = arguments.get(L"title");
    return FindWindowW(windowClass.c_str(), title.empty() ? nullptr : title.c_str());
}

std::wstring WindowText(HWND window)
{
    // WM_GETTEXT with a time limit: a hung target must not hang the driver.
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &length)) return {};
    std::vector<wchar_t> buffer(length + 1, L'\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXT, buffer.size(), (LPARAM)buffer.data(), SMTO_ABORTIFHUNG, 2000, &copied))
        return {};
    return std::wstring(buffer.data(), copied < buffer.size() ? copied : length);
}

std::wstring ClassOf(HWND window)
{
    wchar_t name[256] = {};
    GetClassNameW(window, name, 256);
    return name;
}

struct ControlSearch {
    int id;
    HWND visible = nullptr;
    HWND any = nullptr;
};

BOOL CALLBACK CollectControl(HWND window, LPARAM context)
{
    auto* search = reinterpret_cast<ControlSearch*>(context);
    if (GetDlgCtrlID(window) != search->id) return TRUE;
    if (!search->any) search->any = window;
    if (IsWindowVisible(window)) {
        search->visible = window;
        return FALSE;
    }
    return TRUE;
}

HWND FindControl(HWND top, int id, bool visibleOnly)
{
    ControlSearch search{id};
    EnumChildWindows(top, CollectControl, reinterpret_cast<LPARAM>(&search));
    return search.visible ? search.visible : (visibleOnly ? nullptr : search.any);
}

// Polls until found() returns a window or the time is up.
template <typename Finder>
HWND WaitFor(Finder found, DWORD timeout)
{
    DWORD start = GetTickCount();
    for (;;) {
        if (HWND window = found()) return window;
        if (GetTickCount() - start >= timeout) return nullptr;
        Sleep(kPollMilliseconds);
    }
}

std::string DescribeWindow(HWND window, int depth)
{
    RECT rect = {};
    GetWindowRect(window, &rect);
    char numbers[200];
    snprintf(numbers, sizeof numbers,
             "{\"hwnd\":%llu,\"depth\":%d,\"id\":%d,\"visible\":%s,\"rect\":[%ld,%ld,%ld,%ld],",
             (unsigned long long)(ULONG_PTR)window, depth, GetDlgCtrlID(window),
             IsWindowVisible(window) ? "true" : "false", rect.left, rect.top, rect.right, rect.bottom);
    return numbers + std::string("\"class\":") + JsonQuote(ClassOf(window)) +
           ",\"text\":" + JsonQuote(WindowText(window)) + "}";
}

void ListTree(HWND window, int depth, Output& out)
{
    out.line(DescribeWindow(window, depth));
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        ListTree(child, depth + 1, out);
}

void PostMouseClick(HWND control)
{
    RECT client;
    GetClientRect(control, &client);
    LPARAM centre = MAKELPARAM((client.right - client.left) / 2, (client.bottom - client.top) / 2);
    PostMessageW(control, WM_MOUSEMOVE, 0, centre);
    PostMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, centre);
    PostMessageW(control, WM_LBUTTONUP, 0, centre);
}

bool Click(HWND control, const std::wstring& how)
{
    std::wstring mode = how;
    if (mode.empty()) mode = _wcsicmp(ClassOf(control).c_str(), L"Button") == 0 ? L"button" : L"mouse";
    if (mode == L"button") return PostMessageW(control, BM_CLICK, 0, 0) != FALSE;
    if (mode == L"mouse") {
        PostMouseClick(control);
        return true;
    }
    if (mode == L"command") {
        WPARAM command = MAKEWPARAM(GetDlgCtrlID(control), BN_CLICKED);
        return PostMessageW(GetParent(control), WM_COMMAND, command, (LPARAM)control) != FALSE;
    }
    return false;
}

std::wstring QuoteArgument(const std::wstring& argument)
{
    if (!argument.empty() && argument.find_first_of(L" \t\"") == std::wstring::npos) return argument;
    std::wstring quoted = L"\"";
    size_t backslashes = 0;
    for (wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
        } else if (c == L'"') {
            quoted.append(backslashes * 2 + 1, L'\\');
            backslashes = 0;
        } else {
            backslashes = 0;
        }
        quoted += c;
    }
    quoted.append(backslashes, L'\\');
    return quoted + L"\"";
}

int RunProgram(const Arguments& arguments, Output& out)
{
    if (arguments.program.empty() || !arguments.has(L"exit-code-file")) return 2;
    std::wstring commandLine;
    for (const std::wstring& word : arguments.program)
        commandLine += (commandLine.empty() ? L"" : L" ") + QuoteArgument(word);
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    Output codeFile(arguments.get(L"exit-code-file"));
    Output startTick(arguments.get(L"start-tick-file"));
    SYSTEMTIME now;
    GetLocalTime(&now);
    char localTime[32];
    snprintf(localTime, sizeof localTime, "%04d-%02d-%02d %02d:%02d:%02d.%03d", now.wYear, now.wMonth, now.wDay,
             now.wHour, now.wMinute, now.wSecond, now.wMilliseconds);
    startTick.line(std::to_string(GetTickCount()));
    startTick.line(localTime);
    if (arguments.has(L"start-tick-file") && !startTick.flush()) return 1;
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        codeFile.line("start-failed " + std::to_string(GetLastError()));
        codeFile.flush();
        return 1;
    }
    KernelHandle processHandle(process.hProcess), threadHandle(process.hThread);
    DWORD timeout = (DWORD)arguments.number(L"timeout", (long)INFINITE);
    if (WaitForSingleObject(processHandle.get(), timeout) != WAIT_OBJECT_0) {
        TerminateProcess(processHandle.get(), 1);
        codeFile.line("timeout");
        codeFile.flush();
        return 1;
    }
    DWORD exitCode = 0;
    GetExitCodeProcess(processHandle.get(), &exitCode);
    codeFile.line(std::to_string(exitCode));
    out.line(std::to_string(exitCode));
    return codeFile.flush() ? (int)exitCode : 1;
}

int Execute(const Arguments& arguments, Output& out)
{
    const std::wstring& command = arguments.command;
    static const wchar_t* const kCommands[] = {L"wait", L"wait-gone",  L"list",  L"click", L"type",
                                               L"text", L"screenshot", L"close", L"run"};
    bool known = false;
    for (const wchar_t* name : kCommands) known = known || command == name;
    if (!known) return 2;
    DWORD timeout = (DWORD)arguments.number(L"timeout", 10000);
    if (command == L"run") return RunProgram(arguments, out);

    if (command == L"wait") {
        long id = arguments.number(L"id", -1);
        HWND found = WaitFor(
            [&]() -> HWND {
                HWND top = FindTarget(arguments);
                if (!top || id < 0) return top;
                return FindControl(top, (int)id, true);
            },
            timeout);
        if (found) out.line(DescribeWindow(found, 0));
        return found ? 0 : 1;
    }
    if (command == L"wait-gone") {
        DWORD start = GetTickCount();
        while (FindTarget(arguments)) {
            if (GetTickCount() - start >= timeout) return 1;
            Sleep(kPollMilliseconds);
        }
        return 0;
    }

    HWND top = FindTarget(arguments);
    if (!top) {
        fwprintf(stderr, L"KorvexUiDriver: window not found\n");
        return 1;
    }
    if (command == L"list") {
        ListTree(top, 0, out);
        return 0;
    }
    if (command == L"close") return PostMessageW(top, WM_CLOSE, 0, 0) ? 0 : 1;
    if (command == L"screenshot") {
        if (!arguments.has(L"png")) return 2;
        if (arguments.has(L"raise")) {
            SetForegroundWindow(top);
            BringWindowToTop(top);
            Sleep(300);  // let the window repaint after coming to the front
        }
        const HWND shown = arguments.has(L"id") ? FindControl(top, (int)arguments.number(L"id", -1), true) : top;
        std::wstring error;
        if (!SaveWindowAsPng(shown, arguments.get(L"png"), error)) {
            fwprintf(stderr, L"KorvexUiDriver: %ls\n", error.c_str());
            return 1;
        }
        return 0;
    }

    long id = arguments.number(L"id", -1);
    if (id < 0) return 2;
    HWND control = FindControl(top, (int)id, command != L"text");
    if (!control) {
        fwprintf(stderr, L"KorvexUiDriver: no visible control %ld\n", id);
        return 1;
    }
    if (command == L"click") return Click(control, arguments.get(L"how")) ? 0 : 2;
    if (command == L"text") {
        out.line(Utf8FromWide(WindowText(control)));
        return 0;
    }
    if (command == L"type") {
        if (!arguments.has(L"text")) return 2;
        std::wstring text = arguments.get(L"text");
        DWORD_PTR result = 0;
        return SendMessageTimeoutW(control, WM_SETTEXT, 0, (LPARAM)text.c_str(), SMTO_ABORTIFHUNG, 5000, &result) &&
                       result
                   ? 0
                   : 1;
    }
    return 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    Arguments arguments;
    if (!ParseArguments(argc, argv, arguments)) {
        fwprintf(stderr, L"usage: KorvexUiDriver wait|wait-gone|list|click|type|text|screenshot|close|run [options]\n");
        return 2;
    }
    Output out(arguments.get(L"out"));
    int status = Execute(arguments, out);
    if (!out.flush()) return 1;
    return status;
}
