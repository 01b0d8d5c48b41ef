#pragma once
// The countries where the licence consent box starts unticked: Japan, Canada,
// the member states of the European Union and the United Kingdom, keyed by
// Windows geographical location identifier (GEOID).

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

namespace korvex::config {

using ConsentRegion = std::unordered_map<std::int32_t, std::wstring>;

ConsentRegion BuildConsentRegion();

// Whether the GEOID text (decimal, as stored in the registry value "Nation")
// names a country of the region; text without digits is country 0.
bool IsNationInConsentRegion(const ConsentRegion& region, std::wstring_view nation);

}  // namespace korvex::config
