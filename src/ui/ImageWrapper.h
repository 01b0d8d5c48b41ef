#pragma once
// Decoded pictures as DIB sections that GDI can AlphaBlend or BitBlt. PNG
// resources are decoded once, premultiplied and shared through a cache keyed
// by resource id that lives until the process ends; image files are decoded
// on request and belong to the caller.
#include <windows.h>

#include <memory>
#include <string_view>

#include "base/WinHandles.h"

class CString;

class CImageWrapper {
public:
    CImageWrapper() = default;
    CImageWrapper(HBITMAP decoded, int decodedWidth, int decodedHeight);
    CImageWrapper(const CImageWrapper&) = delete;
    CImageWrapper& operator=(const CImageWrapper&) = delete;

    // Hands the bitmap to the caller, who then deletes it.
    HBITMAP Detach();

    GdiBitmap bitmap;
    int width = 0;
    int height = 0;
    int frameCount = 1;
    int framesHorizontal = 1;
};

// The cached picture of a "PNG" resource; module null means the application.
// Empty when the resource does not exist (nothing is cached then).
std::shared_ptr<CImageWrapper> LoadPngResource(UINT id, HINSTANCE module = nullptr);

// The picture of a "PNG" resource recoloured (TintPremultipliedBgra with
// dark, light and lightLuma), cached apart from the plain pictures. Empty
// when the resource does not exist.
std::shared_ptr<CImageWrapper> LoadTintedPngResource(UINT id, COLORREF dark, COLORREF light, unsigned lightLuma);

// Null when the file does not exist; a wrapper with a null bitmap when it is
// not a picture GDI+ can read.
std::unique_ptr<CImageWrapper> LoadImageFile(const CString& path);

// The picture in a file's bytes, decoded as LoadImageFile() decodes the
// file; a null bitmap when GDI+ cannot read them.
std::unique_ptr<CImageWrapper> LoadImageBytes(std::string_view bytes);

// Number of cached resource pictures, for tests.
size_t CachedImageCount();
