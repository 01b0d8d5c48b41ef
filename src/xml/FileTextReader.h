#pragma once
// Turns the bytes of a file of unknown encoding into the UTF-16 document
// text: a byte-order mark decides first, then an encoding declared in the
// first kilobyte, then the UTF-8 test, and the system ANSI page last. What
// was done is recorded as result entries.

#include "xml/XmlDocument.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace korvex::xml {

struct ByteOrderMark {
    std::string_view m_bytes;
    const char* m_szEncoding;
    uint32_t m_nFlag;
    int m_nUnitSize;
};

extern const ByteOrderMark BomTable[3];

// The encoding an XML declaration or an HTML meta tag names in `head`, or
// empty.
XmlString FindDeclaredEncoding(XmlStringView head);

class FileTextReader {
public:
    explicit FileTextReader(uint32_t documentFlags) : m_nFlags(documentFlags) {}
    FileTextReader(const FileTextReader&) = delete;
    FileTextReader& operator=(const FileTextReader&) = delete;

    // Reads and decodes the whole file. False, with a "file_error" entry,
    // when it cannot be opened or read.
    bool ReadFile(const XmlChar* path, XmlString& text);
    void DecodeBytes(std::string_view bytes, XmlString& text);

    uint32_t Flags() const { return m_nFlags; }
    const XmlString& Results() const { return m_strResults; }

private:
    void AddFileError(uint32_t error);
    void ReadUtf16(std::string_view bytes, XmlString& text);
    void ReadBytes(std::string_view bytes, XmlString& text);

    uint32_t m_nFlags;
    int m_nUnitSize = 1;
    XmlString m_strResults;
    XmlString m_strEncoding;
};

}  // namespace korvex::xml
