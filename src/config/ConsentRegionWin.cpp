#include "config/ConsentRegionWin.h"

#include "config/RegistryKey.h"

using namespace korvex::config;

bool IsInConsentRegion(const ConsentRegion& region)
{
    RegistryKey geo(HKEY_CURRENT_USER, L"Control Panel\\International\\Geo");
    const std::unique_ptr<wchar_t[]> nation = geo.QueryString(L"Nation");
    return IsNationInConsentRegion(region, nation ? nation.get() : L"");
}
