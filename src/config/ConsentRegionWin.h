#pragma once
// The consent region against the user's country setting.

#include "config/ConsentRegion.h"

// Whether the user's country (HKEY_CURRENT_USER\Control Panel\International\Geo,
// value "Nation") is in the region.
bool IsInConsentRegion(const korvex::config::ConsentRegion& region);
