// Runs beside a program under test, finds every message box it shows (from
// any of its threads), records each one as a JSON line (UTF-8) and presses the
// button that the rule file asks for:
//
//   KorvexMsgBoxWatcher --log FILE [--rules FILE] [--default ANSWER]
//                       [--process NAME] [--stop-file FILE] [--timeout SECONDS]
//
// A record: {"seq":1,"ms":812,"pid":36,"process":"KorvexMasterInstaller.exe",
// "caption":"...","text":"...","buttons":["Yes","No"],"answer":"No","delay_ms":0}
// with "answer":null when no rule matched and no default is set (the box is
// left open). The watcher ends when the stop file appears or after the
// timeout (default 600 s), whichever comes first.
#include "HarnessText.h"
#include "MessageBoxRules.h"
#include "base/WinHandles.h"

#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

constexpr DWORD kPollMilliseconds = 50;
// The static control that holds a message box's text.
constexpr int kMessageTextId = 0xFFFF;

struct Options {
    std::wstring logPath, rulesPath, defaultAnswer, processName, stopFile;
    DWORD timeoutMilliseconds = 600000;
};

struct FoundBox {
    HWND window;
    DWORD processId;
    std::wstring process, caption, text;
    std::vector<std::wstring> buttonNames;
    std::vector<HWND> buttons;
};

struct PendingPress {
    HWND box;
    HWND button;
    int id;
    DWORD due;
};

bool ReadFileText(const std::wstring& path, std::string& text)
{
    const FileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    char buffer[4096];
    DWORD got = 0;
    bool ok = true;
    while ((ok = ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr) != FALSE) && got > 0) {
        text.append(buffer, got);
    }
    return ok;
}

