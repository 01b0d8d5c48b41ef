#pragma once
// GDI object wrappers. Each owns its handle and deletes it on destruction;
// copying is forbidden so no handle is ever deleted twice. Attach and Detach
// move ownership in and out explicitly. Objects that CDC::SelectObject hands
// back for a previous selection only borrow their handle.

#include <windows.h>

class CDC;

class CGdiObject {
public:
    CGdiObject() = default;
    virtual ~CGdiObject();
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;

    HGDIOBJ m_hObject = nullptr;

    HGDIOBJ GetSafeHandle() const noexcept { return m_hObject; }
    operator HGDIOBJ() const noexcept { return m_hObject; }
    BOOL Attach(HGDIOBJ handle);
    HGDIOBJ Detach() noexcept;
    BOOL DeleteObject();
    int GetObject(int size, void* buffer) const;
};

class CFont : public CGdiObject {
public:
    operator HFONT() const noexcept { return static_cast<HFONT>(m_hObject); }
    // A borrowed wrapper, valid until the framework's next idle clean-up.
    static CFont* FromHandle(HFONT font);
    BOOL CreateFontIndirect(const LOGFONTW* logFont);
    BOOL CreateFont(int height, int width, int escapement, int orientation, int weight, BYTE italic, BYTE underline,
                    BYTE strikeOut, BYTE charSet, BYTE outPrecision, BYTE clipPrecision, BYTE quality,
                    BYTE pitchAndFamily, const wchar_t* faceName);
    // Height in tenths of a point for the screen's DPI, as MFC does.
    BOOL CreatePointFont(int pointSizeTenths, const wchar_t* faceName);
    int GetLogFont(LOGFONTW* logFont) const { return GetObject(sizeof(LOGFONTW), logFont); }
};

class CBrush : public CGdiObject {
public:
    CBrush() = default;
    explicit CBrush(COLORREF color) { CreateSolidBrush(color); }
    operator HBRUSH() const noexcept { return static_cast<HBRUSH>(m_hObject); }
    BOOL CreateSolidBrush(COLORREF color);
};

class CPen : public CGdiObject {
public:
    CPen() = default;
    CPen(int style, int width, COLORREF color) { CreatePen(style, width, color); }
    operator HPEN() const noexcept { return static_cast<HPEN>(m_hObject); }
    BOOL CreatePen(int style, int width, COLORREF color);
};

class CBitmap : public CGdiObject {
public:
    operator HBITMAP() const noexcept { return static_cast<HBITMAP>(m_hObject); }
    BOOL CreateCompatibleBitmap(CDC* dc, int width, int height);
    BOOL CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits);
    BOOL LoadBitmap(UINT resourceId);
    int GetBitmap(BITMAP* info) const { return GetObject(sizeof(BITMAP), info); }
};

class CRgn : public CGdiObject {
public:
    operator HRGN() const noexcept { return static_cast<HRGN>(m_hObject); }
    BOOL CreateRectRgn(int left, int top, int right, int bottom);
    BOOL CreateRectRgnIndirect(LPCRECT rect);
    BOOL CreateRoundRectRgn(int left, int top, int right, int bottom, int ellipseWidth, int ellipseHeight);
};
