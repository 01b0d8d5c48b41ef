#include "WindowCapture.h"

#include <gdiplus.h>

#include "mfc/AfxWin.h"
#include "ui/GdiplusSession.h"

namespace {

CapturedImage CaptureFromDC(HDC source, int x, int y, int width, int height)
{
    CapturedImage image;
    if (width <= 0 || height <= 0) return image;
    void* bits = nullptr;
    HBITMAP dib = CreateTopDownDib(width, height, &bits);
    if (!dib) return image;
    HDC memory = CreateCompatibleDC(source);
    HGDIOBJ previous = SelectObject(memory, dib);
    const bool copied = BitBlt(memory, 0, 0, width, height, source, x, y, SRCCOPY) != FALSE;
    GdiFlush();
    if (copied) {
        image.width = width;
        image.height = height;
        const auto* first = static_cast<const std::uint32_t*>(bits);
        image.pixels.assign(first, first + static_cast<size_t>(width) * height);
        for (std::uint32_t& pixel : image.pixels) pixel &= 0x00FFFFFF;
    }
    SelectObject(memory, previous);
    DeleteDC(memory);
    DeleteObject(dib);
    return image;
}

bool FindEncoder(const wchar_t* mimeType, CLSID& encoder)
{
    UINT count = 0;
    UINT bytes = 0;
    if (Gdiplus::DllExports::GdipGetImageEncodersSize(&count, &bytes) != Gdiplus::Ok || bytes == 0) return false;
    std::vector<std::uint8_t> buffer(bytes);
    auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    if (Gdiplus::DllExports::GdipGetImageEncoders(count, bytes, codecs) != Gdiplus::Ok) return false;
    for (UINT i = 0; i < count; ++i) {
        if (lstrcmpiW(codecs[i].MimeType, mimeType) == 0) {
            encoder = codecs[i].Clsid;
            return true;
        }
    }
    return false;
}

}  // namespace

HBITMAP CreateTopDownDib(int width, int height, void** bits)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, bits, nullptr, 0);
}

COLORREF CapturedImage::At(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width || y >= height) return CLR_INVALID;
    const std::uint32_t pixel = pixels[static_cast<size_t>(y) * width + x];
    return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
}

CapturedImage CaptureWindow(HWND window)
{
    RECT bounds;
    if (!GetWindowRect(window, &bounds)) return {};
    HDC dc = GetWindowDC(window);
    if (!dc) return {};
    CapturedImage image = CaptureFromDC(dc, 0, 0, bounds.right - bounds.left, bounds.bottom - bounds.top);
    ReleaseDC(window, dc);
    return image;
}

CapturedImage CaptureClient(HWND window)
{
    RECT client;
    if (!GetClientRect(window, &client)) return {};
    HDC dc = GetDC(window);
    if (!dc) return {};
    CapturedImage image = CaptureFromDC(dc, 0, 0, client.right, client.bottom);
    ReleaseDC(window, dc);
    return image;
}

CapturedImage CaptureScreen(const RECT& area)
{
    HDC dc = GetDC(nullptr);
    if (!dc) return {};
    CapturedImage image = CaptureFromDC(dc, area.left, area.top, area.right - area.left, area.bottom - area.top);
    ReleaseDC(nullptr, dc);
    return image;
}

bool SavePicture(const CapturedImage& image, const std::wstring& path, PictureFormat format)
{
    if (image.IsEmpty()) return false;
    GdiplusSession gdiplus;
    if (!gdiplus.IsRunning()) return false;
    CLSID encoder;
    if (!FindEncoder(format == PictureFormat::Png ? L"image/png" : L"image/jpeg", encoder)) return false;
    std::vector<std::uint32_t> pixels = image.pixels;
    Gdiplus::GpBitmap* bitmap = nullptr;
    if (Gdiplus::DllExports::GdipCreateBitmapFromScan0(image.width, image.height, image.width * 4, PixelFormat32bppRGB,
                                                       reinterpret_cast<BYTE*>(pixels.data()),
                                                       &bitmap) != Gdiplus::Ok) {
        return false;
    }
    const bool saved = Gdiplus::DllExports::GdipSaveImageToFile(bitmap, path.c_str(), &encoder, nullptr) == Gdiplus::Ok;
    Gdiplus::DllExports::GdipDisposeImage(bitmap);
    return saved;
}

void PumpMessages(DWORD milliseconds)
{
    const ULONGLONG end = GetTickCount64() + milliseconds;
    MSG msg;
    do {
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (AfxWalkPreTranslateTree(nullptr, &msg)) continue;
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(5);
    } while (GetTickCount64() < end);
}
