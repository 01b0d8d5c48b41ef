#include "ui/MemoryCanvas.h"

MemoryCanvas::MemoryCanvas(CDC& target, int width, int height) : m_nWidth(width), m_nHeight(height)
{
    if (width <= 0 || height <= 0) return;
    if (!m_dc.CreateCompatibleDC(&target)) return;
    if (!m_bitmap.CreateCompatibleBitmap(&target, width, height)) return;
    m_dc.SelectObject(&m_bitmap);
    m_bReady = true;
}

void MemoryCanvas::CopyTo(CDC& target, int x, int y)
{
    if (m_bReady) target.BitBlt(x, y, m_nWidth, m_nHeight, &m_dc, 0, 0, SRCCOPY);
}

BitmapSource::BitmapSource(CDC& compatibleWith, HBITMAP bitmap)
{
    if (!bitmap || !m_dc.CreateCompatibleDC(&compatibleWith)) return;
    m_bReady = m_dc.SelectObject(static_cast<HGDIOBJ>(bitmap)) != nullptr;
}

WindowAreas GetWindowAreas(const CWnd& wnd)
{
    WindowAreas areas;
    wnd.GetWindowRect(&areas.window);
    wnd.GetClientRect(&areas.client);
    wnd.ClientToScreen(&areas.client);
    areas.client.OffsetRect(-areas.window.left, -areas.window.top);
    areas.window.OffsetRect(-areas.window.left, -areas.window.top);
    return areas;
}
