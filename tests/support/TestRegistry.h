#pragma once
// Registry keys of the tests: each test works below its own key and removes
// it afterwards; values of shared keys are restored as they were.

#include <windows.h>

#include <optional>
#include <string>

#include "base/WinHandles.h"

inline bool RegistryKeyExists(HKEY root, const std::wstring& path)
{
    HKEY opened = nullptr;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) {
        return false;
    }
    const RegistryKeyHandle key(opened);
    return true;
}

// Removes a key with everything below it now and again when the object goes.
class RemovedRegistryTree {
public:
    RemovedRegistryTree(HKEY root, std::wstring path) : m_hRoot(root), m_strPath(std::move(path))
    {
        RegDeleteTreeW(m_hRoot, m_strPath.c_str());
    }
    ~RemovedRegistryTree() { RegDeleteTreeW(m_hRoot, m_strPath.c_str()); }
    RemovedRegistryTree(const RemovedRegistryTree&) = delete;
    RemovedRegistryTree& operator=(const RemovedRegistryTree&) = delete;

    const std::wstring& Path() const { return m_strPath; }
    bool Exists() const { return RegistryKeyExists(m_hRoot, m_strPath); }

private:
    HKEY m_hRoot;
    std::wstring m_strPath;
};

inline constexpr wchar_t kTestKeyRoot[] = L"SOFTWARE\\Korvex Configuration Tests";

// HKEY_CURRENT_USER or HKEY_LOCAL_MACHINE\<kTestKeyRoot>\<name>, a key of one test.
class ScratchKey : public RemovedRegistryTree {
public:
    ScratchKey(HKEY root, const std::wstring& name)
        : RemovedRegistryTree(root, std::wstring(kTestKeyRoot) + L"\\" + name)
    {}
};

// Saves a string value and puts it back (or removes it) when the object goes.
class SavedStringValue {
public:
    SavedStringValue(HKEY root, std::wstring path, std::wstring name)
        : m_hRoot(root), m_strPath(std::move(path)), m_strName(std::move(name))
    {
        wchar_t value[1024];
        DWORD bytes = sizeof(value);
        if (RegGetValueW(m_hRoot, m_strPath.c_str(), m_strName.c_str(), RRF_RT_REG_SZ, nullptr, value, &bytes) ==
            ERROR_SUCCESS) {
            m_saved = value;
        }
    }
    ~SavedStringValue()
    {
        if (m_saved) {
            Set(*m_saved);
        } else {
            Remove();
        }
    }
    SavedStringValue(const SavedStringValue&) = delete;
    SavedStringValue& operator=(const SavedStringValue&) = delete;

    void Set(const std::wstring& text) const
    {
        RegSetKeyValueW(m_hRoot, m_strPath.c_str(), m_strName.c_str(), REG_SZ, text.c_str(),
                        static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    }
    void Remove() const { RegDeleteKeyValueW(m_hRoot, m_strPath.c_str(), m_strName.c_str()); }

private:
    HKEY m_hRoot;
    std::wstring m_strPath;
    std::wstring m_strName;
    std::optional<std::wstring> m_saved;
};
