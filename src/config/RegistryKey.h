#pragma once
// One registry key opened for reading and, where the process may, writing.
// Opening creates the key when it is missing and the process may create it;
// otherwise it falls back to read-only, and when even that fails every query
// returns nothing and every write returns ERROR_CANTWRITE (1013).

#include <windows.h>

#include <memory>
#include <string>

#include "base/WinHandles.h"
#include "config/Table.h"

class RegistryKey {
public:
    RegistryKey(HKEY root, const std::wstring& subkeyPath) { Open(root, subkeyPath); }
    ~RegistryKey() { Close(); }
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    void Open(HKEY root, const std::wstring& subkeyPath);
    void Close();

    // A terminated copy of the value, owned by the caller; null when the value
    // cannot be read. The type is not checked.
    std::unique_ptr<wchar_t[]> QueryString(const wchar_t* valueName) const;

    // Stores text as REG_SZ; the system's result, or 1013 without write access.
    LONG SetString(const wchar_t* valueName, const std::wstring& text);

    // Appends the name of every subkey, in enumeration order.
    void EnumSubkeys(korvex::config::Table& names) const;

    // For DWORD values, which callers read and write with the system calls.
    HKEY ReadHandle() const { return m_key.get(); }
    HKEY WriteHandle() const { return m_bWritable ? m_key.get() : nullptr; }
    const std::wstring& Path() const { return m_strPath; }

private:
    // One handle serves both: writing, when allowed, uses the read handle.
    RegistryKeyHandle m_key;
    bool m_bWritable = false;
    std::wstring m_strPath;
};
