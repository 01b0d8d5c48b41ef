#include "xml/XmlDocument.h"

#include "xml/FileTextReader.h"
#include "xml/TextEncodings.h"
#include "xml/XmlEntities.h"
#include "xml/XmlNodeScanner.h"
#include "xml/XmlResults.h"

#include <algorithm>
#include <new>
#include <unordered_map>
#include <vector>

namespace korvex::xml {

namespace {

// Offsets are 32-bit: longer texts are refused rather than indexed wrongly.
constexpr size_t kMaxDocumentLength = 0x7FFFFFFF;

struct OpenElement {
    int m_nRecord;
    uint32_t m_nNameStart;
    uint32_t m_nNameLength;
};

struct NameHash {
    bool m_bIgnoreCase;
    size_t operator()(XmlStringView name) const
    {
        uint64_t hash = 14695981039346656037ull;
        for (XmlChar c : name)
            hash = (hash ^ static_cast<uint64_t>(m_bIgnoreCase ? syntax::FoldCase(c) : c)) * 1099511628211ull;
        return static_cast<size_t>(hash);
    }
};

struct NameEqual {
    bool m_bIgnoreCase;
    bool operator()(XmlStringView a, XmlStringView b) const { return syntax::EqualNames(a, b, m_bIgnoreCase); }
};

// Beyond this depth the open names are also counted by name, so that a
// run of end tags matching nothing costs no stack walk each.
constexpr size_t kDepthForNameCounts = 32;

// One pass over the text: records for start tags, end tags matched against
// the stack of open elements, results for everything that was wrong.
class TreeBuilder {
public:
    TreeBuilder(XmlStringView text, ElementIndex& index, XmlString& results, bool ignoreCase)
        : m_text(text),
          m_index(index),
          m_results(results),
          m_bIgnoreCase(ignoreCase),
          m_openNames(16, NameHash{ignoreCase}, NameEqual{ignoreCase})
    {}

    void Build()
    {
        XmlNode node;
        size_t pos = 0;
        while (pos < m_text.size()) {
            if (m_text[pos] != '<') {
                pos = syntax::FindChar(m_text, pos, '<');
                continue;
            }
            syntax::ScanNode(m_text, pos, node);
            switch (node.m_kind) {
                case XmlNodeKind::StartTag:
                    AddStartTag(node);
                    break;
                case XmlNodeKind::EndTag:
                    MatchEndTag(node);
                    break;
                case XmlNodeKind::Malformed:
                    MarkIllFormed();
                    if (CanAddResult(m_results))
                        AddResult(m_results, node.m_szError, {{"offset", NumberText(node.m_nStart)}});
                    break;
                case XmlNodeKind::Unterminated:
                    MarkIllFormed();
                    if (CanAddResult(m_results)) {
                        AddResult(m_results, "unterminated_tag_syntax",
                                  {{"type", AsciiText(node.m_szError)}, {"offset", NumberText(node.m_nStart)}});
                    }
                    break;
                default:
                    break;
            }
            pos = node.m_nEnd;
        }
        CloseUnended(0, static_cast<uint32_t>(m_text.size()));
    }

private:
    int CurrentParent() const { return m_stack.empty() ? 0 : m_stack.back().m_nRecord; }

    void AddStartTag(const XmlNode& node)
    {
        const int parent = CurrentParent();
        const int added = m_index.Add();
        ElementRecord& record = m_index[added];
        record.m_nStart = static_cast<uint32_t>(node.m_nStart);
        record.m_nStartTagLength = static_cast<uint32_t>(node.m_nEnd - node.m_nStart);
        record.m_nLength = record.m_nStartTagLength;
        record.m_nFlagsAndDepth = static_cast<uint32_t>(std::min<size_t>(m_stack.size(), kElementDepthMask));
        record.m_nParent = parent;
        const int first = m_index[parent].m_nFirstChild;
        if (first == 0) {
            m_index[parent].m_nFirstChild = added;
            record.m_nPreviousSibling = added;
            record.m_nFlagsAndDepth |= kElementFirstChild;
        } else {
            const int last = m_index[first].m_nPreviousSibling;
            m_index[last].m_nNextSibling = added;
            record.m_nPreviousSibling = last;
            m_index[first].m_nPreviousSibling = added;
        }
        if (!node.m_bEmpty) {
            Push({added, static_cast<uint32_t>(node.m_nStart + 1),
                  static_cast<uint32_t>(node.m_nNameEnd - node.m_nStart - 1)});
        }
    }

