// The Windows half of the scenario runner: it watches the installer's windows
// and lists or ends the processes of the Wine prefix, where a Linux script
// sees neither.
//
//   KorvexScenarioProbe observe --log FILE --stop-file FILE [--process NAME]...
//                               [--interval MS] [--timeout SECONDS]
//                               [--bar-id N] [--bar-colour RRGGBB] [--texts off]
//   KorvexScenarioProbe processes --out FILE
//   KorvexScenarioProbe kill --pid N
//   KorvexScenarioProbe minimize --class C [--title T]
//
// "observe" appends to the log one JSON line whenever a top-level window of
// the named processes appears, changes (title, visibility, foreground, a
// control's visibility or text, the progress bar's fill) or goes away, until
// the stop file appears or the timeout ends. The "bar" is the control whose
// share drawn in its colour is recorded (by default the progress bar in the
// progress fill). With "--texts off" no control text is read, so the probe
// never waits for the programs it watches. "processes" writes one line a
// process: {"pid":32,"parent":8,"exe":"explorer.exe"}.
#include "HarnessText.h"
#include "WindowTimeline.h"
#include "base/WinHandles.h"

#include <windows.h>
#include <tlhelp32.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

struct Arguments {
    std::wstring command;
    std::vector<std::pair<std::wstring, std::wstring>> options;

    std::wstring get(const wchar_t* name) const
    {
        for (const auto& [key, value] : options)
            if (key == name) return value;
        return {};
    }
    std::vector<std::wstring> all(const wchar_t* name) const
    {
        std::vector<std::wstring> values;
        for (const auto& [key, value] : options)
            if (key == name) values.push_back(value);
        return values;
    }
    unsigned long number(const wchar_t* name, unsigned long fallback) const
    {
        std::wstring text = get(name);
        if (text.empty()) return fallback;
        wchar_t* end = nullptr;
        unsigned long value = wcstoul(text.c_str(), &end, 10);
        return end && *end == 0 ? value : fallback;
    }
};

bool ParseArguments(int argc, wchar_t** argv, Arguments& arguments)
{
    if (argc < 2) return false;
    arguments.command = argv[1];
    for (int i = 2; i < argc; i += 2) {
        std::wstring name = argv[i];
        if (name.rfind(L"--", 0) != 0 || i + 1 >= argc) return false;
        arguments.options.emplace_back(name.substr(2), argv[i + 1]);
    }
    return true;
}

bool WriteText(const std::wstring& path, const std::string& text, bool append)
{
    FileHandle file(CreateFileW(path.c_str(), append ? FILE_APPEND_DATA : GENERIC_WRITE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, append ? OPEN_ALWAYS : CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    DWORD written = 0;
    return WriteFile(file.get(), text.data(), (DWORD)text.size(), &written, nullptr) && written == text.size();
}

int Observe(const Arguments& arguments)
{
    std::wstring log = arguments.get(L"log"), stopFile = arguments.get(L"stop-file");
    if (log.empty() || stopFile.empty()) return 2;
    TimelineOptions options;
    options.processNames = arguments.all(L"process");
    options.barId = static_cast<int>(arguments.number(L"bar-id", options.barId));
    options.readTexts = arguments.get(L"texts") != L"off";
    if (const std::wstring colour = arguments.get(L"bar-colour"); !colour.empty()) {
        const unsigned long rgb = wcstoul(colour.c_str(), nullptr, 16);
        options.barFill = RGB(rgb >> 16, (rgb >> 8) & 0xFF, rgb & 0xFF);
    }
    DWORD interval = arguments.number(L"interval", 100);
    DWORD timeout = arguments.number(L"timeout", 600) * 1000;
    if (!WriteText(log, "", false)) return 1;

    WindowTimeline timeline(options);
    DWORD start = GetTickCount();
    while (GetTickCount() - start < timeout) {
        std::string lines;
        for (const std::string& record : timeline.Sweep(GetTickCount() - start)) lines += record + "\n";
        if (!lines.empty() && !WriteText(log, lines, true)) return 1;
        if (GetFileAttributesW(stopFile.c_str()) != INVALID_FILE_ATTRIBUTES) return 0;
        Sleep(interval);
    }
    return 0;
}

int ListProcesses(const Arguments& arguments)
{
    std::wstring out = arguments.get(L"out");
    if (out.empty()) return 2;
    FileHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) return 1;
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof(entry);
    std::string lines;
    for (BOOL more = Process32FirstW(snapshot.get(), &entry); more; more = Process32NextW(snapshot.get(), &entry)) {
        if (entry.th32ProcessID == GetCurrentProcessId()) continue;
        lines += "{\"pid\":" + std::to_string(entry.th32ProcessID) +
                 ",\"parent\":" + std::to_string(entry.th32ParentProcessID) + ",\"exe\":" + JsonQuote(entry.szExeFile) +
                 "}\n";
    }
    return WriteText(out, lines, false) ? 0 : 1;
}

int Kill(const Arguments& arguments)
{
    DWORD processId = arguments.number(L"pid", 0);
    if (!processId) return 2;
    const KernelHandle process(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, processId));
    if (!process) return 1;
    if (!TerminateProcess(process.get(), 1)) return 1;
    return WaitForSingleObject(process.get(), 5000) == WAIT_OBJECT_0 ? 0 : 1;
}

int Minimize(const Arguments& arguments)
{
    std::wstring windowClass = arguments.get(L"class"), title = arguments.get(L"title");
    if (windowClass.empty()) return 2;
    HWND window = FindWindowW(windowClass.c_str(), title.empty() ? nullptr : title.c_str());
    if (!window) return 1;
    ShowWindow(window, SW_MINIMIZE);
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    Arguments arguments;
    if (ParseArguments(argc, argv, arguments)) {
        if (arguments.command == L"observe") return Observe(arguments);
        if (arguments.command == L"processes") return ListProcesses(arguments);
        if (arguments.command == L"kill") return Kill(arguments);
        if (arguments.command == L"minimize") return Minimize(arguments);
    }
    fwprintf(stderr, L"usage: KorvexScenarioProbe observe|processes|kill|minimize [options]\n");
    return 2;
}
