#pragma once

// A stream download's body written to a file the caller opened for writing
// (borrowed, not owned), at the file's current position.

#include <windows.h>

#include <cstdint>

#include "download/ByteSink.h"

class FileByteSink final : public IByteSink {
public:
    explicit FileByteSink(HANDLE hFile) : m_hFile(hFile) {}

    bool Write(const char* data, std::size_t nSize) override;
    std::uint64_t BytesWritten() const { return m_nWritten; }

private:
    HANDLE m_hFile;
    std::uint64_t m_nWritten = 0;
};