    void Push(const OpenElement& open)
    {
        m_stack.push_back(open);
        if (m_bCountingNames) {
            ++m_openNames[OpenName(open)];
        } else if (m_stack.size() > kDepthForNameCounts) {
            m_bCountingNames = true;
            for (const OpenElement& each : m_stack) ++m_openNames[OpenName(each)];
        }
    }

    void PopTo(size_t level)
    {
        for (size_t i = level; m_bCountingNames && i < m_stack.size(); ++i) {
            auto counted = m_openNames.find(OpenName(m_stack[i]));
            if (--counted->second == 0) m_openNames.erase(counted);
        }
        m_stack.resize(level);
    }

    bool MayBeOpen(XmlStringView name) const
    {
        return !m_bCountingNames || m_openNames.find(name) != m_openNames.end();
    }

    XmlStringView OpenName(const OpenElement& open) const
    {
        return m_text.substr(open.m_nNameStart, open.m_nNameLength);
    }

    void MatchEndTag(const XmlNode& node)
    {
        const XmlStringView name = m_text.substr(node.m_nStart + 2, node.m_nNameEnd - node.m_nStart - 2);
        size_t level = MayBeOpen(name) ? m_stack.size() : 0;
        while (level > 0 && !syntax::EqualNames(OpenName(m_stack[level - 1]), name, m_bIgnoreCase)) --level;
        if (level == 0) {
            MarkIllFormed();
            if (CanAddResult(m_results))
                AddResult(m_results, "lone_end_tag",
                          {{"tagname", XmlString(name)}, {"offset", NumberText(node.m_nStart)}});
            return;
        }
        ElementRecord& record = m_index[m_stack[level - 1].m_nRecord];
        record.m_nLength = static_cast<uint32_t>(node.m_nEnd - record.m_nStart);
        record.m_nEndTagLength = static_cast<uint32_t>(node.m_nEnd - node.m_nStart);
        CloseUnended(level, static_cast<uint32_t>(node.m_nStart - 1));
        PopTo(level - 1);
    }

    // Closes the open elements from stack level `keep` inwards as never ended.
    // Each one's children become its following siblings; since an open
    // element is always the last child of its parent, that is one splice of
    // each child list onto the end of the surviving parent's list.
    void CloseUnended(size_t keep, uint32_t secondOffset)
    {
        if (m_stack.size() <= keep) return;
        m_index[0].m_nFlagsAndDepth |= kDocumentNotWellFormed;
        for (size_t level = m_stack.size(); level-- > keep && CanAddResult(m_results);) {
            const OpenElement& open = m_stack[level];
            AddResult(m_results, "unended_start_tag",
                      {{"tagname", XmlString(OpenName(open))},
                       {"offset", NumberText(m_index[open.m_nRecord].m_nStart)},
                       {"offset2", NumberText(secondOffset)}});
        }
        const int target = keep == 0 ? 0 : m_stack[keep - 1].m_nRecord;
        bool illFormedInside = false;
        for (size_t level = keep; level < m_stack.size(); ++level) {
            ElementRecord& record = m_index[m_stack[level].m_nRecord];
            record.m_nFlagsAndDepth |= kElementUnended;
            record.m_nLength = record.m_nStartTagLength;
            record.m_nEndTagLength = 0;
            if (record.Has(kElementIllFormedInside)) {
                record.m_nFlagsAndDepth &= ~kElementIllFormedInside;
                illFormedInside = true;
            }
            const int first = record.m_nFirstChild;
            if (first == 0) continue;
            record.m_nFirstChild = 0;
            for (int child = first; child != 0; child = m_index[child].m_nNextSibling)
                m_index[child].m_nParent = target;
            m_index[first].m_nFlagsAndDepth &= ~kElementFirstChild;
            const int targetFirst = m_index[target].m_nFirstChild;
            const int targetLast = m_index[targetFirst].m_nPreviousSibling;
            const int childLast = m_index[first].m_nPreviousSibling;
            m_index[targetLast].m_nNextSibling = first;
            m_index[first].m_nPreviousSibling = targetLast;
            m_index[targetFirst].m_nPreviousSibling = childLast;
        }
        if (illFormedInside) m_index[target].m_nFlagsAndDepth |= kElementIllFormedInside;
        PopTo(keep);
    }

    void MarkIllFormed()
    {
        m_index[0].m_nFlagsAndDepth |= kDocumentNotWellFormed;
        m_index[CurrentParent()].m_nFlagsAndDepth |= kElementIllFormedInside;
    }

