#include "download/FileByteSink.h"

bool FileByteSink::Write(const char* data, std::size_t nSize)
{
    DWORD nWritten = 0;
    if (!WriteFile(m_hFile, data, static_cast<DWORD>(nSize), &nWritten, nullptr) || nWritten != nSize) {
        return false;
    }
    m_nWritten += nWritten;
    return true;
}
