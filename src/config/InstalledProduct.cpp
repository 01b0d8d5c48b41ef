#include "config/InstalledProduct.h"

#include <windows.h>
#include <msi.h>
#include <shlwapi.h>

#include <string>

#include "base/DecimalText.h"
#include "base/UserMessageBox.h"

using korvex::base::DecimalText;

using namespace korvex::config;

namespace {

// The application's name for its own message boxes: the executable's file
// name without extension.
std::wstring ApplicationName()
{
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, ARRAYSIZE(path));
    if (length == 0 || length >= ARRAYSIZE(path)) {
        return L"KorvexMasterInstaller";
    }
    PathRemoveExtensionW(path);
    return PathFindFileNameW(path);
}

}  // namespace

InstalledProductInfo QueryInstalledProduct(const std::wstring& productCode)
{
    InstalledProductInfo installed;
    // No product code means no earlier installation to find, not a failure.
    if (productCode.empty()) {
        return installed;
    }
    wchar_t version[MAX_PATH] = {};
    DWORD size = ARRAYSIZE(version);
    const UINT result = MsiGetProductInfoW(productCode.c_str(), INSTALLPROPERTY_VERSIONSTRING, version, &size);
    if (result == ERROR_SUCCESS) {
        installed.m_strVersion = version;
    } else if (result != ERROR_UNKNOWN_PRODUCT) {
        const std::wstring message = L"Failed to get installed product info, error code: " + DecimalText(result);
        UserMessageBox(nullptr, message.c_str(), ApplicationName().c_str(), MB_OK);
    }
    return installed;
}
