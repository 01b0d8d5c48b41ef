#pragma once
// Cuts a document text into nodes from left to right. The document parse,
// the element text and the declared-encoding search share these rules, so
// a text is always cut the same way.

#include "xml/XmlDocument.h"

#include <cstddef>
#include <string_view>

namespace korvex::xml {

enum class XmlNodeKind {
    Whitespace,
    Text,
    StartTag,
    EndTag,
    ProcessingInstruction,
    Comment,
    CdataSection,
    DocumentType,
    Malformed,     // m_szError names the fault; scanning resumes at m_nEnd
    Unterminated,  // the text ended inside it; m_szError names the node kind
};

struct XmlNode {
    XmlNodeKind m_kind = XmlNodeKind::Text;
    size_t m_nStart = 0;
    size_t m_nEnd = 0;      // just after the node
    size_t m_nNameEnd = 0;  // tags: end of the tag name
    bool m_bEmpty = false;  // start tags: closed by "/>"
    const char* m_szError = nullptr;
};

namespace syntax {

inline bool IsWhite(XmlChar c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// Characters that end a tag name when names are compared in searches.
inline bool EndsSearchName(XmlChar c)
{
    switch (c) {
        case ' ':
        case '\t':
        case '\n':
        case '\r':
        case '<':
        case '>':
        case '=':
        case '\\':
        case '/':
        case '?':
        case '!':
        case '"':
        case '\'':
        case ';':
            return true;
        default:
            return false;
    }
}

// Characters that end the tag name of a start or end tag.
inline bool EndsTagName(XmlChar c)
{
    return IsWhite(c) || c == '/' || c == '>';
}

inline XmlChar FoldCase(XmlChar c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<XmlChar>(c + ('a' - 'A')) : c;
}

bool EqualNames(XmlStringView a, XmlStringView b, bool ignoreCase);

// Scans the node that starts at `pos` (< text.size()).
void ScanNode(XmlStringView text, size_t pos, XmlNode& node);

// Offset of the first `c` at or after `pos`, or text.size().
size_t FindChar(XmlStringView text, size_t pos, XmlChar c);

// The value of an attribute inside a tag or processing instruction
// [tagStart, tagEnd), names compared ignoring ASCII case; false when absent.
bool FindAttribute(XmlStringView text, size_t tagStart, size_t tagEnd, std::string_view name, XmlStringView& value);

}  // namespace syntax

}  // namespace korvex::xml
