#pragma once
// CPoint, CSize and CRect: the Win32 POINT, SIZE and RECT with the arithmetic
// the windows use. They derive from the Win32 structs so they pass wherever
// a POINT*, SIZE* or RECT* is expected.

#include <windows.h>

class CSize;
class CRect;

class CPoint : public POINT {
public:
    CPoint() noexcept
    {
        x = 0;
        y = 0;
    }
    CPoint(int initX, int initY) noexcept
    {
        x = initX;
        y = initY;
    }
    CPoint(POINT pt) noexcept
    {
        x = pt.x;
        y = pt.y;
    }
    // Unpacks the coordinates of a mouse message's lParam.
    explicit CPoint(LPARAM packed) noexcept
    {
        x = static_cast<short>(LOWORD(packed));
        y = static_cast<short>(HIWORD(packed));
    }

    void Offset(int dx, int dy) noexcept
    {
        x += dx;
        y += dy;
    }
    void SetPoint(int newX, int newY) noexcept
    {
        x = newX;
        y = newY;
    }
    bool operator==(const POINT& other) const noexcept { return x == other.x && y == other.y; }
    bool operator!=(const POINT& other) const noexcept { return !(*this == other); }
    CPoint operator+(const POINT& other) const noexcept { return CPoint(x + other.x, y + other.y); }
    CPoint operator-(const POINT& other) const noexcept { return CPoint(x - other.x, y - other.y); }
    CPoint operator-() const noexcept { return CPoint(-x, -y); }
    CPoint& operator+=(const POINT& other) noexcept
    {
        x += other.x;
        y += other.y;
        return *this;
    }
    CPoint& operator-=(const POINT& other) noexcept
    {
        x -= other.x;
        y -= other.y;
        return *this;
    }
};

class CSize : public SIZE {
public:
    CSize() noexcept
    {
        cx = 0;
        cy = 0;
    }
    CSize(int initCX, int initCY) noexcept
    {
        cx = initCX;
        cy = initCY;
    }
    CSize(SIZE size) noexcept
    {
        cx = size.cx;
        cy = size.cy;
    }

    void SetSize(int newCX, int newCY) noexcept
    {
        cx = newCX;
        cy = newCY;
    }
    bool operator==(const SIZE& other) const noexcept { return cx == other.cx && cy == other.cy; }
    bool operator!=(const SIZE& other) const noexcept { return !(*this == other); }
    CSize operator+(const SIZE& other) const noexcept { return CSize(cx + other.cx, cy + other.cy); }
    CSize operator-(const SIZE& other) const noexcept { return CSize(cx - other.cx, cy - other.cy); }
    CSize& operator+=(const SIZE& other) noexcept
    {
        cx += other.cx;
        cy += other.cy;
        return *this;
    }
    CSize& operator-=(const SIZE& other) noexcept
    {
        cx -= other.cx;
        cy -= other.cy;
        return *this;
    }
};

class CRect : public RECT {
public:
    CRect() noexcept { left = top = right = bottom = 0; }
    CRect(int l, int t, int r, int b) noexcept
    {
        left = l;
        top = t;
        right = r;
        bottom = b;
    }
    CRect(const RECT& other) noexcept
    {
        left = other.left;
        top = other.top;
        right = other.right;
        bottom = other.bottom;
    }
    CRect(const RECT* other) noexcept : CRect(*other) {}
    CRect(POINT topLeft, SIZE size) noexcept
    {
        left = topLeft.x;
        top = topLeft.y;
        right = left + size.cx;
        bottom = top + size.cy;
    }
    CRect(POINT topLeft, POINT bottomRight) noexcept
    {
        left = topLeft.x;
        top = topLeft.y;
        right = bottomRight.x;
        bottom = bottomRight.y;
    }

    operator LPRECT() noexcept { return this; }
    operator LPCRECT() const noexcept { return this; }

    int Width() const noexcept { return right - left; }
    int Height() const noexcept { return bottom - top; }
    CSize Size() const noexcept { return CSize(Width(), Height()); }
    CPoint TopLeft() const noexcept { return CPoint(left, top); }
    CPoint BottomRight() const noexcept { return CPoint(right, bottom); }
    CPoint CenterPoint() const noexcept { return CPoint((left + right) / 2, (top + bottom) / 2); }
    bool IsRectEmpty() const noexcept { return right <= left || bottom <= top; }
    bool IsRectNull() const noexcept { return left == 0 && top == 0 && right == 0 && bottom == 0; }
    bool PtInRect(POINT pt) const noexcept { return pt.x >= left && pt.x < right && pt.y >= top && pt.y < bottom; }

    void SetRect(int l, int t, int r, int b) noexcept
    {
        left = l;
        top = t;
        right = r;
        bottom = b;
    }
    void SetRectEmpty() noexcept { left = top = right = bottom = 0; }
    void OffsetRect(int dx, int dy) noexcept
    {
        left += dx;
        right += dx;
        top += dy;
        bottom += dy;
    }
    void OffsetRect(POINT pt) noexcept { OffsetRect(pt.x, pt.y); }
    void OffsetRect(SIZE size) noexcept { OffsetRect(size.cx, size.cy); }
    void MoveToX(int x) noexcept
    {
        right += x - left;
        left = x;
    }
    void MoveToY(int y) noexcept
    {
        bottom += y - top;
        top = y;
    }
    void MoveToXY(int x, int y) noexcept
    {
        MoveToX(x);
        MoveToY(y);
    }
    void MoveToXY(POINT pt) noexcept { MoveToXY(pt.x, pt.y); }
    void InflateRect(int dx, int dy) noexcept
    {
        left -= dx;
        top -= dy;
        right += dx;
        bottom += dy;
    }
    void InflateRect(int l, int t, int r, int b) noexcept
    {
        left -= l;
        top -= t;
        right += r;
        bottom += b;
    }
    void DeflateRect(int dx, int dy) noexcept { InflateRect(-dx, -dy); }
    void DeflateRect(int l, int t, int r, int b) noexcept { InflateRect(-l, -t, -r, -b); }
    void NormalizeRect() noexcept
    {
        if (left > right) {
            LONG swap = left;
            left = right;
            right = swap;
        }
        if (top > bottom) {
            LONG swap = top;
            top = bottom;
            bottom = swap;
        }
    }
    // Both return false and leave an empty rectangle when nothing overlaps.
    bool IntersectRect(LPCRECT a, LPCRECT b) noexcept { return ::IntersectRect(this, a, b) != FALSE; }
    bool UnionRect(LPCRECT a, LPCRECT b) noexcept { return ::UnionRect(this, a, b) != FALSE; }

    bool operator==(const RECT& other) const noexcept
    {
        return left == other.left && top == other.top && right == other.right && bottom == other.bottom;
    }
    bool operator!=(const RECT& other) const noexcept { return !(*this == other); }
    CRect operator+(POINT pt) const noexcept
    {
        CRect r(*this);
        r.OffsetRect(pt);
        return r;
    }
    CRect operator-(POINT pt) const noexcept
    {
        CRect r(*this);
        r.OffsetRect(-pt.x, -pt.y);
        return r;
    }
    CRect& operator+=(POINT pt) noexcept
    {
        OffsetRect(pt);
        return *this;
    }
    CRect& operator-=(POINT pt) noexcept
    {
        OffsetRect(-pt.x, -pt.y);
        return *this;
    }
    CRect operator&(const RECT& other) const noexcept
    {
        CRect r;
        r.IntersectRect(this, &other);
        return r;
    }
    CRect operator|(const RECT& other) const noexcept
    {
        CRect r;
        r.UnionRect(this, &other);
        return r;
    }
};
