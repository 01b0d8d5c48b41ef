#include "xml/ElementIndex.h"

#include <algorithm>
#include <climits>

namespace korvex::xml {

void ElementIndex::Reset(size_t records)
{
    EnsureCapacity(std::max<size_t>(records, 1));
    m_nCount = 0;
    Add();
}

void ElementIndex::Release()
{
    m_firstBlock = {};
    m_laterBlocks.clear();
    m_blocks.clear();
    m_nCount = 0;
    m_nCapacity = 0;
}

void ElementIndex::Grow()
{
    const size_t capacity = static_cast<size_t>(m_nCapacity);
    EnsureCapacity(std::max<size_t>(capacity + capacity / 2, 8));
}

void ElementIndex::EnsureCapacity(size_t records)
{
    records = std::min<size_t>(records, INT_MAX);
    if (records <= static_cast<size_t>(m_nCapacity)) return;
    if (m_blocks.empty()) m_blocks.push_back(nullptr);
    const size_t firstSize = std::min<size_t>(records, kBlockSize);
    if (m_firstBlock.size() < firstSize) {
        m_firstBlock.resize(firstSize);
        m_blocks[0] = m_firstBlock.data();
    }
    size_t capacity = m_firstBlock.size() + m_laterBlocks.size() * kBlockSize;
    while (capacity < records) {
        m_laterBlocks.push_back(std::make_unique<ElementRecord[]>(kBlockSize));
        m_blocks.push_back(m_laterBlocks.back().get());
        capacity += kBlockSize;
    }
    m_nCapacity = static_cast<int>(std::min<size_t>(capacity, INT_MAX));
}

}  // namespace korvex::xml
