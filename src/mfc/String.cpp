#include "mfc/String.h"

#include <algorithm>
#include <cstdarg>
#include <cwctype>

namespace {

bool IsTrimSpace(wchar_t ch)
{
    return ch == L' ' || ch == L'\t' || ch == L'\r' || ch == L'\n' || ch == L'\v' || ch == L'\f';
}

size_t ClampIndex(int index, size_t size)
{
    return index < 0 ? 0 : std::min(static_cast<size_t>(index), size);
}

}  // namespace

int CString::Compare(const wchar_t* other) const
{
    return m_text.compare(other ? other : L"");
}

int CString::CompareNoCase(const wchar_t* other) const
{
    return _wcsicmp(m_text.c_str(), other ? other : L"");
}

int CString::Find(wchar_t ch, int start) const
{
    if (start < 0 || static_cast<size_t>(start) > m_text.size()) return -1;
    size_t pos = m_text.find(ch, static_cast<size_t>(start));
    return pos == std::wstring::npos ? -1 : static_cast<int>(pos);
}

int CString::Find(const wchar_t* sub, int start) const
{
    if (!sub || start < 0 || static_cast<size_t>(start) > m_text.size()) return -1;
    size_t pos = m_text.find(sub, static_cast<size_t>(start));
    return pos == std::wstring::npos ? -1 : static_cast<int>(pos);
}

int CString::ReverseFind(wchar_t ch) const
{
    size_t pos = m_text.rfind(ch);
    return pos == std::wstring::npos ? -1 : static_cast<int>(pos);
}

CString CString::Left(int count) const
{
    return CString(m_text.substr(0, ClampIndex(count, m_text.size())));
}

CString CString::Right(int count) const
{
    size_t n = ClampIndex(count, m_text.size());
    return CString(m_text.substr(m_text.size() - n));
}

CString CString::Mid(int first) const
{
    return CString(m_text.substr(ClampIndex(first, m_text.size())));
}

CString CString::Mid(int first, int count) const
{
    size_t start = ClampIndex(first, m_text.size());
    return CString(m_text.substr(start, ClampIndex(count, m_text.size() - start)));
}

int CString::Replace(const wchar_t* oldText, const wchar_t* newText)
{
    if (!oldText || !*oldText) return 0;
    std::wstring from(oldText), to(newText ? newText : L"");
    int count = 0;
    for (size_t pos = m_text.find(from); pos != std::wstring::npos; pos = m_text.find(from, pos + to.size())) {
        m_text.replace(pos, from.size(), to);
        ++count;
    }
    return count;
}

int CString::Replace(wchar_t oldChar, wchar_t newChar)
{
    int count = 0;
    for (wchar_t& ch : m_text) {
        if (ch == oldChar) {
            ch = newChar;
            ++count;
        }
    }
    return count;
}

int CString::Remove(wchar_t ch)
{
    size_t before = m_text.size();
    m_text.erase(std::remove(m_text.begin(), m_text.end(), ch), m_text.end());
    return static_cast<int>(before - m_text.size());
}

int CString::Insert(int index, const wchar_t* text)
{
    if (text) m_text.insert(ClampIndex(index, m_text.size()), text);
    return GetLength();
}

int CString::Delete(int index, int count)
{
    size_t start = ClampIndex(index, m_text.size());
    m_text.erase(start, ClampIndex(count, m_text.size() - start));
    return GetLength();
}

CString& CString::Trim()
{
    return TrimRight().TrimLeft();
}

CString& CString::TrimLeft()
{
    size_t n = 0;
    while (n < m_text.size() && IsTrimSpace(m_text[n])) ++n;
    m_text.erase(0, n);
    return *this;
}

CString& CString::TrimRight()
{
    while (!m_text.empty() && IsTrimSpace(m_text.back())) m_text.pop_back();
    return *this;
}

CString& CString::TrimRight(wchar_t ch)
{
    while (!m_text.empty() && m_text.back() == ch) m_text.pop_back();
    return *this;
}

CString& CString::MakeLower()
{
    if (!m_text.empty()) CharLowerBuffW(m_text.data(), static_cast<DWORD>(m_text.size()));
    return *this;
}

CString& CString::MakeUpper()
{
    if (!m_text.empty()) CharUpperBuffW(m_text.data(), static_cast<DWORD>(m_text.size()));
    return *this;
}

void CString::FormatV(const wchar_t* format, va_list args)
{
    m_text.clear();
    if (!format) return;
    va_list measure;
    va_copy(measure, args);
    int length = _vscwprintf(format, measure);
    va_end(measure);
    if (length <= 0) return;
    m_text.resize(static_cast<size_t>(length) + 1);
    int written = _vsnwprintf(m_text.data(), m_text.size(), format, args);
    m_text.resize(written < 0 ? 0 : static_cast<size_t>(written));
}

void CString::Format(const wchar_t* format, ...)
{
    va_list args;
    va_start(args, format);
    FormatV(format, args);
    va_end(args);
}

void CString::AppendFormat(const wchar_t* format, ...)
{
    CString tail;
    va_list args;
    va_start(args, format);
    tail.FormatV(format, args);
    va_end(args);
    m_text += tail.m_text;
}

wchar_t* CString::GetBuffer(int minLength)
{
    if (minLength > GetLength()) m_text.resize(static_cast<size_t>(minLength));
    return m_text.data();
}

void CString::ReleaseBuffer(int newLength)
{
    if (newLength < 0) {
        m_text.resize(wcsnlen(m_text.c_str(), m_text.size()));
    } else {
        m_text.resize(std::min(static_cast<size_t>(newLength), m_text.size()));
    }
}

BOOL CString::LoadString(UINT id)
{
    const wchar_t* resource = nullptr;
    // A zero buffer length returns a read-only pointer into the resource.
    int length = ::LoadStringW(::GetModuleHandleW(nullptr), id, reinterpret_cast<wchar_t*>(&resource), 0);
    if (length <= 0 || !resource) {
        m_text.clear();
        return FALSE;
    }
    m_text.assign(resource, static_cast<size_t>(length));
    return TRUE;
}
