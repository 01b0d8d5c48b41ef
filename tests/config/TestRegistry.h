#pragma once
// Registry keys of the tests: each test works below its own key and removes
// it afterwards; values of shared keys are restored as they were.

#include <windows.h>

#include <optional>
#include <string>

namespace config_test {

inline constexpr wchar_t kTestKeyRoot[] = L"SOFTWARE\\Korvex Configuration Tests";

// HKEY_CURRENT_USER or HKEY_LOCAL_MACHINE\<kTestKeyRoot>\<name>, removed
// with everything below it when the object goes.
class ScratchKey {
public:
    ScratchKey(HKEY root, const std::wstring& name)
        : m_hRoot(root), m_strPath(std::wstring(kTestKeyRoot) + L"\\" + name)
    {
        RegDeleteTreeW(m_hRoot, m_strPath.c_str());
    }
    ~ScratchKey() { RegDeleteTreeW(m_hRoot, m_strPath.c_str()); }
    ScratchKey(const ScratchKey&) = delete;
    ScratchKey& operator=(const ScratchKey&) = delete;

    const std::wstring& Path() const { return m_strPath; }
    bool Exists() const
    {
        HKEY key = nullptr;
        if (RegOpenKeyExW(m_hRoot, m_strPath.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
            return false;
        }
        RegCloseKey(key);
        return true;
    }

private:
    HKEY m_hRoot;
    std::wstring m_strPath;
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
    void Remove() const
    {
        HKEY key = nullptr;
        if (RegOpenKeyExW(m_hRoot, m_strPath.c_str(), 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
            RegDeleteValueW(key, m_strName.c_str());
            RegCloseKey(key);
        }
    }

private:
    HKEY m_hRoot;
    std::wstring m_strPath;
    std::wstring m_strName;
    std::optional<std::wstring> m_saved;
};

}  // namespace config_test
