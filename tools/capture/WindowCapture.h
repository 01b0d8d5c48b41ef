#pragma once
// Reads what the screen shows, as a user sees it: owner-drawn and Direct2D
// content included, parts off the screen black. Pictures are saved through
// the GDI+ encoders. Used by the gallery, the harness and the window tests,
// on any thread that may draw.
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
