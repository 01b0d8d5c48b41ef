#pragma once
// The owners of Windows handles, one traits type per release call. Each
// owner is single-threaded like the handle it holds; move it to hand over.

#include <windows.h>
#include <wininet.h>

#include "base/UniqueHandle.h"

struct InternetHandleTraits {
    using Handle = HINTERNET;
    static Handle Invalid() noexcept { return nullptr; }
    static void Close(Handle handle) noexcept { InternetCloseHandle(handle); }
};

// CreateFile reports failure as INVALID_HANDLE_VALUE, not as null.
struct FileHandleTraits {
    using Handle = HANDLE;
    static Handle Invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void Close(Handle handle) noexcept { CloseHandle(handle); }
};

// Events, semaphores, processes, threads: null on failure.
struct KernelHandleTraits {
    using Handle = HANDLE;
    static Handle Invalid() noexcept { return nullptr; }
    static void Close(Handle handle) noexcept { CloseHandle(handle); }
};

// FindFirstFile, like CreateFile, fails with INVALID_HANDLE_VALUE.
struct FindHandleTraits {
    using Handle = HANDLE;
    static Handle Invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void Close(Handle handle) noexcept { FindClose(handle); }
};

struct RegistryKeyTraits {
    using Handle = HKEY;
    static Handle Invalid() noexcept { return nullptr; }
    static void Close(Handle handle) noexcept { RegCloseKey(handle); }
};

struct GlobalMemoryTraits {
    using Handle = HGLOBAL;
    static Handle Invalid() noexcept { return nullptr; }
    static void Close(Handle handle) noexcept { GlobalFree(handle); }
};

// Memory the system hands out for LocalFree (CommandLineToArgvW, security
// descriptors).
struct LocalMemoryTraits {
    using Handle = HLOCAL;
    static Handle Invalid() noexcept { return nullptr; }
    static void Close(Handle handle) noexcept { LocalFree(handle); }
};

// Pens, brushes, fonts, bitmaps: never delete one while it is selected into
// a DC (see SelectedObject).
template <class Object>
struct GdiObjectTraits {
    using Handle = Object;
    static Handle Invalid() noexcept { return nullptr; }
    static void Close(Handle handle) noexcept { DeleteObject(handle); }
};

// A DC of CreateCompatibleDC; window DCs go back through WindowDc.
struct MemoryDcTraits {
    using Handle = HDC;
    static Handle Invalid() noexcept { return nullptr; }
    static void Close(Handle handle) noexcept { DeleteDC(handle); }
};

struct IconTraits {
    using Handle = HICON;
    static Handle Invalid() noexcept { return nullptr; }
    static void Close(Handle handle) noexcept { DestroyIcon(handle); }
};

// BeginUpdateResource: an update that is not committed is thrown away, so the
// file keeps none of its changes.
struct ResourceUpdateTraits {
    using Handle = HANDLE;
    static Handle Invalid() noexcept { return nullptr; }
    static void Close(Handle handle) noexcept { EndUpdateResourceW(handle, TRUE); }
};

struct ModuleTraits {
    using Handle = HMODULE;
    static Handle Invalid() noexcept { return nullptr; }
    static void Close(Handle handle) noexcept { FreeLibrary(handle); }
};

// A window nothing else destroys (no framework object owns it).
struct WindowTraits {
    using Handle = HWND;
    static Handle Invalid() noexcept { return nullptr; }
    static void Close(Handle handle) noexcept { DestroyWindow(handle); }
};

using InternetHandle = UniqueHandle<InternetHandleTraits>;
using FileHandle = UniqueHandle<FileHandleTraits>;
using KernelHandle = UniqueHandle<KernelHandleTraits>;
using FindHandle = UniqueHandle<FindHandleTraits>;
using RegistryKeyHandle = UniqueHandle<RegistryKeyTraits>;
using GlobalMemory = UniqueHandle<GlobalMemoryTraits>;
using LocalMemory = UniqueHandle<LocalMemoryTraits>;
template <class Object>
using GdiObject = UniqueHandle<GdiObjectTraits<Object>>;
using GdiBitmap = GdiObject<HBITMAP>;
using GdiBrush = GdiObject<HBRUSH>;
using MemoryDc = UniqueHandle<MemoryDcTraits>;
using IconHandle = UniqueHandle<IconTraits>;
using ResourceUpdate = UniqueHandle<ResourceUpdateTraits>;
using ModuleHandle = UniqueHandle<ModuleTraits>;
using WindowHandle = UniqueHandle<WindowTraits>;

// A DC borrowed from a window (null: the screen), given back to that window.
class WindowDc {
public:
    explicit WindowDc(HWND window, HDC dc) noexcept : m_hWindow(window), m_hDc(dc) {}
    ~WindowDc()
    {
        if (m_hDc) ReleaseDC(m_hWindow, m_hDc);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;

    HDC get() const noexcept { return m_hDc; }
    explicit operator bool() const noexcept { return m_hDc != nullptr; }

private:
    HWND m_hWindow;
    HDC m_hDc;
};

// Selects an object into a DC and puts the previous one back, so that the
// object's owner can delete it afterwards.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object) noexcept : m_hDc(dc), m_hPrevious(SelectObject(dc, object)) {}
    ~SelectedObject()
    {
        if (m_hPrevious) SelectObject(m_hDc, m_hPrevious);
    }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

private:
    HDC m_hDc;
    HGDIOBJ m_hPrevious;
};