    XmlStringView m_text;
    ElementIndex& m_index;
    XmlString& m_results;
    bool m_bIgnoreCase;
    std::vector<OpenElement> m_stack;
    std::unordered_map<XmlStringView, int, NameHash, NameEqual> m_openNames;
    bool m_bCountingNames = false;
};

const XmlChar* NullIfEmpty(const XmlChar* name)
{
    return (name != nullptr && name[0] == 0) ? nullptr : name;
}

}  // namespace

#if !defined(_WIN32)
std::wstring ToWideString(XmlStringView text)
{
    std::wstring wide;
    wide.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) wide.push_back(static_cast<wchar_t>(ReadCodePoint(text, i)));
    return wide;
}

XmlString FromWideString(std::wstring_view text)
{
    XmlString narrow;
    narrow.reserve(text.size());
    for (wchar_t c : text) {
        const uint32_t codePoint = static_cast<uint32_t>(c);
        AppendCodePoint(narrow, codePoint <= 0x10FFFF ? codePoint : 0xFFFD);
    }
    return narrow;
}

bool XmlDocument::ParseText(const std::wstring& text)
{
    return ParseText(FromWideString(text));
}

bool XmlDocument::LoadFile(const std::wstring& path)
{
    return LoadFile(FromWideString(path).c_str());
}

bool XmlDocument::FindNextElement(const std::wstring& name)
{
    return FindNextElement(FromWideString(name).c_str());
}

bool XmlDocument::FindNextChild(const std::wstring& name)
{
    return FindNextChild(FromWideString(name).c_str());
}
#endif

XmlDocument::XmlDocument()
{
    m_elementIndex.Reset(8);
}

bool XmlDocument::ParseText(const XmlChar* text)
{
    if (text == nullptr) {
        m_strDocumentText = XmlString();
        m_elementIndex.Release();
        m_strResultText.clear();
        return ParseDocument();
    }
    try {
        return ParseText(XmlString(text));
    } catch (const std::bad_alloc&) {
        return ForgetDocument();
    }
}

bool XmlDocument::ParseText(XmlString text)
{
    m_strDocumentText = std::move(text);
    m_strResultText.clear();
    return ParseDocument();
}

bool XmlDocument::LoadFile(const XmlChar* path)
{
    try {
        FileTextReader reader(m_nDocumentFlags);
        const bool bRead = reader.ReadFile(path, m_strDocumentText);
        m_nDocumentFlags = reader.Flags();
        m_strResultText = reader.Results();
        return bRead ? ParseDocument() : ForgetDocument();
    } catch (const std::bad_alloc&) {
        return ForgetDocument();
    }
}

bool XmlDocument::LoadBytes(const char* bytes, size_t size)
{
    try {
        FileTextReader reader(m_nDocumentFlags);
        reader.DecodeBytes(std::string_view(bytes, bytes ? size : 0), m_strDocumentText);
        m_nDocumentFlags = reader.Flags();
        m_strResultText = reader.Results();
        return ParseDocument();
    } catch (const std::bad_alloc&) {
        return ForgetDocument();
    }
}

bool XmlDocument::ForgetDocument()
{
    m_strDocumentText = XmlString();
    ResetCursor();
    m_elementIndex.Release();
    m_elementIndex.Reset(8);
    return false;
}

void XmlDocument::ResetCursor()
{
    m_nParentPosition = 0;
    m_nCurrentPosition = 0;
    m_nChildPosition = 0;
}

bool XmlDocument::ParseDocument()
{
    ResetCursor();
    try {
        if (m_strDocumentText.size() > kMaxDocumentLength) m_strDocumentText = XmlString();
        const size_t length = m_strDocumentText.size();
        m_elementIndex.Reset(length / 64 + 8);
        if (length != 0) {
            TreeBuilder builder(m_strDocumentText, m_elementIndex, m_strResultText,
                                (m_nDocumentFlags & kXmlFlagIgnoreCase) != 0);
            builder.Build();
        }
        ElementRecord& document = m_elementIndex[0];
        document.m_nLength = static_cast<uint32_t>(length);
        const int root = document.m_nFirstChild;
        if (root == 0)
            AddResult(m_strResultText, "no_root_element");
        else if (m_elementIndex[root].m_nNextSibling != 0)
            AddResult(m_strResultText, "root_has_sibling");
        return !document.Has(kDocumentNotWellFormed) && root != 0 && m_elementIndex[root].m_nNextSibling == 0;
    } catch (const std::bad_alloc&) {
        return ForgetDocument();
    }
}

