#include "WindowCapture.h"

#include <gdiplus.h>

#include "base/GdiplusHandles.h"
#include "base/WinHandles.h"

namespace {

CapturedImage CaptureFromDC(HDC source, int x, int y, int width, int height, DWORD rasterOperation = SRCCOPY)
{
    CapturedImage image;
    if (width <= 0 || height <= 0) return image;
    void* bits = nullptr;
    const GdiBitmap dib(CreateTopDownDib(width, height, &bits));
    const MemoryDc memory(CreateCompatibleDC(source));
    if (!dib || !memory) return image;
    {
        const SelectedObject selected(memory.get(), dib.get());
        if (!BitBlt(memory.get(), 0, 0, width, height, source, x, y, rasterOperation)) return image;
        GdiFlush();
    }
    image.width = width;
    image.height = height;
    const auto* first = static_cast<const std::uint32_t*>(bits);
    image.pixels.assign(first, first + static_cast<size_t>(width) * height);
    for (std::uint32_t& pixel : image.pixels) pixel &= 0x00FFFFFF;
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
    const WindowDc dc(window, GetWindowDC(window));
    if (!dc) return {};
    return CaptureFromDC(dc.get(), 0, 0, bounds.right - bounds.left, bounds.bottom - bounds.top);
}

CapturedImage CaptureClient(HWND window)
{
    RECT client;
    if (!GetClientRect(window, &client)) return {};
    const WindowDc dc(window, GetDC(window));
    if (!dc) return {};
    return CaptureFromDC(dc.get(), 0, 0, client.right, client.bottom);
}

CapturedImage CaptureScreen(const RECT& area)
{
    const WindowDc dc(nullptr, GetDC(nullptr));
    if (!dc) return {};
    // CAPTUREBLT: layered windows in front are part of the picture.
    return CaptureFromDC(dc.get(), area.left, area.top, area.right - area.left, area.bottom - area.top,
                         SRCCOPY | CAPTUREBLT);
}

bool SavePicture(const CapturedImage& image, const std::wstring& path, PictureFormat format)
{
    if (image.IsEmpty()) return false;
    const GdiplusToken gdiplus = StartGdiplus();
    if (!gdiplus) return false;
    CLSID encoder;
    if (!FindEncoder(format == PictureFormat::Png ? L"image/png" : L"image/jpeg", encoder)) return false;
    std::vector<std::uint32_t> pixels = image.pixels;
    Gdiplus::GpBitmap* created = nullptr;
    if (Gdiplus::DllExports::GdipCreateBitmapFromScan0(image.width, image.height, image.width * 4, PixelFormat32bppRGB,
                                                       reinterpret_cast<BYTE*>(pixels.data()),
                                                       &created) != Gdiplus::Ok) {
        return false;
    }
    const GdiplusBitmap bitmap(created);
    return Gdiplus::DllExports::GdipSaveImageToFile(bitmap.get(), path.c_str(), &encoder, nullptr) == Gdiplus::Ok;
}
