#pragma once
// A tolerant XML reader. The whole document lives in one UTF-16 string; a
// single pass builds an index of element records (offsets into that string,
// never copies), and a cursor of three positions walks the tree one level at
// a time: the parent, the current element at that level, and the current
// child of the current element. Every element the scanner can recognise is
// indexed even in a broken document; what was wrong is listed in
// ResultText(), and the parse verdict is true only for a well-formed text
// with exactly one root element.
//
// Strings: every text handed in or out is UTF-16 code units in XmlString,
// which is std::wstring on Windows (16-bit wchar_t) and std::u16string on the
// host. On the host std::wstring holds UTF-32, so the std::wstring overloads
// and ToWideString()/FromWideString() convert there; on Windows they are the
// plain calls. Caller code written with L"" literals and std::wstring builds
// on both.
//
// Positions are element indexes: 0 is the document itself (or "none").
// Nothing here throws for bad input, and a document is used by one thread.

#include "xml/ElementIndex.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace korvex::xml {

#if defined(_WIN32)
using XmlChar = wchar_t;
#define KORVEX_XML_TEXT(literal) L##literal
#else
using XmlChar = char16_t;
#define KORVEX_XML_TEXT(literal) u##literal
#endif
using XmlString = std::basic_string<XmlChar>;
using XmlStringView = std::basic_string_view<XmlChar>;

#if defined(_WIN32)
inline std::wstring ToWideString(XmlString text)
{
    return text;
}
inline XmlString FromWideString(std::wstring text)
{
    return text;
}
#else
// UTF-16 to UTF-32 and back; a lone surrogate passes through as its own value.
std::wstring ToWideString(XmlStringView text);
XmlString FromWideString(std::wstring_view text);
#endif

// Document flags: the encoding of the loaded file and the name comparison.
enum XmlDocumentFlag : uint32_t {
    kXmlFlagUtf16LE = 0x01,
    kXmlFlagUtf8Mark = 0x04,
    kXmlFlagIgnoreCase = 0x08,
    kXmlFlagUtf16BE = 0x80,
};

class XmlDocument {
public:
    XmlDocument();
    XmlDocument(const XmlDocument&) = delete;
    XmlDocument& operator=(const XmlDocument&) = delete;

    // Replaces the document text (null: the empty text) and parses it.
    bool ParseText(const XmlChar* text = nullptr);
    bool ParseText(XmlString text);
    // Reads and decodes a file (byte-order mark, declared encoding, UTF-8
    // test), then parses it. False with an empty document when the file
    // cannot be read; the file results stay in ResultText().
    bool LoadFile(const XmlChar* path);
    // The decoding and parse of LoadFile() for bytes already in memory.
    bool LoadBytes(const char* bytes, size_t size);

#if !defined(_WIN32)
    bool ParseText(const std::wstring& text);
    bool LoadFile(const std::wstring& path);
#endif

    // Cursor moves; each returns false and leaves the cursor unchanged when
    // nothing matches. A null or empty name matches any element.
    bool FindNextElement(const XmlChar* name = nullptr);
    bool FindNextChild(const XmlChar* name = nullptr);
    bool EnterElement();
    bool LeaveElement();
#if !defined(_WIN32)
    bool FindNextElement(const std::wstring& name);
    bool FindNextChild(const std::wstring& name);
#endif

    int ParentPosition() const
    {
        return m_nParentPosition;
    }
    int CurrentPosition() const
    {
        return m_nCurrentPosition;
    }
    int ChildPosition() const
    {
        return m_nChildPosition;
    }

    // The decoded text of a leaf element (references and CDATA resolved,
    // surrounding white space kept); empty for an element with children,
    // without content, or for a position that is not an element.
    XmlString ElementText(int position) const;

    const XmlString& ResultText() const
    {
        return m_strResultText;
    }
    const XmlString& DocumentText() const
    {
        return m_strDocumentText;
    }
    uint32_t DocumentFlags() const
    {
        return m_nDocumentFlags;
    }
    void SetDocumentFlags(uint32_t flags)
    {
        m_nDocumentFlags = flags;
    }

    // The element index, for callers that inspect structure (tests, tools).
    const ElementIndex& Elements() const
    {
        return m_elementIndex;
    }

private:
    bool ParseDocument();
    // Empties text, index and cursor after a failed load; returns false.
    bool ForgetDocument();
    bool FindSibling(int from, XmlStringView name, int& found) const;
    bool NameMatches(int position, XmlStringView name) const;
    void ResetCursor();

    XmlString m_strDocumentText;
    XmlString m_strResultText;
    int m_nParentPosition = 0;
    int m_nCurrentPosition = 0;
    int m_nChildPosition = 0;
    uint32_t m_nDocumentFlags = 0;
    ElementIndex m_elementIndex;
};

}  // namespace korvex::xml
