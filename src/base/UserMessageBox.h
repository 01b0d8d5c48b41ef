#pragma once
// Every message the installer shows the user goes through UserMessageBox, so
// the whole product can run headless: the product shows MessageBoxW, a test
// installs a function that records the box and answers it (see
// tests/support/MessageBoxRecorder.h). Any thread may show a box.

#include <windows.h>

#include <atomic>
#include <string>

#include "log/LogText.h"
#include "log/RunLog.h"

using UserMessageBoxFunction = int (*)(HWND hOwner, const wchar_t* pszText, const wchar_t* pszCaption, UINT nStyle);

inline int SystemMessageBox(HWND hOwner, const wchar_t* pszText, const wchar_t* pszCaption, UINT nStyle)
{
    return MessageBoxW(hOwner, pszText, pszCaption, nStyle);
}

inline std::atomic<UserMessageBoxFunction> g_userMessageBoxFunction{&SystemMessageBox};

// Shows a box (or whatever replaces it) and returns the button pressed; the
// run log records the text and the answer.
inline int UserMessageBox(HWND hOwner, const wchar_t* pszText, const wchar_t* pszCaption, UINT nStyle)
{
    const int answer = g_userMessageBoxFunction.load()(hOwner, pszText, pszCaption, nStyle);
    LogEvent(L"Message box \"" + std::wstring(pszCaption ? pszCaption : L"") + L"\": " + (pszText ? pszText : L"") +
             L" -> " + korvex::log::AnswerName(answer));
    return answer;
}

// Replaces the box function; null restores MessageBoxW. Returns the previous one.
inline UserMessageBoxFunction SetUserMessageBoxFunction(UserMessageBoxFunction function)
{
    return g_userMessageBoxFunction.exchange(function != nullptr ? function : &SystemMessageBox);
}
