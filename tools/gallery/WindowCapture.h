#pragma once
// Test and gallery helpers: read a window's pixels as the screen shows them,
// save pictures through GDI+, and let queued messages run.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

struct CapturedImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;  // 0x00RRGGBB, top row first

    COLORREF At(int x, int y) const;
    bool IsEmpty() const { return pixels.empty(); }
};

// A 32-bit top-down DIB section; bits receives its pixels.
HBITMAP CreateTopDownDib(int width, int height, void** bits);

// The whole window, non-client area included.
CapturedImage CaptureWindow(HWND window);
// The part of the window's client area.
CapturedImage CaptureClient(HWND window);
// What the screen shows in a rectangle, popups in front included.
CapturedImage CaptureScreen(const RECT& area);

enum class PictureFormat { Png, Jpeg };
bool SavePicture(const CapturedImage& image, const std::wstring& path, PictureFormat format);

// Dispatches queued messages for about the given time, passing each through
// the framework's PreTranslateMessage chain first as the modal loop does.
void PumpMessages(DWORD milliseconds);

// Dispatches messages until the condition holds or the time is up; true
// when it holds. For effects that arrive through the X server.
template <class Condition>
bool PumpUntil(Condition condition, DWORD timeoutMilliseconds)
{
    const ULONGLONG end = GetTickCount64() + timeoutMilliseconds;
    while (!condition()) {
        if (GetTickCount64() >= end) return false;
        PumpMessages(10);
    }
    return true;
}
