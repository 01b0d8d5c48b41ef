#include <gtest/gtest.h>

#include <string>

#include "install/FourPartVersion.h"
#include "install/ServerManifest.h"

using namespace korvex::install;
using namespace korvex::config;

namespace {

struct ParseCase {
    const wchar_t* text;
    FourPartVersion expected;
};

class ParseVersionTest : public testing::TestWithParam<ParseCase> {};

TEST_P(ParseVersionTest, ReadsFourPiecesOrNothing)
{
    const FourPartVersion version = ParseVersion(GetParam().text);
    EXPECT_EQ(version.m_nMajor, GetParam().expected.m_nMajor);
    EXPECT_EQ(version.m_nMinor, GetParam().expected.m_nMinor);
    EXPECT_EQ(version.m_nThird, GetParam().expected.m_nThird);
    EXPECT_EQ(version.m_nFourth, GetParam().expected.m_nFourth);
}

INSTANTIATE_TEST_SUITE_P(Texts, ParseVersionTest,
                         testing::Values(ParseCase{L"1.2.3.4", {1, 2, 3, 4}},
                                         ParseCase{L"18.0.1.2024", {18, 0, 1, 2024}},
                                         ParseCase{L"1.2.3", {}},               // three pieces
                                         ParseCase{L"1.2", {}},                 // shorter than seven characters
                                         ParseCase{L"1.2.3.", {}},              // six characters
                                         ParseCase{L"1.2.3.4.5", {}},           // five pieces
                                         ParseCase{L"1..2.3.4", {1, 2, 3, 4}},  // empty pieces are skipped
                                         ParseCase{L".1.2.3.4.", {1, 2, 3, 4}},
                                         ParseCase{L"a.b.c.d", {}},  // no digits read as 0
                                         ParseCase{L"1.2.0.5 ", {1, 2, 0, 5}}, ParseCase{L" 7.8.9.10", {7, 8, 9, 10}},
                                         ParseCase{L"-1.0.0.0", {4294967295u, 0, 0, 0}},
                                         ParseCase{L"99999999999.0.0.0", {2147483647u, 0, 0, 0}}, ParseCase{L"", {}}));

TEST(VersionCompare, ThirdComponentNeverCounts)
{
    EXPECT_FALSE(IsNewerInSameMajor(ParseVersion(L"1.2.9.5"), ParseVersion(L"1.2.0.5")));
    EXPECT_FALSE(IsNewer(ParseVersion(L"1.2.9.5"), ParseVersion(L"1.2.0.5")));
    EXPECT_TRUE(IsNewerInSameMajor(ParseVersion(L"1.2.0.6"), ParseVersion(L"1.2.9.5")));
}

TEST(VersionCompare, ComponentsCompareUnsigned)
{
    EXPECT_TRUE(IsNewer(ParseVersion(L"-1.0.0.0"), ParseVersion(L"5.0.0.0")));
    EXPECT_TRUE(IsNewerInSameMajor(ParseVersion(L"1.0.0.-1"), ParseVersion(L"1.0.0.7")));
}

struct ReleaseCase {
    const char* name;
    int bProductInstalled;
    const wchar_t* installedVersion;
    const wchar_t* offeredVersion;  // the patch release, which is also the standalone version
    int bStandalone;
    const wchar_t* clientVersion;
    const wchar_t* freshMinimum;
    const wchar_t* patchMinimum;
    int expected;
};

class EvaluateReleaseTest : public testing::TestWithParam<ReleaseCase> {};

TEST_P(EvaluateReleaseTest, Decides)
{
    const ReleaseCase& c = GetParam();
    ProductManifest manifest;
    manifest.m_strStandaloneVersion = c.offeredVersion;
    manifest.m_bStandalone = c.bStandalone;
    manifest.m_strWebInstallerVersion = c.clientVersion;
    manifest.m_freshInstall.m_strMinClientVersion = c.freshMinimum;
    manifest.m_patchInstall.m_strMinClientVersion = c.patchMinimum;
    EXPECT_EQ(EvaluateRelease(manifest, c.bProductInstalled, c.installedVersion), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EvaluateReleaseTest,
    testing::Values(
        ReleaseCase{"EqualIsNotNewer", 1, L"1.2.0.5", L"1.2.0.5", 0, L"1.0.0.1", L"", L"", CheckProductInstalled},
        ReleaseCase{"FourthMustGrowToo", 1, L"1.2.0.5", L"1.3.0.4", 0, L"1.0.0.1", L"", L"", CheckProductInstalled},
        ReleaseCase{"MajorMustBeEqual", 1, L"1.2.0.5", L"2.0.0.9", 0, L"1.0.0.1", L"", L"", CheckProductInstalled},
        ReleaseCase{"InstalledWithoutVersion", 1, L"", L"1.2.0.6", 0, L"1.0.0.1", L"", L"", CheckNoInstalledVersion},
        ReleaseCase{"UpdateProceeds", 1, L"1.2.0.5", L"1.2.0.6", 0, L"1.0.0.9", L"", L"1.0.0.9", CheckOk},
        ReleaseCase{"UpdateNeedsNewerClient", 1, L"1.2.0.5", L"1.2.0.6", 0, L"1.0.0.8", L"", L"1.0.0.9",
                    CheckClientOutdated},
        ReleaseCase{"UpdateIgnoresGreaterMajorMinimum", 1, L"1.2.0.5", L"1.2.0.6", 0, L"1.0.0.8", L"", L"2.0.0.1",
                    CheckOk},
        ReleaseCase{"StandaloneUpdateIgnoresClient", 1, L"1.2.0.5", L"1.2.0.6", 1, L"1.0.0.8", L"", L"1.0.0.9",
                    CheckOk},
        ReleaseCase{"StandaloneNotNewerThanInstalled", 1, L"1.2.0.5", L"1.2.0.5", 1, L"1.0.0.8", L"", L"",
                    CheckProductInstalled},
        ReleaseCase{"GreaterMajorSuffices", 0, L"", L"", 0, L"1.0.0.10", L"2.0.0.1", L"", CheckClientOutdated},
        ReleaseCase{"LowerMinorIsNotNewer", 0, L"", L"", 0, L"1.1.0.10", L"1.0.0.20", L"", CheckOk},
        ReleaseCase{"SameMajorNewerFourth", 0, L"", L"", 0, L"1.1.0.10", L"1.1.0.11", L"", CheckClientOutdated},
        ReleaseCase{"FreshStandaloneProceeds", 0, L"", L"", 1, L"1.0.0.10", L"2.0.0.1", L"", CheckOk},
        ReleaseCase{"NoServerFacts", 0, L"", L"", 0, L"1.0.0.10", L"", L"", CheckOk},
        ReleaseCase{"ClientWithoutVersion", 0, L"", L"", 0, L"", L"0.0.0.1", L"", CheckClientOutdated}),
    [](const testing::TestParamInfo<ReleaseCase>& info) { return std::string(info.param.name); });

}  // namespace