bool AppendLine(const std::wstring& path, const std::string& line)
{
    const FileHandle file(CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    std::string data = line + "\n";
    DWORD written = 0;
    return WriteFile(file.get(), data.data(), (DWORD)data.size(), &written, nullptr) && written == data.size();
}

std::wstring ClassOf(HWND window)
{
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

std::wstring TextOf(HWND window)
{
    int length = GetWindowTextLengthW(window);
    std::vector<wchar_t> buffer(length + 1, L'\0');
    int copied = GetWindowTextW(window, buffer.data(), length + 1);
    return std::wstring(buffer.data(), copied > 0 ? copied : 0);
}

bool IsMessageBoxButtonId(int id)
{
    return (id >= IDOK && id <= IDNO) || id == IDTRYAGAIN || id == IDCONTINUE;
}

// A message box is a dialog of the system class with only static texts, an
// icon and standard buttons; other dialogs (such as a window with a progress
// bar) are left alone.
bool ReadMessageBox(HWND window, FoundBox& box)
{
    if (ClassOf(window) != L"#32770" || !IsWindowVisible(window)) return false;
    std::wstring longestStatic;
    bool hasTextControl = false;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        std::wstring childClass = ClassOf(child);
        int id = GetDlgCtrlID(child);
        if (_wcsicmp(childClass.c_str(), L"Static") == 0) {
            std::wstring text = TextOf(child);
            if (id == kMessageTextId) {
                hasTextControl = true;
                box.text = text;
            } else if (text.size() > longestStatic.size()) {
                longestStatic = text;
            }
        } else if (_wcsicmp(childClass.c_str(), L"Button") == 0) {
            if (!IsMessageBoxButtonId(id)) return false;
            if (!(GetWindowLongW(child, GWL_STYLE) & WS_VISIBLE)) continue;
            box.buttons.push_back(child);
            box.buttonNames.push_back(WithoutMnemonic(TextOf(child)));
        } else {
            return false;
        }
    }
    if (box.buttons.empty()) return false;
    if (!hasTextControl) box.text = longestStatic;
    box.window = window;
    box.caption = TextOf(window);
    return true;
}

struct Sweep {
    DWORD ownProcess;
    const std::wstring* processFilter;
    std::vector<FoundBox> boxes;
};

BOOL CALLBACK VisitTopLevel(HWND window, LPARAM context)
{
    auto* sweep = reinterpret_cast<Sweep*>(context);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (processId == sweep->ownProcess) return TRUE;
    FoundBox box{};
    if (!ReadMessageBox(window, box)) return TRUE;
    box.processId = processId;
    box.process = ProcessImageName(processId);
    if (!sweep->processFilter->empty() && _wcsicmp(box.process.c_str(), sweep->processFilter->c_str()) != 0)
        return TRUE;
    sweep->boxes.push_back(box);
    return TRUE;
}

int ButtonOfAnswer(const FoundBox& box, const std::wstring& answer, HWND& button)
{
    int id = ButtonIdOfAnswer(answer);
    for (HWND candidate : box.buttons) {
        if (GetDlgCtrlID(candidate) == id) {
            button = candidate;
            return id;
        }
    }
    return 0;
}

bool ParseOptions(int argc, wchar_t** argv, Options& options)
{
    for (int i = 1; i + 1 < argc; i += 2) {
        std::wstring name = argv[i], value = argv[i + 1];
        if (name == L"--log")
            options.logPath = value;
        else if (name == L"--rules")
            options.rulesPath = value;
        else if (name == L"--default")
            options.defaultAnswer = value;
        else if (name == L"--process")
            options.processName = value;
        else if (name == L"--stop-file")
            options.stopFile = value;
        else if (name == L"--timeout")
            options.timeoutMilliseconds = (DWORD)wcstoul(value.c_str(), nullptr, 10) * 1000;
        else
            return false;
    }
    return argc % 2 == 1 && !options.logPath.empty() &&
           (options.defaultAnswer.empty() || ButtonIdOfAnswer(options.defaultAnswer));
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        fwprintf(stderr,
                 L"usage: KorvexMsgBoxWatcher --log FILE [--rules FILE] [--default ANSWER] [--process NAME]"
                 L" [--stop-file FILE] [--timeout SECONDS]\n");
        return 2;
    }
    MessageBoxRules rules;
    if (!options.rulesPath.empty()) {
        std::string text;
        std::wstring error;
        if (!ReadFileText(options.rulesPath, text)) {
            fwprintf(stderr, L"KorvexMsgBoxWatcher: cannot read %ls\n", options.rulesPath.c_str());
            return 2;
        }
        if (!rules.Parse(WideFromUtf8(text), error)) {
            fwprintf(stderr, L"KorvexMsgBoxWatcher: %ls: %ls\n", options.rulesPath.c_str(), error.c_str());
            return 2;
        }
    }

    DWORD start = GetTickCount();
    std::set<HWND> seen;
    std::map<HWND, std::wstring> settling;
    std::vector<PendingPress> pending;
    unsigned sequence = 0;
    while (GetTickCount() - start < options.timeoutMilliseconds) {
        if (!options.stopFile.empty() && GetFileAttributesW(options.stopFile.c_str()) != INVALID_FILE_ATTRIBUTES) break;

        for (auto it = seen.begin(); it != seen.end();) it = IsWindow(*it) ? std::next(it) : seen.erase(it);
        for (auto it = settling.begin(); it != settling.end();)
            it = IsWindow(it->first) ? std::next(it) : settling.erase(it);
        Sweep sweep{GetCurrentProcessId(), &options.processName, {}};
        EnumWindows(VisitTopLevel, reinterpret_cast<LPARAM>(&sweep));

        for (const FoundBox& box : sweep.boxes) {
            if (seen.count(box.window)) continue;
            // A box is read while it is still being filled in: act only once
            // two sweeps in a row saw the same caption, text and buttons.
            std::wstring signature = box.caption + L'\n' + box.text;
            for (const std::wstring& name : box.buttonNames) signature += L'\n' + name;
            auto [entry, added] = settling.try_emplace(box.window, signature);
            if (added || entry->second != signature) {
                entry->second = signature;
                continue;
            }
            settling.erase(entry);
            seen.insert(box.window);
            const MessageBoxRule* rule = rules.Take(box.caption, box.text);
            std::wstring answer = rule ? rule->answer : options.defaultAnswer;
            unsigned delay = rule ? rule->delayMilliseconds : 0;
            HWND button = nullptr;
            int id = answer.empty() ? 0 : ButtonOfAnswer(box, answer, button);
            if (id) pending.push_back({box.window, button, id, GetTickCount() + delay});

            std::string record =
                "{\"seq\":" + std::to_string(++sequence) + ",\"ms\":" + std::to_string(GetTickCount() - start) +
                ",\"pid\":" + std::to_string(box.processId) + ",\"process\":" + JsonQuote(box.process) +
                ",\"caption\":" + JsonQuote(box.caption) + ",\"text\":" + JsonQuote(box.text) + ",\"buttons\":[";
            for (size_t i = 0; i < box.buttonNames.size(); ++i) {
                if (i) record += ",";
                record += JsonQuote(box.buttonNames[i]);
            }
            record += "],\"answer\":" + (id ? JsonQuote(answer) : std::string("null")) +
                      ",\"delay_ms\":" + std::to_string(id ? delay : 0) + "}";
            AppendLine(options.logPath, record);
        }

        DWORD now = GetTickCount();
        for (auto it = pending.begin(); it != pending.end();) {
            if ((LONG)(now - it->due) < 0) {
                ++it;
                continue;
            }
            if (IsWindow(it->box))
                PostMessageW(it->box, WM_COMMAND, MAKEWPARAM(it->id, BN_CLICKED), (LPARAM)it->button);
            it = pending.erase(it);
        }
        Sleep(kPollMilliseconds);
    }
    return 0;
}
