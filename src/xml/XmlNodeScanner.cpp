#include "xml/XmlNodeScanner.h"

#include <algorithm>

namespace korvex::xml {

namespace syntax {
namespace {

bool StartsStartTag(XmlChar c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == ':' || c == '_' || c > 'z';
}

// Offset just after the first `terminator` at or after `pos`, or npos.
size_t FindAfter(XmlStringView text, size_t pos, std::string_view terminator)
{
    const size_t length = terminator.size();
    while (pos + length <= text.size()) {
        pos = FindChar(text, pos, static_cast<XmlChar>(terminator[0]));
        if (pos + length > text.size()) break;
        size_t i = 1;
        while (i < length && text[pos + i] == static_cast<XmlChar>(terminator[i])) ++i;
        if (i == length) return pos + length;
        ++pos;
    }
    return XmlStringView::npos;
}

void SetUnterminated(XmlStringView text, XmlNode& node, const char* kind)
{
    node.m_kind = XmlNodeKind::Unterminated;
    node.m_szError = kind;
    node.m_nEnd = text.size();
}

// A malformed node: skip to just after the next ">", or stop at the next "<".
void SetMalformed(XmlStringView text, size_t from, XmlNode& node, const char* error)
{
    node.m_kind = XmlNodeKind::Malformed;
    node.m_szError = error;
    size_t pos = from;
    while (pos < text.size() && text[pos] != '>' && text[pos] != '<') ++pos;
    node.m_nEnd = (pos < text.size() && text[pos] == '>') ? pos + 1 : pos;
}

void ScanStartTag(XmlStringView text, XmlNode& node)
{
    const size_t size = text.size();
    size_t pos = node.m_nStart + 1;
    while (pos < size && !EndsTagName(text[pos])) ++pos;
    node.m_nNameEnd = pos;
    bool afterEquals = false;
    for (; pos < size; ++pos) {
        const XmlChar c = text[pos];
        if (c == '>') break;
        if (c == '=') {
            afterEquals = true;
        } else if ((c == '"' || c == '\'') && afterEquals) {
            pos = FindChar(text, pos + 1, c);
            if (pos == size) break;
            afterEquals = false;
        } else if (!IsWhite(c)) {
            afterEquals = false;
        }
    }
    if (pos >= size) return SetUnterminated(text, node, "start_tag");
    node.m_kind = XmlNodeKind::StartTag;
    node.m_nEnd = pos + 1;
    if (pos >= node.m_nStart + 2 && text[pos - 1] == '/') {
        const size_t slash = pos - 1;
        const XmlChar before = text[slash - 1];
        node.m_bEmpty = slash == node.m_nNameEnd || IsWhite(before) || before == '"' || before == '\'';
    }
}

// "<!D...": ends at the ">" of its own level; declarations nested inside
// ("<!E", "<!A", "<!N") end at their own ">", quoted strings are skipped.
void ScanDocumentType(XmlStringView text, XmlNode& node)
{
    const size_t size = text.size();
    size_t level = 0;
    for (size_t pos = node.m_nStart + 3; pos < size; ++pos) {
        const XmlChar c = text[pos];
        if (c == '"' || c == '\'') {
            pos = FindChar(text, pos + 1, c);
            if (pos == size) break;
        } else if (c == '<' && pos + 1 < size && text[pos + 1] == '!') {
            if (pos + 2 >= size) break;
            const XmlChar kind = text[pos + 2];
            if (kind == 'E' || kind == 'A' || kind == 'N') {
                ++level;
                pos += 2;
            } else if (kind == '-') {
                const size_t after = FindAfter(text, pos + 2, "-->");
                if (after == XmlStringView::npos) break;
                pos = after - 1;
            } else {
                return SetMalformed(text, pos + 1, node, "doctype_tag_syntax");
            }
        } else if (c == '>') {
            if (level == 0) {
                node.m_kind = XmlNodeKind::DocumentType;
                node.m_nEnd = pos + 1;
                return;
            }
            --level;
        }
    }
    SetUnterminated(text, node, "document_type");
}

void ScanTerminated(XmlStringView text, XmlNode& node, size_t from, std::string_view terminator, XmlNodeKind kind,
                    const char* unterminatedKind)
{
    const size_t after = FindAfter(text, from, terminator);
    if (after == XmlStringView::npos) return SetUnterminated(text, node, unterminatedKind);
    node.m_kind = kind;
    node.m_nEnd = after;
}

void ScanExclamation(XmlStringView text, XmlNode& node)
{
    const size_t start = node.m_nStart;
    const size_t size = text.size();
    if (start + 2 >= size) return SetUnterminated(text, node, "tag");
    switch (text[start + 2]) {
        case '-':
            if (start + 3 >= size) return SetUnterminated(text, node, "tag");
            if (text[start + 3] != '-') return SetMalformed(text, start + 1, node, "comment_tag_syntax");
            return ScanTerminated(text, node, start + 4, "-->", XmlNodeKind::Comment, "comment");
        case '[':
            if (start + 3 >= size) return SetUnterminated(text, node, "tag");
            if (text[start + 3] != 'C') return SetMalformed(text, start + 1, node, "cdata_section_syntax");
            return ScanTerminated(text, node, start + 4, "]]>", XmlNodeKind::CdataSection, "cdata_section");
        case 'D':
            return ScanDocumentType(text, node);
        default:
            return SetMalformed(text, start + 1, node, "exclamation_tag_syntax");
    }
}

}  // namespace

size_t FindChar(XmlStringView text, size_t pos, XmlChar c)
{
    const XmlChar* data = text.data();
    const size_t size = text.size();
    while (pos < size && data[pos] != c) ++pos;
    return pos;
}

bool EqualNames(XmlStringView a, XmlStringView b, bool ignoreCase)
{
    if (a.size() != b.size()) return false;
    if (!ignoreCase) return a == b;
    for (size_t i = 0; i < a.size(); ++i) {
        if (FoldCase(a[i]) != FoldCase(b[i])) return false;
    }
    return true;
}

void ScanNode(XmlStringView text, size_t pos, XmlNode& node)
{
    node = XmlNode{};
    node.m_nStart = pos;
    const size_t size = text.size();
    if (text[pos] != '<') {
        node.m_kind = XmlNodeKind::Whitespace;
        for (; pos < size && text[pos] != '<'; ++pos) {
            if (!IsWhite(text[pos])) {
                node.m_kind = XmlNodeKind::Text;
                pos = FindChar(text, pos, '<');
                break;
            }
        }
        node.m_nEnd = pos;
        return;
    }
    if (pos + 1 >= size) return SetUnterminated(text, node, "tag");
    const XmlChar next = text[pos + 1];
    if (next == '/') {
        size_t nameEnd = pos + 2;
        while (nameEnd < size && !EndsTagName(text[nameEnd])) ++nameEnd;
        node.m_nNameEnd = nameEnd;
        return ScanTerminated(text, node, pos + 2, ">", XmlNodeKind::EndTag, "end_tag");
    }
    if (next == '?')
        return ScanTerminated(text, node, pos + 2, "?>", XmlNodeKind::ProcessingInstruction, "processing_instruction");
    if (next == '!') return ScanExclamation(text, node);
    if (StartsStartTag(next)) return ScanStartTag(text, node);
    SetMalformed(text, pos + 1, node, "first_tag_syntax");
}

bool FindAttribute(XmlStringView text, size_t tagStart, size_t tagEnd, std::string_view name, XmlStringView& value)
{
    auto endsAttributeName = [](XmlChar c) { return IsWhite(c) || c == '=' || c == '>' || c == '/' || c == '?'; };
    tagEnd = std::min(tagEnd, text.size());
    size_t pos = tagStart + 1;
    if (pos < tagEnd && text[pos] == '?') ++pos;
    while (pos < tagEnd && !endsAttributeName(text[pos])) ++pos;
    while (pos < tagEnd) {
        if (endsAttributeName(text[pos])) {
            ++pos;
            continue;
        }
        const size_t nameStart = pos;
        while (pos < tagEnd && !endsAttributeName(text[pos])) ++pos;
        const XmlStringView attributeName = text.substr(nameStart, pos - nameStart);
        while (pos < tagEnd && IsWhite(text[pos])) ++pos;
        if (pos >= tagEnd || text[pos] != '=') continue;
        ++pos;
        while (pos < tagEnd && IsWhite(text[pos])) ++pos;
        if (pos >= tagEnd) return false;
        size_t valueStart = pos;
        size_t valueEnd;
        if (text[pos] == '"' || text[pos] == '\'') {
            ++valueStart;
            valueEnd = FindChar(text.substr(0, tagEnd), valueStart, text[pos]);
            pos = valueEnd + 1;
        } else {
            while (pos < tagEnd && !IsWhite(text[pos]) && text[pos] != '>') ++pos;
            valueEnd = pos;
        }
        bool same = attributeName.size() == name.size();
        for (size_t i = 0; same && i < name.size(); ++i)
            same = FoldCase(attributeName[i]) == static_cast<XmlChar>(name[i]);
        if (same) {
            value = text.substr(valueStart, valueEnd - valueStart);
            return true;
        }
    }
    return false;
}

}  // namespace syntax

}  // namespace korvex::xml
