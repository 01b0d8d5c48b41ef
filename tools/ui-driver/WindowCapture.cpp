#include "WindowCapture.h"

#include <gdiplus.h>

#include <vector>

namespace {

class ScreenDc {
public:
    ScreenDc() : m_hDc(GetDC(nullptr)) {}
    ~ScreenDc()
    {
        if (m_hDc) ReleaseDC(nullptr, m_hDc);
    }
    ScreenDc(const ScreenDc&) = delete;
    ScreenDc& operator=(const ScreenDc&) = delete;
    HDC get() const { return m_hDc; }

private:
    HDC m_hDc;
};

class MemoryDc {
public:
    explicit MemoryDc(HDC compatible) : m_hDc(CreateCompatibleDC(compatible)) {}
    ~MemoryDc()
    {
        if (m_hDc) DeleteDC(m_hDc);
    }
    MemoryDc(const MemoryDc&) = delete;
    MemoryDc& operator=(const MemoryDc&) = delete;
    HDC get() const { return m_hDc; }

private:
    HDC m_hDc;
};

class GdiBitmap {
public:
    explicit GdiBitmap(HBITMAP bitmap) : m_hBitmap(bitmap) {}
    ~GdiBitmap()
    {
        if (m_hBitmap) DeleteObject(m_hBitmap);
    }
    GdiBitmap(const GdiBitmap&) = delete;
    GdiBitmap& operator=(const GdiBitmap&) = delete;
    HBITMAP get() const { return m_hBitmap; }

private:
    HBITMAP m_hBitmap;
};

class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object) : m_hDc(dc), m_hPrevious(SelectObject(dc, object)) {}
    ~SelectedObject() { SelectObject(m_hDc, m_hPrevious); }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

private:
    HDC m_hDc;
    HGDIOBJ m_hPrevious;
};

class GdiplusSession {
public:
    GdiplusSession()
    {
        Gdiplus::GdiplusStartupInput input;
        m_bStarted = Gdiplus::GdiplusStartup(&m_token, &input, nullptr) == Gdiplus::Ok;
    }
    ~GdiplusSession()
    {
        if (m_bStarted) Gdiplus::GdiplusShutdown(m_token);
    }
    GdiplusSession(const GdiplusSession&) = delete;
    GdiplusSession& operator=(const GdiplusSession&) = delete;
    bool started() const { return m_bStarted; }

private:
    ULONG_PTR m_token = 0;
    bool m_bStarted = false;
};

bool FindPngEncoder(CLSID& encoder)
{
    UINT count = 0, size = 0;
    if (Gdiplus::GetImageEncodersSize(&count, &size) != Gdiplus::Ok || size == 0) return false;
    std::vector<BYTE> buffer(size);
    auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    if (Gdiplus::GetImageEncoders(count, size, codecs) != Gdiplus::Ok) return false;
    for (UINT i = 0; i < count; ++i) {
        if (codecs[i].MimeType && wcscmp(codecs[i].MimeType, L"image/png") == 0) {
            encoder = codecs[i].Clsid;
            return true;
        }
    }
    return false;
}

}  // namespace

bool SaveWindowAsPng(HWND window, const std::wstring& path, std::wstring& error)
{
    RECT rect;
    if (!IsWindow(window) || !GetWindowRect(window, &rect)) {
        error = L"no such window";
        return false;
    }
    int width = rect.right - rect.left, height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) {
        error = L"the window has no area";
        return false;
    }

    ScreenDc screen;
    MemoryDc memory(screen.get());
    GdiBitmap bitmap(CreateCompatibleBitmap(screen.get(), width, height));
    if (!screen.get() || !memory.get() || !bitmap.get()) {
        error = L"cannot create the capture bitmap";
        return false;
    }
    {
        SelectedObject selected(memory.get(), bitmap.get());
        if (!BitBlt(memory.get(), 0, 0, width, height, screen.get(), rect.left, rect.top, SRCCOPY | CAPTUREBLT)) {
            error = L"cannot copy the window from the screen";
            return false;
        }
    }

    GdiplusSession gdiplus;
    CLSID encoder;
    if (!gdiplus.started() || !FindPngEncoder(encoder)) {
        error = L"GDI+ has no PNG encoder";
        return false;
    }
    Gdiplus::Bitmap image(bitmap.get(), nullptr);
    if (image.GetLastStatus() != Gdiplus::Ok || image.Save(path.c_str(), &encoder, nullptr) != Gdiplus::Ok) {
        error = L"cannot write " + path;
        return false;
    }
    return true;
}
