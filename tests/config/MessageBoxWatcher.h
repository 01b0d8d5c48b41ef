#pragma once
// Watches this process for message boxes while it lives: every box that
// appears is recorded (caption and text) and answered with OK, so code under
// test that shows one neither blocks nor goes unnoticed.

#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace config_test {

struct SeenMessageBox {
    std::wstring m_strCaption;
    std::wstring m_strText;
};

class MessageBoxWatcher {
public:
    MessageBoxWatcher() : m_thread([this] { Watch(); }) {}
    ~MessageBoxWatcher()
    {
        m_bStop = true;
        m_thread.join();
    }
    MessageBoxWatcher(const MessageBoxWatcher&) = delete;
    MessageBoxWatcher& operator=(const MessageBoxWatcher&) = delete;

    std::vector<SeenMessageBox> Seen()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_seen;
    }

private:
    static BOOL CALLBACK Visit(HWND window, LPARAM self)
    {
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        wchar_t className[32] = {};
        GetClassNameW(window, className, ARRAYSIZE(className));
        if (process != GetCurrentProcessId() || std::wstring(className) != L"#32770" || !IsWindowVisible(window)) {
            return TRUE;
        }
        auto* watcher = reinterpret_cast<MessageBoxWatcher*>(self);
        for (HWND answered : watcher->m_answered) {
            if (answered == window) {
                return TRUE;  // answered already, still closing
            }
        }
        watcher->m_answered.push_back(window);
        SeenMessageBox seen;
        wchar_t buffer[1024] = {};
        GetWindowTextW(window, buffer, ARRAYSIZE(buffer));
        seen.m_strCaption = buffer;
        buffer[0] = L'\0';
        GetDlgItemTextW(window, 0xFFFF, buffer, ARRAYSIZE(buffer));  // the message box's text control
        seen.m_strText = buffer;
        {
            std::lock_guard<std::mutex> lock(watcher->m_mutex);
            watcher->m_seen.push_back(seen);
        }
        PostMessageW(window, WM_COMMAND, IDOK, 0);
        return TRUE;
    }

    void Watch()
    {
        while (!m_bStop) {
            EnumWindows(Visit, reinterpret_cast<LPARAM>(this));
            Sleep(20);
        }
    }

    std::atomic<bool> m_bStop{false};
    std::mutex m_mutex;
    std::vector<SeenMessageBox> m_seen;
    std::vector<HWND> m_answered;  // the watcher thread's own
    std::thread m_thread;
};

}  // namespace config_test
