#pragma once
// The only platform calls of the XML reader: code-page conversion and file
// access. On Windows these are MultiByteToWideChar and friends and the C
// runtime's shared-read file functions; the host build carries a small
// converter (UTF-8 and a few single-byte pages) for tests and fuzzing.

#include "xml/XmlDocument.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace korvex::xml {

namespace platform {

// MultiByteToWideChar(codePage, 0, ...) into `text` (replaced); page 0 is the
// system's ANSI page, for which the host stands in with 1252. False when the
// page is unknown here or the conversion fails.
bool BytesToUtf16(int codePage, std::string_view bytes, XmlString& text);

// WideCharToMultiByte(codePage, 0, ...) into `bytes` (replaced); the
// used-default flag is requested only when `usedDefault` is given.
bool Utf16ToBytes(int codePage, XmlStringView text, std::string& bytes, bool* usedDefault);

// The error reported for a file too large for 32-bit offsets.
#if defined(_WIN32)
constexpr uint32_t kErrorFileTooLarge = 223;  // ERROR_FILE_TOO_LARGE
#else
constexpr uint32_t kErrorFileTooLarge = 27;  // EFBIG
#endif

// The last system error and its message (first line, at most 100 characters).
uint32_t LastError();
XmlString ErrorMessage(uint32_t error);

// One C runtime file opened for binary reading with sharing allowed.
class ReadOnlyFile {
public:
    ReadOnlyFile() = default;
    ~ReadOnlyFile() { Close(); }
    ReadOnlyFile(const ReadOnlyFile&) = delete;
    ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;

    bool Open(const XmlChar* path);
    bool Size(uint64_t& size);
    bool Read(char* buffer, size_t size) { return std::fread(buffer, 1, size, m_pFile) == size; }
    bool Close()
    {
        FILE* file = m_pFile;
        m_pFile = nullptr;
        return file == nullptr || std::fclose(file) == 0;
    }

private:
    FILE* m_pFile = nullptr;
};

}  // namespace platform

}  // namespace korvex::xml
