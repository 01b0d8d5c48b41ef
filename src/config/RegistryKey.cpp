#include "config/RegistryKey.h"

#include <new>

using namespace korvex::config;

void RegistryKey::Open(HKEY root, const std::wstring& subkeyPath)
{
    Close();
    m_strPath = subkeyPath;
    HKEY key = nullptr;
    if (RegCreateKeyExW(root, m_strPath.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_READ | KEY_SET_VALUE | KEY_CREATE_SUB_KEY, nullptr, &key, nullptr) == ERROR_SUCCESS) {
        m_key.reset(key);
        m_bWritable = true;
        return;
    }
    if (RegOpenKeyExW(root, m_strPath.c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS) {
        m_key.reset(key);
    }
}

void RegistryKey::Close()
{
    m_key.reset();
    m_bWritable = false;
    m_strPath.clear();
}

std::unique_ptr<wchar_t[]> RegistryKey::QueryString(const wchar_t* valueName) const
{
    if (!ReadHandle()) {
        return nullptr;
    }
    // The value may change between the size query and the read; ask again
    // when it grew.
    for (int attempt = 0; attempt < 4; ++attempt) {
        DWORD bytes = 0;
        if (RegQueryValueExW(ReadHandle(), valueName, nullptr, nullptr, nullptr, &bytes) != ERROR_SUCCESS) {
            return nullptr;
        }
        // One character more than stored (rounded up for an odd size), so a
        // value saved without its terminating NUL still comes back terminated.
        const std::size_t characters = (bytes + sizeof(wchar_t) - 1) / sizeof(wchar_t) + 1;
        std::unique_ptr<wchar_t[]> text(new (std::nothrow) wchar_t[characters]());
        if (!text) {
            return nullptr;
        }
        DWORD readBytes = static_cast<DWORD>((characters - 1) * sizeof(wchar_t));
        const LONG result = RegQueryValueExW(ReadHandle(), valueName, nullptr, nullptr,
                                             reinterpret_cast<BYTE*>(text.get()), &readBytes);
        if (result == ERROR_MORE_DATA) {
            continue;
        }
        if (result != ERROR_SUCCESS) {
            return nullptr;
        }
        text[(readBytes + sizeof(wchar_t) - 1) / sizeof(wchar_t)] = L'\0';
        return text;
    }
    return nullptr;
}

LONG RegistryKey::SetString(const wchar_t* valueName, const std::wstring& text)
{
    if (!WriteHandle()) {
        return ERROR_CANTWRITE;
    }
    return RegSetValueExW(WriteHandle(), valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                          static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

void RegistryKey::EnumSubkeys(Table& names) const
{
    if (!ReadHandle()) {
        return;
    }
    wchar_t name[512];
    for (DWORD index = 0;; ++index) {
        DWORD length = ARRAYSIZE(name);
        const LONG result = RegEnumKeyExW(ReadHandle(), index, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (result == ERROR_NO_MORE_ITEMS) {
            break;
        }
        // A name that does not fit (never for real keys) is skipped, not cut.
        if (result == ERROR_MORE_DATA) {
            continue;
        }
        if (result != ERROR_SUCCESS) {
            break;
        }
        if (!names.Add(std::wstring_view(name, length))) {
            break;
        }
    }
}
