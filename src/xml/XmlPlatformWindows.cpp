#include "xml/XmlPlatform.h"

#include <windows.h>

#include <share.h>

#include <climits>

namespace korvex::xml {

namespace platform {

bool BytesToUtf16(int codePage, std::string_view bytes, XmlString& text)
{
    text.clear();
    if (bytes.empty()) return true;
    if (bytes.size() > INT_MAX) return false;
    const int count = static_cast<int>(bytes.size());
    const int length = MultiByteToWideChar(codePage, 0, bytes.data(), count, nullptr, 0);
    if (length <= 0) return false;
    text.resize(length);
    return MultiByteToWideChar(codePage, 0, bytes.data(), count, text.data(), length) == length;
}

bool Utf16ToBytes(int codePage, XmlStringView text, std::string& bytes, bool* usedDefault)
{
    bytes.clear();
    if (text.empty()) return true;
    if (text.size() > INT_MAX) return false;
    const int count = static_cast<int>(text.size());
    BOOL used = FALSE;
    BOOL* usedPointer = usedDefault ? &used : nullptr;
    const int length = WideCharToMultiByte(codePage, 0, text.data(), count, nullptr, 0, nullptr, usedPointer);
    if (length <= 0) return false;
    bytes.resize(length);
    if (WideCharToMultiByte(codePage, 0, text.data(), count, bytes.data(), length, nullptr, usedPointer) != length)
        return false;
    if (usedDefault) *usedDefault = used != FALSE;
    return true;
}

uint32_t LastError()
{
    return GetLastError();
}

XmlString ErrorMessage(uint32_t error)
{
    wchar_t buffer[101] = {};
    const DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
                                        buffer, 100, nullptr);
    XmlString message(buffer, length);
    return message.substr(0, message.find_first_of(L"\r\n"));
}

bool ReadOnlyFile::Open(const XmlChar* path)
{
    m_pFile = _wfsopen(path, L"rb", _SH_DENYNO);
    return m_pFile != nullptr;
}

bool ReadOnlyFile::Size(uint64_t& size)
{
    if (_fseeki64(m_pFile, 0, SEEK_END) != 0) return false;
    const __int64 end = _ftelli64(m_pFile);
    if (end < 0 || _fseeki64(m_pFile, 0, SEEK_SET) != 0) return false;
    size = static_cast<uint64_t>(end);
    return true;
}

}  // namespace platform

}  // namespace korvex::xml
