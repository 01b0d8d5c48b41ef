#pragma once
// Owners for GDI+: a bitmap made through the flat API, and a GDI+ start-up
// that shuts down again. Release bitmaps while GDI+ still runs, so declare
// the token first.

#include <windows.h>

#include <objidl.h>

#include <gdiplus.h>

#include "base/UniqueHandle.h"

struct GdiplusBitmapTraits {
    using Handle = Gdiplus::GpBitmap*;
    static Handle Invalid() noexcept { return nullptr; }
    static void Close(Handle handle) noexcept { Gdiplus::DllExports::GdipDisposeImage(handle); }
};

struct GdiplusTokenTraits {
    using Handle = ULONG_PTR;
    static Handle Invalid() noexcept { return 0; }
    static void Close(Handle handle) noexcept { Gdiplus::GdiplusShutdown(handle); }
};

using GdiplusBitmap = UniqueHandle<GdiplusBitmapTraits>;
using GdiplusToken = UniqueHandle<GdiplusTokenTraits>;

// Starts GDI+ for the caller; an empty token when it cannot start.
inline GdiplusToken StartGdiplus()
{
    const Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok) return GdiplusToken();
    return GdiplusToken(token);
}
