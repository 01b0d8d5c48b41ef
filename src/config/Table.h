#pragma once
// A growable array of owned wide strings, used to collect registry subkey
// names. Capacity starts at 32 entries and grows by 64 when full; each added
// string is a private copy, freed with the table.

#include <cstddef>
#include <memory>
#include <string_view>

namespace korvex::config {

class Table {
public:
    static constexpr std::size_t kInitialCapacity = 32;
    static constexpr std::size_t kGrowth = 64;

    Table();
    ~Table();
    Table(const Table&) = delete;
    Table& operator=(const Table&) = delete;

    // Copies the text; false only when memory ran out (the table is unchanged).
    bool Add(std::wstring_view text);

    // Nothing (null) for an index outside 0 ... Count() - 1.
    const wchar_t* At(std::size_t index) const;

    std::size_t Count() const { return m_nCount; }
    std::size_t Capacity() const { return m_nCapacity; }

private:
    std::unique_ptr<wchar_t*[]> m_entries;
    std::size_t m_nCount = 0;
    std::size_t m_nCapacity = 0;
};

}  // namespace korvex::config
