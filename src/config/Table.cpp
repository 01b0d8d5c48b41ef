#include "config/Table.h"

#include <algorithm>
#include <new>

namespace korvex::config {

Table::Table() : m_entries(new (std::nothrow) wchar_t*[kInitialCapacity]), m_nCapacity(m_entries ? kInitialCapacity : 0)
{}

Table::~Table()
{
    for (std::size_t i = 0; i < m_nCount; ++i) {
        delete[] m_entries[i];
    }
}

bool Table::Add(std::wstring_view text)
{
    if (m_nCount == m_nCapacity) {
        std::unique_ptr<wchar_t*[]> larger(new (std::nothrow) wchar_t*[m_nCapacity + kGrowth]);
        if (!larger) {
            return false;
        }
        std::copy(m_entries.get(), m_entries.get() + m_nCount, larger.get());
        m_entries = std::move(larger);
        m_nCapacity += kGrowth;
    }
    wchar_t* copy = new (std::nothrow) wchar_t[text.size() + 1];
    if (!copy) {
        return false;
    }
    std::copy(text.begin(), text.end(), copy);
    copy[text.size()] = L'\0';
    m_entries[m_nCount++] = copy;
    return true;
}

const wchar_t* Table::At(std::size_t index) const
{
    return index < m_nCount ? m_entries[index] : nullptr;
}

}  // namespace korvex::config
