#pragma once
// Every message the installer shows the user goes through UserMessageBox, so
// the whole product can run headless: the product shows MessageBoxW, a test
// installs a function that records the box and answers it (see
// tests/support/MessageBoxRecorder.h). Any thread may show a box. An
// observer set at start-up hears of every box and its answer (the run log).

#include <windows.h>

#include <atomic>

using UserMessageBoxFunction = int (*)(HWND hOwner, const wchar_t* pszText, const wchar_t* pszCaption, UINT nStyle);

inline int SystemMessageBox(HWND hOwner, const wchar_t* pszText, const wchar_t* pszCaption, UINT nStyle)
{
    return MessageBoxW(hOwner, pszText, pszCaption, nStyle);
}

inline std::atomic<UserMessageBoxFunction> g_userMessageBoxFunction{&SystemMessageBox};

using UserMessageBoxObserver = void (*)(const wchar_t* pszText, const wchar_t* pszCaption, int answer);

inline std::atomic<UserMessageBoxObserver> g_userMessageBoxObserver{nullptr};

// Shows a box (or whatever replaces it), tells the observer, and returns the
// button pressed.
inline int UserMessageBox(HWND hOwner, const wchar_t* pszText, const wchar_t* pszCaption, UINT nStyle)
{
    const int answer = g_userMessageBoxFunction.load()(hOwner, pszText, pszCaption, nStyle);
    if (const UserMessageBoxObserver observer = g_userMessageBoxObserver.load()) {
        observer(pszText, pszCaption, answer);
    }
    return answer;
}

// Sets the observer; null for none.
inline void SetUserMessageBoxObserver(UserMessageBoxObserver observer)
{
    g_userMessageBoxObserver.store(observer);
}

// Replaces the box function; null restores MessageBoxW. Returns the previous one.
inline UserMessageBoxFunction SetUserMessageBoxFunction(UserMessageBoxFunction function)
{
    return g_userMessageBoxFunction.exchange(function != nullptr ? function : &SystemMessageBox);
}
