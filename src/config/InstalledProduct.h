#pragma once
// The version of an installed copy of the product, asked of Windows Installer
// by product code (a braced GUID).

#include <string>

#include "config/ProductConfiguration.h"

// An empty version when the product is not installed. Failures other than
// "unknown product" are shown in the application's message box and also
// yield an empty version.
korvex::config::InstalledProductInfo QueryInstalledProduct(const std::wstring& productCode);
