#pragma once
// CString: a UTF-16 string with value semantics, held in a std::wstring.
// Format follows the Windows convention that %s in a wide format is a wide
// string (mingw's C99 printf would read it as narrow).

#include <windows.h>

#include <string>

class CString {
public:
    CString() = default;
    CString(const wchar_t* text) : m_text(text ? text : L"") {}
    CString(const wchar_t* text, int length)
        : m_text(text ? std::wstring(text, static_cast<size_t>(length)) : std::wstring())
    {}
    CString(wchar_t ch, int repeat = 1) : m_text(static_cast<size_t>(repeat > 0 ? repeat : 0), ch) {}
    CString(const std::wstring& text) : m_text(text) {}

    operator const wchar_t*() const noexcept { return m_text.c_str(); }
    const wchar_t* GetString() const noexcept { return m_text.c_str(); }
    const std::wstring& str() const noexcept { return m_text; }

    int GetLength() const noexcept { return static_cast<int>(m_text.size()); }
    bool IsEmpty() const noexcept { return m_text.empty(); }
    void Empty() noexcept { m_text.clear(); }
    wchar_t GetAt(int index) const { return m_text.at(static_cast<size_t>(index)); }
    void SetAt(int index, wchar_t ch) { m_text.at(static_cast<size_t>(index)) = ch; }

    CString& operator=(const wchar_t* text)
    {
        m_text = text ? text : L"";
        return *this;
    }
    CString& operator+=(const CString& other)
    {
        m_text += other.m_text;
        return *this;
    }
    CString& operator+=(const wchar_t* text)
    {
        if (text) m_text += text;
        return *this;
    }
    CString& operator+=(wchar_t ch)
    {
        m_text += ch;
        return *this;
    }
    friend CString operator+(const CString& a, const CString& b) { return CString(a.m_text + b.m_text); }
    friend CString operator+(const CString& a, const wchar_t* b)
    {
        CString r(a);
        r += b;
        return r;
    }
    friend CString operator+(const wchar_t* a, const CString& b)
    {
        CString r(a);
        r += b;
        return r;
    }
    friend CString operator+(const CString& a, wchar_t b)
    {
        CString r(a);
        r += b;
        return r;
    }
    friend bool operator==(const CString& a, const CString& b) { return a.m_text == b.m_text; }
    friend bool operator==(const CString& a, const wchar_t* b) { return a.m_text == (b ? b : L""); }
    friend bool operator!=(const CString& a, const CString& b) { return !(a == b); }
    friend bool operator!=(const CString& a, const wchar_t* b) { return !(a == b); }
    friend bool operator<(const CString& a, const CString& b) { return a.m_text < b.m_text; }

    int Compare(const wchar_t* other) const;
    int CompareNoCase(const wchar_t* other) const;

    // Positions are character indexes; -1 means not found.
    int Find(wchar_t ch, int start = 0) const;
    int Find(const wchar_t* sub, int start = 0) const;
    int ReverseFind(wchar_t ch) const;
    CString Left(int count) const;
    CString Right(int count) const;
    CString Mid(int first) const;
    CString Mid(int first, int count) const;

    int Replace(const wchar_t* oldText, const wchar_t* newText);
    int Replace(wchar_t oldChar, wchar_t newChar);
    int Remove(wchar_t ch);
    int Insert(int index, const wchar_t* text);
    int Delete(int index, int count = 1);
    CString& Trim();
    CString& TrimLeft();
    CString& TrimRight();
    CString& TrimRight(wchar_t ch);
    CString& MakeLower();
    CString& MakeUpper();

    void Format(const wchar_t* format, ...);
    void FormatV(const wchar_t* format, va_list args);
    void AppendFormat(const wchar_t* format, ...);

    // Writable buffer of at least minLength characters; ReleaseBuffer takes
    // the length up to the first terminator when newLength is -1.
    wchar_t* GetBuffer(int minLength);
    wchar_t* GetBuffer() { return GetBuffer(GetLength()); }
    void ReleaseBuffer(int newLength = -1);

    // A string resource of the executable; false leaves the string empty.
    BOOL LoadString(UINT id);

private:
    std::wstring m_text;
};
