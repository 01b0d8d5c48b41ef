#include "xml/FileTextReader.h"

#include "xml/TextEncodings.h"
#include "xml/XmlNodeScanner.h"
#include "xml/XmlPlatform.h"
#include "xml/XmlResults.h"

#include <algorithm>
#include <string>

namespace korvex::xml {

const ByteOrderMark BomTable[3] = {
    {"\xEF\xBB\xBF", "UTF-8", kXmlFlagUtf8Mark, 1},
    {"\xFF\xFE", "UTF-16LE", kXmlFlagUtf16LE, 2},
    {"\xFE\xFF", "UTF-16BE", kXmlFlagUtf16BE, 2},
};

namespace {

constexpr size_t kDeclarationSearchBytes = 1024;
// Offsets in the document are 32-bit.
constexpr uint64_t kMaxFileSize = 0x7FFFFFFF;
constexpr uint32_t kEncodingFlags = kXmlFlagUtf16LE | kXmlFlagUtf8Mark | kXmlFlagUtf16BE;

bool IsNamed(XmlStringView name, std::string_view expected)
{
    return syntax::EqualNames(name, AsciiText(expected), true);
}

XmlStringView TagName(XmlStringView text, const XmlNode& node, size_t prefix)
{
    return text.substr(node.m_nStart + prefix, node.m_nNameEnd - node.m_nStart - prefix);
}

// "charset", optional white space, "=", optional white space, then the value.
XmlString CharsetOfContent(XmlStringView content)
{
    static const XmlString charset = AsciiText("charset");
    for (size_t pos = 0; pos + charset.size() <= content.size(); ++pos) {
        if (!syntax::EqualNames(content.substr(pos, charset.size()), charset, true)) continue;
        size_t at = pos + charset.size();
        while (at < content.size() && syntax::IsWhite(content[at])) ++at;
        if (at >= content.size() || content[at] != '=') continue;
        ++at;
        while (at < content.size() && syntax::IsWhite(content[at])) ++at;
        const size_t valueStart = at;
        while (at < content.size() && !syntax::EndsSearchName(content[at])) ++at;
        return XmlString(content.substr(valueStart, at - valueStart));
    }
    return XmlString();
}

}  // namespace

XmlString FindDeclaredEncoding(XmlStringView head)
{
    XmlNode node;
    XmlStringView value;
    if (head.size() >= 2 && head[0] == '<' && head[1] == '?') {
        syntax::ScanNode(head, 0, node);
        if (node.m_kind == XmlNodeKind::ProcessingInstruction) {
            size_t targetEnd = 2;
            while (targetEnd < node.m_nEnd && !syntax::IsWhite(head[targetEnd]) && head[targetEnd] != '?') ++targetEnd;
            if (IsNamed(head.substr(2, targetEnd - 2), "xml")) {
                if (syntax::FindAttribute(head, 0, node.m_nEnd, "encoding", value)) return XmlString(value);
                return XmlString();
            }
        }
    }
    bool insideHtml = false;
    for (size_t pos = 0; pos < head.size(); pos = node.m_nEnd) {
        syntax::ScanNode(head, pos, node);
        switch (node.m_kind) {
            case XmlNodeKind::Malformed:
            case XmlNodeKind::Unterminated:
                return XmlString();
            case XmlNodeKind::EndTag:
                if (IsNamed(TagName(head, node, 2), "head")) return XmlString();
                break;
            case XmlNodeKind::StartTag:
                if (!insideHtml) {
                    if (!IsNamed(TagName(head, node, 1), "html")) return XmlString();
                    insideHtml = true;
                } else if (IsNamed(TagName(head, node, 1), "meta") &&
                           syntax::FindAttribute(head, node.m_nStart, node.m_nEnd, "http-equiv", value) &&
                           IsNamed(value, "content-type") &&
                           syntax::FindAttribute(head, node.m_nStart, node.m_nEnd, "content", value)) {
                    XmlString charset = CharsetOfContent(value);
                    if (!charset.empty()) return charset;
                }
                break;
            default:
                break;
        }
    }
    return XmlString();
}

bool FileTextReader::ReadFile(const XmlChar* path, XmlString& text)
{
    m_strResults.clear();
    text.clear();
    platform::ReadOnlyFile file;
    if (path == nullptr || !file.Open(path)) {
        AddFileError(platform::LastError());
        return false;
    }
    uint64_t size = 0;
    if (!file.Size(size)) {
        AddFileError(platform::LastError());
        return false;
    }
    if (size > kMaxFileSize) {
        AddFileError(platform::kErrorFileTooLarge);
        return false;
    }
    std::string bytes(static_cast<size_t>(size), '\0');
    if (size != 0 && !file.Read(bytes.data(), bytes.size())) {
        AddFileError(platform::LastError());
        return false;
    }
    DecodeBytes(bytes, text);
    if (!file.Close()) AddFileError(platform::LastError());
    return true;
}

void FileTextReader::DecodeBytes(std::string_view bytes, XmlString& text)
{
    // Encoding flags left over from an earlier load must not decide this one.
    m_nFlags &= ~kEncodingFlags;
    m_nUnitSize = 1;
    m_strEncoding.clear();
    size_t textStart = 0;
    for (const ByteOrderMark& mark : BomTable) {
        if (bytes.substr(0, mark.m_bytes.size()) == mark.m_bytes) {
            m_nFlags |= mark.m_nFlag;
            m_strEncoding = AsciiText(mark.m_szEncoding);
            m_nUnitSize = mark.m_nUnitSize;
            textStart = mark.m_bytes.size();
            AddResult(m_strResults, "bom");
            break;
        }
    }
    if (textStart == 0) {
        XmlString head;
        platform::BytesToUtf16(kCodePageUtf8, bytes.substr(0, kDeclarationSearchBytes), head);
        m_strEncoding = FindDeclaredEncoding(head);
        // Bytes without a mark are 8-bit text: a 16- or 32-bit name cannot be right.
        if (IsWideCodePage(CodePageOfEncoding(m_strEncoding))) m_strEncoding.clear();
        if (m_strEncoding.empty() && !bytes.empty() && bytes[0] == '<') m_strEncoding = AsciiText("UTF-8");
    }
    text.clear();
    const std::string_view rest = bytes.substr(textStart);
    if (rest.empty()) {
        AddResult(m_strResults, "read", {{"encoding", m_strEncoding}, {"length", NumberText(0)}});
        return;
    }
    if (m_nUnitSize == 2)
        ReadUtf16(rest, text);
    else
        ReadBytes(rest, text);
}

void FileTextReader::ReadUtf16(std::string_view bytes, XmlString& text)
{
    const size_t units = bytes.size() / 2;
    AddResult(m_strResults, "read", {{"encoding", m_strEncoding}, {"length", NumberText(units)}});
    const bool bigEndian = (m_nFlags & kXmlFlagUtf16BE) != 0;
    text.resize(units);
    size_t kept = 0;
    for (size_t i = 0; i < units; ++i) {
        const unsigned first = static_cast<unsigned char>(bytes[2 * i]);
        const unsigned second = static_cast<unsigned char>(bytes[2 * i + 1]);
        const unsigned unit = bigEndian ? (first << 8 | second) : (second << 8 | first);
        if (unit != 0) text[kept++] = static_cast<XmlChar>(unit);
    }
    text.resize(kept);
    if (kept != units) AddResult(m_strResults, "nulls_removed", {{"count", NumberText(units - kept)}});
    if (bigEndian) AddResult(m_strResults, "endian_swap");
}

void FileTextReader::ReadBytes(std::string_view bytes, XmlString& text)
{
    AddResult(m_strResults, "read", {{"encoding", m_strEncoding}, {"length", NumberText(bytes.size())}});
    std::string withoutNulls;
    const size_t nulls = static_cast<size_t>(std::count(bytes.begin(), bytes.end(), '\0'));
    if (nulls != 0) {
        withoutNulls.reserve(bytes.size() - nulls);
        std::copy_if(bytes.begin(), bytes.end(), std::back_inserter(withoutNulls), [](char c) { return c != 0; });
        bytes = withoutNulls;
        AddResult(m_strResults, "nulls_removed", {{"count", NumberText(nulls)}});
    }
    if (m_strEncoding.empty()) {
        if (PassesUtf8Test(bytes)) {
            m_strEncoding = AsciiText("UTF-8");
            UpdateResult(m_strResults, "read", "encoding", m_strEncoding);
        }
        AddResult(m_strResults, "utf8_detection");
    }
    const int length = ConvertText(m_strEncoding, AsciiText("UTF-16"), bytes, text);
    if (length < 0) text.clear();
    AddResult(m_strResults, "converted_to", {{"encoding", AsciiText("UTF-16")}, {"length", NumberText(text.size())}});
}

void FileTextReader::AddFileError(uint32_t error)
{
    AddResult(m_strResults, "file_error", {{"msg", platform::ErrorMessage(error)}, {"n", NumberText(error)}});
}

}  // namespace korvex::xml
