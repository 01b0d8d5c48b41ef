#include "config/ConsentRegion.h"

#include <gtest/gtest.h>

#include "config/ConsentRegionWin.h"
#include "support/TestRegistry.h"

using namespace korvex::config;

namespace {

// The user's real Geo settings in the test prefix, restored afterwards.
TEST(IsInConsentRegion, ReadsTheUsersNation)
{
    const SavedStringValue nation(HKEY_CURRENT_USER, L"Control Panel\\International\\Geo", L"Nation");
    const ConsentRegion region = BuildConsentRegion();
    const struct {
        const wchar_t* m_nation;
        bool m_bInRegion;
    } rows[] = {{L"94", true}, {L"244", false}, {L"0122", true}, {L"39", true}, {L"", false}, {L"Germany", false}};
    for (const auto& row : rows) {
        nation.Set(row.m_nation);
        EXPECT_EQ(IsInConsentRegion(region), row.m_bInRegion) << std::wstring(row.m_nation).size();
    }
    nation.Remove();
    EXPECT_FALSE(IsInConsentRegion(region)) << "a missing value is country 0";
}

}  // namespace
