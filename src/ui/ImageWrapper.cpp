#include "ui/ImageWrapper.h"

#include <objidl.h>
#include <shlwapi.h>
#include <wrl/client.h>

#include <gdiplus.h>
#include <cstdint>
#include <cstring>
#include <map>
#include <tuple>
#include <unordered_map>

#include "base/GdiplusHandles.h"
#include "base/WinHandles.h"
#include "mfc/AfxWin.h"
#include "ui/GdiplusSession.h"
#include "ui/ImagePixels.h"

using namespace korvex::ui;

using Microsoft::WRL::ComPtr;

namespace {

using ImageCache = std::unordered_map<std::uint32_t, std::shared_ptr<CImageWrapper>>;

ImageCache& Cache()
{
    static ImageCache cache;
    return cache;
}

// Keyed by resource id, dark colour and light colour.
using TintedImageCache = std::map<std::tuple<UINT, COLORREF, COLORREF>, std::shared_ptr<CImageWrapper>>;

TintedImageCache& TintedCache()
{
    static TintedImageCache cache;
    return cache;
}

struct DecodedBitmap {
    GdiBitmap bitmap;
    int width = 0;
    int height = 0;
};

HBITMAP CreateTopDownDib(int width, int height, int bitsPerPixel, void** bits)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = static_cast<WORD>(bitsPerPixel);
    info.bmiHeader.biCompression = BI_RGB;
    return CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, bits, nullptr, 0);
}

// Copies a GDI+ bitmap into a top-down DIB section of 24 or 32 bits.
DecodedBitmap ToDibSection(Gdiplus::GpBitmap* source, bool keepAlpha, bool premultiply)
{
    namespace flat = Gdiplus::DllExports;
    DecodedBitmap result;
    UINT width = 0;
    UINT height = 0;
    if (flat::GdipGetImageWidth(source, &width) != Gdiplus::Ok ||
        flat::GdipGetImageHeight(source, &height) != Gdiplus::Ok || width == 0 || height == 0 || width > 0x7FFF ||
        height > 0x7FFF) {
        return result;
    }
    Gdiplus::PixelFormat sourceFormat = 0;
    flat::GdipGetImagePixelFormat(source, &sourceFormat);
    const bool wantAlpha = keepAlpha || Gdiplus::IsAlphaPixelFormat(sourceFormat);
    const int bitsPerPixel = wantAlpha || Gdiplus::GetPixelFormatSize(sourceFormat) > 24 ? 32 : 24;
    const Gdiplus::PixelFormat lockFormat = bitsPerPixel == 32 ? PixelFormat32bppARGB : PixelFormat24bppRGB;
    const INT stride = static_cast<INT>(((width * bitsPerPixel + 31) / 32) * 4);

    void* bits = nullptr;
    GdiBitmap dib(CreateTopDownDib(static_cast<int>(width), static_cast<int>(height), bitsPerPixel, &bits));
    if (!dib) return result;

    // GDI+ writes straight into the DIB's pixels.
    Gdiplus::BitmapData data{};
    data.Width = width;
    data.Height = height;
    data.Stride = stride;
    data.PixelFormat = lockFormat;
    data.Scan0 = bits;
    const Gdiplus::GpRect area(0, 0, static_cast<INT>(width), static_cast<INT>(height));
    if (flat::GdipBitmapLockBits(source, &area, Gdiplus::ImageLockModeRead | Gdiplus::ImageLockModeUserInputBuf,
                                 lockFormat, &data) != Gdiplus::Ok) {
        return result;
    }
    flat::GdipBitmapUnlockBits(source, &data);
    if (premultiply && bitsPerPixel == 32) {
        PremultiplyBgra(static_cast<std::uint8_t*>(bits), static_cast<size_t>(width) * height);
    }
    result.bitmap = std::move(dib);
    result.width = static_cast<int>(width);
    result.height = static_cast<int>(height);
    return result;
}