bool XmlDocument::NameMatches(int position, XmlStringView name) const
{
    const XmlStringView text = m_strDocumentText;
    const ElementRecord& record = m_elementIndex[position];
    size_t pos = record.m_nStart + 1;
    while (pos < text.size() && syntax::IsWhite(text[pos])) ++pos;
    const size_t nameStart = pos;
    while (pos < text.size() && !syntax::EndsSearchName(text[pos])) ++pos;
    const size_t tagNameLength = pos - nameStart;
    if (name.size() < tagNameLength) return false;
    if (name.size() > tagNameLength) {
        const XmlChar next = name[tagNameLength];
        if (next != ' ' && next != '=' && next != '/' && next != '[') return false;
    }
    return syntax::EqualNames(text.substr(nameStart, tagNameLength), name.substr(0, tagNameLength),
                              (m_nDocumentFlags & kXmlFlagIgnoreCase) != 0);
}

bool XmlDocument::FindSibling(int from, XmlStringView name, int& found) const
{
    for (int position = from; position != 0; position = m_elementIndex[position].m_nNextSibling) {
        if (name.empty() || NameMatches(position, name)) {
            found = position;
            return true;
        }
    }
    return false;
}

bool XmlDocument::FindNextElement(const XmlChar* name)
{
    name = NullIfEmpty(name);
    if (name != nullptr && name[0] == '/') return false;
    const int from = m_nCurrentPosition != 0 ? m_elementIndex[m_nCurrentPosition].m_nNextSibling
                                             : m_elementIndex[m_nParentPosition].m_nFirstChild;
    int found = 0;
    if (!FindSibling(from, name ? XmlStringView(name) : XmlStringView(), found)) return false;
    m_nCurrentPosition = found;
    m_nChildPosition = 0;
    return true;
}

bool XmlDocument::FindNextChild(const XmlChar* name)
{
    name = NullIfEmpty(name);
    if (name != nullptr && name[0] == '/') return false;
    if (m_nCurrentPosition == 0 && !FindNextElement(nullptr)) return false;
    const int from = m_nChildPosition != 0 ? m_elementIndex[m_nChildPosition].m_nNextSibling
                                           : m_elementIndex[m_nCurrentPosition].m_nFirstChild;
    int found = 0;
    if (!FindSibling(from, name ? XmlStringView(name) : XmlStringView(), found)) return false;
    m_nChildPosition = found;
    return true;
}

bool XmlDocument::EnterElement()
{
    if (m_nCurrentPosition == 0) return false;
    m_nParentPosition = m_nCurrentPosition;
    m_nCurrentPosition = m_nChildPosition;
    m_nChildPosition = 0;
    return true;
}

bool XmlDocument::LeaveElement()
{
    if (m_nParentPosition == 0) return false;
    m_nChildPosition = m_nCurrentPosition;
    m_nCurrentPosition = m_nParentPosition;
    m_nParentPosition = m_elementIndex[m_nParentPosition].m_nParent;
    return true;
}

XmlString XmlDocument::ElementText(int position) const
{
    if (position <= 0 || position >= m_elementIndex.Count()) return XmlString();
    const ElementRecord& record = m_elementIndex[position];
    if (record.m_nFirstChild != 0 || record.m_nStartTagLength >= record.m_nLength) return XmlString();
    const size_t contentStart = static_cast<size_t>(record.m_nStart) + record.m_nStartTagLength;
    const size_t contentEnd = static_cast<size_t>(record.m_nStart) + record.m_nLength - record.m_nEndTagLength;
    if (contentEnd < contentStart || contentEnd > m_strDocumentText.size()) return XmlString();
    const XmlStringView text = XmlStringView(m_strDocumentText).substr(0, contentEnd);
    if (syntax::FindChar(text, contentStart, '<') == contentEnd) return DecodeText(text.substr(contentStart));

    XmlString result;
    XmlNode node;
    for (size_t pos = contentStart; pos < contentEnd; pos = node.m_nEnd) {
        syntax::ScanNode(text, pos, node);
        if (node.m_kind == XmlNodeKind::Text) {
            AppendDecodedText(result, text.substr(node.m_nStart, node.m_nEnd - node.m_nStart));
        } else if (node.m_kind == XmlNodeKind::CdataSection) {
            constexpr size_t kOpening = 9;  // "<![CDATA["
            constexpr size_t kClosing = 3;  // "]]>"
            const size_t length = node.m_nEnd - node.m_nStart;
            if (length > kOpening + kClosing)
                result.append(text.substr(node.m_nStart + kOpening, length - kOpening - kClosing));
        }
    }
    return result;
}

}  // namespace korvex::xml
