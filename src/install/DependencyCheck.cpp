#include "install/DependencyCheck.h"

#include <windows.h>

#include <string>
#include <unordered_map>
#include <vector>

#include "base/WinHandles.h"

namespace {

// A string value of a key that is opened for reading only: probing a
// prerequisite must never create its keys.
std::wstring ReadStringValue(HKEY root, const wchar_t* subkey, const wchar_t* valueName)
{
    HKEY opened = nullptr;
    if (RegOpenKeyExW(root, subkey, 0, KEY_READ, &opened) != ERROR_SUCCESS) {
        return std::wstring();
    }
    const RegistryKeyHandle key(opened);
    DWORD size = 0;
    if (RegQueryValueExW(key.get(), valueName, nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS) {
        return std::wstring();
    }
    // One character more, so a value stored without its terminator ends too.
    std::vector<wchar_t> buffer(size / sizeof(wchar_t) + 2, L'\0');
    if (RegQueryValueExW(key.get(), valueName, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer.data()), &size) !=
        ERROR_SUCCESS) {
        return std::wstring();
    }
    return std::wstring(buffer.data());
}

// Any recorded version counts, except the one an uninstaller leaves behind.
bool IsRecordedVersion(const std::wstring& version)
{
    return !version.empty() && version != L"0.0.0.0";
}

constexpr wchar_t kWebViewClient[] = L"{F3017226-FE2A-4295-8BDF-00C3A9A7E4C5}";

bool IsWebViewRuntimePresent()
{
    const std::wstring machine =
        std::wstring(L"SOFTWARE\\WOW6432Node\\Microsoft\\EdgeUpdate\\Clients\\") + kWebViewClient;
    const std::wstring user = std::wstring(L"Software\\Microsoft\\EdgeUpdate\\Clients\\") + kWebViewClient;
    return IsRecordedVersion(ReadStringValue(HKEY_LOCAL_MACHINE, machine.c_str(), L"pv")) ||
           IsRecordedVersion(ReadStringValue(HKEY_CURRENT_USER, user.c_str(), L"pv"));
}

bool IsNeverPresent()
{
    return false;
}

bool IsBonjourPresent()
{
    return IsRecordedVersion(ReadStringValue(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Apple Inc.\\Bonjour", L"Version"));
}

using PresenceCheck = bool (*)();

const std::unordered_map<std::string, PresenceCheck> DependencyCheckTable = {
    {"webview2.exe", &IsWebViewRuntimePresent},
    {"vc_redist.exe", &IsNeverPresent},
    {"bonjour.msi", &IsBonjourPresent},
};

// No best-fit mapping: a look-alike character must not turn into a known name.
bool ToThreadCodePage(const std::wstring& name, std::string& narrow)
{
    if (name.empty()) {
        narrow.clear();
        return true;
    }
    const int length = static_cast<int>(name.size());
    BOOL bDefaultUsed = FALSE;
    const int size = WideCharToMultiByte(CP_THREAD_ACP, WC_NO_BEST_FIT_CHARS, name.data(), length, nullptr, 0, nullptr,
                                         &bDefaultUsed);
    if (size <= 0 || bDefaultUsed) {
        return false;
    }
    narrow.assign(static_cast<std::size_t>(size), '\0');
    return WideCharToMultiByte(CP_THREAD_ACP, WC_NO_BEST_FIT_CHARS, name.data(), length, narrow.data(), size, nullptr,
                               &bDefaultUsed) == size &&
           !bDefaultUsed;
}

}  // namespace

bool IsDependencyPresent(const std::wstring& name)
{
    std::string narrow;
    if (!ToThreadCodePage(name, narrow)) {
        return false;
    }
    const auto check = DependencyCheckTable.find(narrow);
    return check != DependencyCheckTable.end() && check->second();
}
