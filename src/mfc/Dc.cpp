#include "mfc/Dc.h"

#include "mfc/ThreadState.h"
#include "mfc/Wnd.h"

CDC::~CDC()
{
    if (m_bOwnsDC) {
        DeleteDC();
    } else {
        Detach();
    }
}

CDC* CDC::FromHandle(HDC hdc)
{
    if (!hdc) return nullptr;
    auto dc = std::make_unique<CDC>();
    dc->m_hDC = hdc;
    CDC* result = dc.get();
    AfxGetThreadState().m_temporaryDCs.push_back(std::move(dc));
    return result;
}

BOOL CDC::Attach(HDC hdc)
{
    if (!hdc || m_hDC) return FALSE;
    m_hDC = hdc;
    m_bOwnsDC = false;
    return TRUE;
}

HDC CDC::Detach()
{
    RestoreSelections();
    HDC hdc = m_hDC;
    m_hDC = nullptr;
    m_bOwnsDC = false;
    return hdc;
}

BOOL CDC::CreateCompatibleDC(CDC* dc)
{
    if (m_hDC) return FALSE;
    m_hDC = ::CreateCompatibleDC(dc ? dc->m_hDC : nullptr);
    m_bOwnsDC = m_hDC != nullptr;
    return m_bOwnsDC;
}

BOOL CDC::DeleteDC()
{
    if (!m_hDC || !m_bOwnsDC) return FALSE;
    RestoreSelections();
    BOOL deleted = ::DeleteDC(m_hDC);
    m_hDC = nullptr;
    m_bOwnsDC = false;
    return deleted;
}

void CDC::RememberOriginal(HGDIOBJ previous)
{
    if (!previous) return;
    DWORD type = ::GetObjectType(previous);
    for (HGDIOBJ original : m_originals) {
        if (::GetObjectType(original) == type) return;
    }
    m_originals.push_back(previous);
}

void CDC::RestoreSelections()
{
    if (m_hDC) {
        for (HGDIOBJ original : m_originals) ::SelectObject(m_hDC, original);
    }
    m_originals.clear();
    for (auto& borrowed : m_borrowed) borrowed->Detach();
    m_borrowed.clear();
}

template <class T>
T* CDC::Borrowed(HGDIOBJ handle)
{
    if (!handle) return nullptr;
    auto wrapper = std::make_unique<T>();
    wrapper->m_hObject = handle;
    T* result = wrapper.get();
    m_borrowed.push_back(std::move(wrapper));
    return result;
}

HGDIOBJ CDC::SelectObject(HGDIOBJ object)
{
    if (!m_hDC || !object) return nullptr;
    HGDIOBJ previous = ::SelectObject(m_hDC, object);
    RememberOriginal(previous);
    return previous;
}

CFont* CDC::SelectObject(CFont* font)
{
    return font ? Borrowed<CFont>(SelectObject(font->m_hObject)) : nullptr;
}

CBrush* CDC::SelectObject(CBrush* brush)
{
    return brush ? Borrowed<CBrush>(SelectObject(brush->m_hObject)) : nullptr;
}

CPen* CDC::SelectObject(CPen* pen)
{
    return pen ? Borrowed<CPen>(SelectObject(pen->m_hObject)) : nullptr;
}

CBitmap* CDC::SelectObject(CBitmap* bitmap)
{
    return bitmap ? Borrowed<CBitmap>(SelectObject(bitmap->m_hObject)) : nullptr;
}

CGdiObject* CDC::SelectStockObject(int index)
{
    return Borrowed<CGdiObject>(SelectObject(::GetStockObject(index)));
}

CFont* CDC::GetCurrentFont()
{
    return Borrowed<CFont>(::GetCurrentObject(m_hDC, OBJ_FONT));
}

void CDC::FillSolidRect(LPCRECT rect, COLORREF color)
{
    COLORREF previous = ::SetBkColor(m_hDC, color);
    ::ExtTextOutW(m_hDC, 0, 0, ETO_OPAQUE, rect, nullptr, 0, nullptr);
    ::SetBkColor(m_hDC, previous);
}

void CDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF color)
{
    RECT rect = {x, y, x + cx, y + cy};
    FillSolidRect(&rect, color);
}

CPoint CDC::MoveTo(int x, int y)
{
    POINT previous = {};
    ::MoveToEx(m_hDC, x, y, &previous);
    return CPoint(previous);
}

CSize CDC::GetTextExtent(const wchar_t* text, int count) const
{
    SIZE size = {};
    ::GetTextExtentPoint32W(m_hDC, text, count, &size);
    return CSize(size);
}

BOOL CDC::BitBlt(int x, int y, int width, int height, CDC* source, int xSrc, int ySrc, DWORD rop)
{
    return ::BitBlt(m_hDC, x, y, width, height, source ? source->m_hDC : nullptr, xSrc, ySrc, rop);
}

BOOL CDC::StretchBlt(int x, int y, int width, int height, CDC* source, int xSrc, int ySrc, int srcWidth, int srcHeight,
                     DWORD rop)
{
    return ::StretchBlt(m_hDC, x, y, width, height, source ? source->m_hDC : nullptr, xSrc, ySrc, srcWidth, srcHeight,
                        rop);
}

BOOL CDC::AlphaBlend(int x, int y, int width, int height, CDC* source, int xSrc, int ySrc, int srcWidth, int srcHeight,
                     BLENDFUNCTION blend)
{
    if (!source) return FALSE;
    return ::GdiAlphaBlend(m_hDC, x, y, width, height, source->m_hDC, xSrc, ySrc, srcWidth, srcHeight, blend);
}

CPaintDC::CPaintDC(CWnd* wnd) : m_hWnd(wnd->m_hWnd)
{
    Attach(::BeginPaint(m_hWnd, &m_ps));
}

CPaintDC::~CPaintDC()
{
    Detach();
    ::EndPaint(m_hWnd, &m_ps);
}

CClientDC::CClientDC(CWnd* wnd) : m_hWnd(wnd ? wnd->m_hWnd : nullptr)
{
    Attach(::GetDC(m_hWnd));
}

CClientDC::~CClientDC()
{
    HDC hdc = Detach();
    if (hdc) ::ReleaseDC(m_hWnd, hdc);
}

CWindowDC::CWindowDC(CWnd* wnd) : m_hWnd(wnd ? wnd->m_hWnd : nullptr)
{
    Attach(::GetWindowDC(m_hWnd));
}

CWindowDC::~CWindowDC()
{
    HDC hdc = Detach();
    if (hdc) ::ReleaseDC(m_hWnd, hdc);
}
