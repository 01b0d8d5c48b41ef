#include "xml/XmlPlatform.h"

#include "xml/TextEncodings.h"

#include <cerrno>
#include <cstring>

namespace korvex::xml {

namespace platform {
namespace {

constexpr int kHostAnsiPage = 1252;
constexpr char16_t kReplacement = 0xFFFD;

// 0x80-0x9F of windows-1252; the five unassigned bytes map to themselves.
constexpr char16_t kWindows1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char16_t SingleByteToUnit(int codePage, unsigned char byte)
{
    if (codePage == kHostAnsiPage && byte >= 0x80 && byte < 0xA0) return kWindows1252High[byte - 0x80];
    return byte;
}

bool UnitToSingleByte(int codePage, char16_t unit, char& byte)
{
    if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF) || (codePage != kHostAnsiPage && unit <= 0xFF)) {
        byte = static_cast<char>(unit);
        return true;
    }
    if (codePage == kHostAnsiPage) {
        for (int i = 0; i < 32; ++i) {
            if (kWindows1252High[i] == unit) {
                byte = static_cast<char>(0x80 + i);
                return true;
            }
        }
    }
    return false;
}

// Decodes UTF-8 with the platform's rule: each byte of an ill-formed
// sequence becomes U+FFFD. ASCII runs are copied eight bytes at a time.
void DecodeUtf8(std::string_view bytes, XmlString& text)
{
    text.resize(bytes.size());
    const unsigned char* in = reinterpret_cast<const unsigned char*>(bytes.data());
    const size_t size = bytes.size();
    char16_t* out = text.data();
    size_t pos = 0;
    while (pos < size) {
        if (pos + 8 <= size) {
            uint64_t block;
            std::memcpy(&block, in + pos, 8);
            if ((block & 0x8080808080808080ull) == 0) {
                for (int i = 0; i < 8; ++i) *out++ = in[pos + i];
                pos += 8;
                continue;
            }
        }
        const unsigned char lead = in[pos];
        if (lead < 0x80) {
            *out++ = lead;
            ++pos;
            continue;
        }
        int count;
        uint32_t value;
        uint32_t minimum;
        if (lead >= 0xC2 && lead <= 0xDF) {
            count = 1, value = lead & 0x1F, minimum = 0x80;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            count = 2, value = lead & 0x0F, minimum = 0x800;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            count = 3, value = lead & 0x07, minimum = 0x10000;
        } else {
            *out++ = kReplacement;
            ++pos;
            continue;
        }
        int taken = 0;
        while (taken < count && pos + 1 + taken < size && (in[pos + 1 + taken] & 0xC0) == 0x80) {
            value = (value << 6) | (in[pos + 1 + taken] & 0x3F);
            ++taken;
        }
        if (taken < count || value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
            *out++ = kReplacement;
            ++pos;
            continue;
        }
        if (value > 0xFFFF) {
            value -= 0x10000;
            *out++ = static_cast<char16_t>(0xD800 + (value >> 10));
            *out++ = static_cast<char16_t>(0xDC00 + (value & 0x3FF));
        } else {
            *out++ = static_cast<char16_t>(value);
        }
        pos += count + 1;
    }
    text.resize(static_cast<size_t>(out - text.data()));
}

void EncodeUtf8(XmlStringView text, std::string& bytes)
{
    for (size_t i = 0; i < text.size(); ++i) {
        const char32_t value = ReadCodePoint(text, i);
        AppendUtf8(bytes, (value >= 0xD800 && value <= 0xDFFF) ? kReplacement : value);
    }
}

bool IsHostSingleBytePage(int codePage)
{
    return codePage == kHostAnsiPage || codePage == 28591;
}

}  // namespace

bool BytesToUtf16(int codePage, std::string_view bytes, XmlString& text)
{
    if (codePage == 0) codePage = kHostAnsiPage;
    if (codePage == 65001) {
        DecodeUtf8(bytes, text);
        return true;
    }
    if (!IsHostSingleBytePage(codePage)) return false;
    text.resize(bytes.size());
    for (size_t i = 0; i < bytes.size(); ++i)
        text[i] = SingleByteToUnit(codePage, static_cast<unsigned char>(bytes[i]));
    return true;
}

bool Utf16ToBytes(int codePage, XmlStringView text, std::string& bytes, bool* usedDefault)
{
    if (codePage == 0) codePage = kHostAnsiPage;
    bytes.clear();
    if (codePage == 65001) {
        EncodeUtf8(text, bytes);
        return true;
    }
    if (!IsHostSingleBytePage(codePage)) return false;
    bool used = false;
    for (char16_t unit : text) {
        char byte;
        if (!UnitToSingleByte(codePage, unit, byte)) {
            byte = '?';
            used = true;
        }
        bytes.push_back(byte);
    }
    if (usedDefault) *usedDefault = used;
    return true;
}

uint32_t LastError()
{
    return static_cast<uint32_t>(errno);
}

XmlString ErrorMessage(uint32_t error)
{
    const std::string message = std::strerror(static_cast<int>(error));
    XmlString text;
    DecodeUtf8(message.substr(0, 100), text);
    return text.substr(0, text.find_first_of(u"\r\n"));
}

bool ReadOnlyFile::Open(const XmlChar* path)
{
    std::string utf8Path;
    EncodeUtf8(path, utf8Path);
    m_pFile = std::fopen(utf8Path.c_str(), "rb");
    return m_pFile != nullptr;
}

bool ReadOnlyFile::Size(uint64_t& size)
{
    if (fseeko(m_pFile, 0, SEEK_END) != 0) return false;
    const off_t end = ftello(m_pFile);
    if (end < 0 || fseeko(m_pFile, 0, SEEK_SET) != 0) return false;
    size = static_cast<uint64_t>(end);
    return true;
}

}  // namespace platform

}  // namespace korvex::xml