DecodedBitmap DecodeBytes(const void* bytes, DWORD size, bool keepAlpha)
{
    const GlobalMemory memory(GlobalAlloc(GMEM_MOVEABLE, size));
    if (!memory.get()) return {};
    void* target = GlobalLock(memory.get());
    if (!target) return {};
    std::memcpy(target, bytes, size);
    GlobalUnlock(memory.get());
    ComPtr<IStream> stream;
    if (FAILED(CreateStreamOnHGlobal(memory.get(), FALSE, &stream))) return {};
    if (!GdiplusSession::EnsureRunning()) return {};
    Gdiplus::GpBitmap* created = nullptr;
    if (Gdiplus::DllExports::GdipCreateBitmapFromStream(stream.Get(), &created) != Gdiplus::Ok) return {};
    const GdiplusBitmap bitmap(created);
    return ToDibSection(bitmap.get(), keepAlpha, keepAlpha);
}

}  // namespace

CImageWrapper::CImageWrapper(HBITMAP decoded, int decodedWidth, int decodedHeight)
    : bitmap(decoded), width(decodedWidth), height(decodedHeight)
{}

HBITMAP CImageWrapper::Detach()
{
    return bitmap.release();
}

std::shared_ptr<CImageWrapper> LoadPngResource(UINT id, HINSTANCE module)
{
    ImageCache& cache = Cache();
    if (auto hit = cache.find(id); hit != cache.end()) return hit->second;
    if (!module) module = AfxGetResourceHandle();
    HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(id), L"PNG");
    if (!resource) return {};
    HGLOBAL loaded = LoadResource(module, resource);
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    const DWORD size = SizeofResource(module, resource);
    if (!bytes || size == 0) return {};
    DecodedBitmap decoded = DecodeBytes(bytes, size, true);
    auto image = std::make_shared<CImageWrapper>(decoded.bitmap.release(), decoded.width, decoded.height);
    cache.emplace(id, image);
    return image;
}

std::shared_ptr<CImageWrapper> LoadTintedPngResource(UINT id, COLORREF dark, COLORREF light, unsigned lightLuma)
{
    TintedImageCache& cache = TintedCache();
    const auto key = std::make_tuple(id, dark, light);
    if (auto hit = cache.find(key); hit != cache.end()) return hit->second;
    const std::shared_ptr<CImageWrapper> plain = LoadPngResource(id);
    DIBSECTION section{};
    if (!plain || !plain->bitmap || GetObjectW(plain->bitmap.get(), sizeof(section), &section) != sizeof(section) ||
        section.dsBm.bmBitsPixel != 32 || !section.dsBm.bmBits) {
        return plain;
    }
    void* bits = nullptr;
    GdiBitmap copy(CreateTopDownDib(plain->width, plain->height, 32, &bits));
    if (!copy) return plain;
    const size_t pixels = static_cast<size_t>(plain->width) * plain->height;
    std::memcpy(bits, section.dsBm.bmBits, pixels * 4);
    TintPremultipliedBgra(static_cast<std::uint8_t*>(bits), pixels, dark, light, lightLuma);
    auto image = std::make_shared<CImageWrapper>(copy.release(), plain->width, plain->height);
    image->frameCount = plain->frameCount;
    image->framesHorizontal = plain->framesHorizontal;
    cache.emplace(key, image);
    return image;
}

std::unique_ptr<CImageWrapper> LoadImageFile(const CString& path)
{
    if (!PathFileExistsW(path)) return nullptr;
    DecodedBitmap decoded;
    GdiplusSession gdiplus;
    if (gdiplus.IsRunning()) {
        Gdiplus::GpBitmap* created = nullptr;
        if (Gdiplus::DllExports::GdipCreateBitmapFromFile(path, &created) == Gdiplus::Ok) {
            const GdiplusBitmap bitmap(created);
            decoded = ToDibSection(bitmap.get(), false, false);
        }
    }
    return std::make_unique<CImageWrapper>(decoded.bitmap.release(), decoded.width, decoded.height);
}

std::unique_ptr<CImageWrapper> LoadImageBytes(std::string_view bytes)
{
    DecodedBitmap decoded = bytes.empty() || bytes.size() > MAXDWORD
                                ? DecodedBitmap{}
                                : DecodeBytes(bytes.data(), static_cast<DWORD>(bytes.size()), false);
    return std::make_unique<CImageWrapper>(decoded.bitmap.release(), decoded.width, decoded.height);
}

size_t CachedImageCount()
{
    return Cache().size();
}
