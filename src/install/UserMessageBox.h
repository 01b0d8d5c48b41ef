#pragma once
// Every message the installer shows the user goes through UserMessageBox, so
// the whole product can run headless: the product shows MessageBoxW, a test
// installs a function that records the box and answers it. Header only, so
// any subsystem can use it without linking the installation engine.

#include <windows.h>

#include <atomic>

using UserMessageBoxFunction = int (*)(HWND hOwner, const wchar_t* pszText, const wchar_t* pszCaption, UINT nStyle);

inline int SystemMessageBox(HWND hOwner, const wchar_t* pszText, const wchar_t* pszCaption, UINT nStyle)
{
    return MessageBoxW(hOwner, pszText, pszCaption, nStyle);
}

inline std::atomic<UserMessageBoxFunction> g_userMessageBoxFunction{&SystemMessageBox};

// Shows a box (or whatever replaces it) and returns the button pressed.
inline int UserMessageBox(HWND hOwner, const wchar_t* pszText, const wchar_t* pszCaption, UINT nStyle)
{
    return g_userMessageBoxFunction.load()(hOwner, pszText, pszCaption, nStyle);
}

// Replaces the box function; null restores MessageBoxW. Returns the previous one.
inline UserMessageBoxFunction SetUserMessageBoxFunction(UserMessageBoxFunction function)
{
    return g_userMessageBoxFunction.exchange(function != nullptr ? function : &SystemMessageBox);
}
