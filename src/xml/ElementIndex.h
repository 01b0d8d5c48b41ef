#pragma once
// The element index of a parsed document: one record per element, record 0
// for the document itself. Records live in blocks of 65536; the first block
// is reallocated while it grows, later blocks are added whole and never
// move, so growth stays cheap for large documents.

#include <cstdint>
#include <memory>
#include <vector>

namespace korvex::xml {

enum ElementRecordFlag : uint32_t {
    kElementDepthMask = 0xFFFF,
    kElementFirstChild = 0x80000,
    kElementUnended = 0x100000,
    kElementIllFormedInside = 0x200000,
    kDocumentNotWellFormed = 0x800000,  // record 0 only
};

// Offsets and lengths are UTF-16 code units into the document text. The two
// tag lengths have a field each: packed into one word they overflow for a
// long start or end tag and would cut the element text at the wrong place.
struct ElementRecord {
    uint32_t m_nStart;
    uint32_t m_nLength;  // start of "<" to end of the end tag
    uint32_t m_nStartTagLength;
    uint32_t m_nEndTagLength;   // 0 without an end tag
    uint32_t m_nFlagsAndDepth;  // depth in the low 16 bits (saturated)
    int32_t m_nParent;
    int32_t m_nFirstChild;
    int32_t m_nNextSibling;      // 0 for the last child
    int32_t m_nPreviousSibling;  // the first child's points to the last child

    uint32_t Depth() const { return m_nFlagsAndDepth & kElementDepthMask; }
    bool Has(uint32_t flag) const { return (m_nFlagsAndDepth & flag) != 0; }
};

class ElementIndex {
public:
    static constexpr int kBlockBits = 16;
    static constexpr int kBlockSize = 1 << kBlockBits;

    ElementIndex() = default;
    ElementIndex(const ElementIndex&) = delete;
    ElementIndex& operator=(const ElementIndex&) = delete;

    // Empties the index and makes room for at least `records` records,
    // keeping blocks already allocated. Record 0 is cleared and counted.
    void Reset(size_t records);
    void Release();

    // Appends a zeroed record and returns its index.
    int Add()
    {
        if (m_nCount == m_nCapacity) Grow();
        const int index = m_nCount++;
        (*this)[index] = ElementRecord{};
        return index;
    }

    int Count() const { return m_nCount; }
    int Capacity() const { return m_nCapacity; }

    ElementRecord& operator[](int index)
    {
        return m_blocks[static_cast<unsigned>(index) >> kBlockBits][index & (kBlockSize - 1)];
    }
    const ElementRecord& operator[](int index) const
    {
        return m_blocks[static_cast<unsigned>(index) >> kBlockBits][index & (kBlockSize - 1)];
    }

private:
    void Grow();
    void EnsureCapacity(size_t records);

    std::vector<ElementRecord> m_firstBlock;
    std::vector<std::unique_ptr<ElementRecord[]>> m_laterBlocks;
    std::vector<ElementRecord*> m_blocks;  // block pointers, first block included
    int m_nCount = 0;
    int m_nCapacity = 0;
};

}  // namespace korvex::xml
