#pragma once
// An off-screen bitmap compatible with a target DC, for flicker-free painting:
// draw everything into dc(), then CopyTo the target in one blit.
#include "mfc/AfxWin.h"

class MemoryCanvas {
public:
    MemoryCanvas(CDC& target, int width, int height);
    MemoryCanvas(const MemoryCanvas&) = delete;
    MemoryCanvas& operator=(const MemoryCanvas&) = delete;

    bool IsReady() const { return m_bReady; }
    CDC& dc() { return m_dc; }
    void CopyTo(CDC& target, int x, int y);

private:
    // Declared before the DC so the DC lets go of it before it is deleted.
    CBitmap m_bitmap;
    CDC m_dc;
    int m_nWidth;
    int m_nHeight;
    bool m_bReady = false;
};

// The window rectangle at the origin and the client area inside it, for
// painting the non-client area through a window DC.
struct WindowAreas {
    CRect window;
    CRect client;
};
WindowAreas GetWindowAreas(const CWnd& wnd);

// A borrowed bitmap selected into a fresh memory DC, for blits from it.
class BitmapSource {
public:
    BitmapSource(CDC& compatibleWith, HBITMAP bitmap);
    BitmapSource(const BitmapSource&) = delete;
    BitmapSource& operator=(const BitmapSource&) = delete;

    bool IsReady() const { return m_bReady; }
    CDC& dc() { return m_dc; }

private:
    CDC m_dc;
    bool m_bReady = false;
};
