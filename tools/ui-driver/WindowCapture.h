#pragma once
// Saves what a window shows on the screen as a PNG file, through the GDI+
// encoder. The window is copied from the screen, so owner-drawn and Direct2D
// content appears exactly as a user sees it; parts off the screen stay black.

#include <windows.h>

#include <string>

bool SaveWindowAsPng(HWND window, const std::wstring& path, std::wstring& error);
