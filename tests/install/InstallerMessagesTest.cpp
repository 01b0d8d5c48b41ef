#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "install/HomePageCapture.h"
#include "install/MsiProgressRecord.h"

using namespace korvex::install;

namespace {

struct Step {
    const wchar_t* record;
    bool bWellFormed;
    bool bAdvanced;
    std::int32_t runningMaximum;
};

struct RecordSequence {
    const char* name;
    std::int32_t startMaximum;
    std::vector<Step> steps;
};

class ProgressRecordTest : public testing::TestWithParam<RecordSequence> {};

TEST_P(ProgressRecordTest, MovesOnlyForward)
{
    MsiProgressState state;
    state.m_nRunningMaximum = GetParam().startMaximum;
    int stepNumber = 0;
    for (const Step& step : GetParam().steps) {
        SCOPED_TRACE(testing::Message() << "step " << stepNumber++);
        const ProgressRecordOutcome outcome = ApplyProgressRecord(state, step.record);
        EXPECT_EQ(outcome.m_bWellFormed, step.bWellFormed);
        EXPECT_EQ(outcome.m_bAdvanced, step.bAdvanced);
        EXPECT_EQ(state.m_nRunningMaximum, step.runningMaximum);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Records, ProgressRecordTest,
    testing::Values(
        // What Wine's installer sends for a package of one 200000-byte file:
        // more ticks than announced, so the item stops at 100.
        RecordSequence{"WineInstall",
                       0,
                       {{L"1: 0 2: 224000 3: 0 4: 0 ", true, false, 0},
                        {L"1: 2 2: 24000 3: 0 4: 0 ", true, true, 10},
                        {L"1: 2 2: 200000 3: 0 4: 0 ", true, true, 100},
                        {L"1: 2 2: 200000 3: 0 4: 0 ", true, true, 100}}},
        RecordSequence{"BackwardRangeNeverLowersTheBar",
                       0,
                       {{L"1: 0 2: 100 3: 1 4: 0 ", true, false, 0},
                        {L"1: 2 2: 10 ", true, true, 90},
                        {L"1: 2 2: 30 ", true, true, 90}}},
        RecordSequence{"ResetStartsFromTheMaximumReached",
                       40,
                       {{L"1: 0 2: 100 3: 0 4: 0 ", true, false, 40},
                        {L"1: 2 2: 50 ", true, true, 70},
                        {L"1: 0 2: 10 3: 0 4: 0 ", true, false, 70},
                        {L"1: 2 2: 5 ", true, true, 85}}},
        RecordSequence{"ActionInformationAdvancesOnlyWithField3",
                       0,
                       {{L"1: 0 2: 100 3: 0 4: 0 ", true, false, 0},
                        {L"1: 1 2: 20 3: 0 ", true, false, 0},
                        {L"1: 1 2: 20 3: 1 ", true, true, 20},
                        {L"1: 3 2: 50 ", true, false, 20}}},
        RecordSequence{"FieldsPersistBetweenRecords",
                       0,
                       {{L"1: 0 2: 100 3: 0 4: 0 ", true, false, 0},
                        {L"1: 2 2: 10 ", true, true, 10},
                        {L"2: 15 ", true, true, 25}}},
        RecordSequence{
            "NoTicksNoReport", 0, {{L"1: 0 2: 0 3: 0 4: 0 ", true, false, 0}, {L"1: 2 2: 10 ", true, false, 0}}},
        RecordSequence{"ValuesReadLikeTheCLibrary",
                       0,
                       {{L"1: 0 2: 200 3: 0 4: 0 ", true, false, 0},
                        {L"1: 2 2: 50abc ", true, true, 25},
                        {L"1: 2 2: -50 ", true, true, 25},
                        {L"1: 2 2: abc ", true, true, 25},
                        {L"1: 2 2: +100", true, true, 50}}},
        RecordSequence{"HugeValuesStayInRange",
                       0,
                       {{L"1: 0 2: 1 3: 0 4: 0 ", true, false, 0},
                        {L"1: 2 2: 2147483647 ", true, true, 100},
                        {L"1: 2 2: 99999999999 ", true, true, 100}}},
        RecordSequence{"NegativeTotalDoesNotOverflow",
                       0,
                       {{L"1: 0 2: -2147483648 3: 0 4: 0 ", true, false, 0}, {L"1: 2 2: 5 ", true, true, 0}}},
        RecordSequence{"ParsingStopsAfterTheLastFieldOfItsType",
                       0,
                       {{L"1: 0 2: 100 3: 0 4: 0 9: x", true, false, 0},
                        {L"1: 2 2: 20 9: x", true, true, 20},
                        {L"1: 1 2: 10 3: 1 9: x", true, true, 30}}},
        RecordSequence{"MalformedRecordsChangeNothing",
                       0,
                       {{L"1: 0 2: 100 3: 0 4: 0 ", true, false, 0},
                        {L"", false, false, 0},
                        {L"1: x 2: 50 ", false, false, 0},
                        {L"1: ", false, false, 0},
                        {L"1", false, false, 0},
                        {L"5: 1 ", false, false, 0},
                        {L"1: 0 2: 7 9: 1 ", false, false, 0},
                        {L"1: 2 2: 40 ", true, true, 40}}}),
    [](const testing::TestParamInfo<RecordSequence>& info) { return std::string(info.param.name); });

TEST(ProgressRecord, UnknownFieldAbandonsTheResetButKeepsWhatWasRead)
{
    MsiProgressState state;
    ApplyProgressRecord(state, L"1: 0 2: 100 3: 0 4: 0 ");
    EXPECT_FALSE(ApplyProgressRecord(state, L"1: 0 2: 7 9: 1 ").m_bWellFormed);
    EXPECT_EQ(state.m_nTotalTicks, 100);
    EXPECT_EQ(state.m_nField2, 7);
}

TEST(ProgressRecord, NewPackageStartsItsOwnRange)
{
    MsiProgressState state;
    ApplyProgressRecord(state, L"1: 0 2: 100 3: 1 4: 0 ");
    ApplyProgressRecord(state, L"1: 2 2: 40 ");
    ASSERT_EQ(state.m_nRunningMaximum, 60);
    state.m_bFirstMessage = 0;
    state.ResetForPackage();
    EXPECT_EQ(state.m_nRunningMaximum, 0);
    EXPECT_EQ(state.m_nBasePercent, 0);
    EXPECT_EQ(state.m_nTotalTicks, 0);
    EXPECT_EQ(state.m_bForward, 1);
    EXPECT_EQ(state.m_nPosition, 0);
    EXPECT_EQ(state.m_bFirstMessage, 1);
    EXPECT_EQ(state.m_nRecordType, 2);
}

using CaptureFunction = bool (*)(std::wstring_view, std::wstring&);

struct CaptureCase {
    CaptureFunction capture;
    const wchar_t* message;
    const wchar_t* captured;  // empty: nothing captured
};

class PropertyCaptureTest : public testing::TestWithParam<CaptureCase> {};

TEST_P(PropertyCaptureTest, ReadsTheServerSideProperty)
{
    std::wstring found;
    const bool bCaptured = GetParam().capture(GetParam().message, found);
    EXPECT_EQ(found, GetParam().captured);
    EXPECT_EQ(bCaptured, !found.empty());
}

constexpr CaptureFunction kUrl = &CaptureHomePageUrl;
constexpr CaptureFunction kFolder = &CaptureInstallFolder;

INSTANTIATE_TEST_SUITE_P(
    Messages, PropertyCaptureTest,
    testing::Values(
        CaptureCase{kUrl, L"Property(S): InstallHomepageURL = https://fenwyx.example/home",
                    L"https://fenwyx.example/home"},
        CaptureCase{kUrl, L"Property(S):   InstallHomepageURL =   https://a.example/x \r\n", L"https://a.example/x"},
        CaptureCase{kUrl, L"property(s): installhomepageurl = HTTP://A.EXAMPLE", L"HTTP://A.EXAMPLE"},
        CaptureCase{kUrl, L"Property(S):\tInstallHomepageURL =\thttps://t.example", L"https://t.example"},
        CaptureCase{kUrl, L"Property(C): InstallHomepageURL = https://client.example", L""},
        CaptureCase{kUrl, L"Property(S): InstallHomepageURL= https://nospace.example", L""},
        CaptureCase{kUrl, L"Property(S): InstallHomepageURLX = https://other.example", L""},
        CaptureCase{kUrl, L"Property(S): ProductName = Fenwyx Pro", L""},
        CaptureCase{kUrl, L"Property(S): InstallHomepageURL = ", L""}, CaptureCase{kUrl, L"Property(S):", L""},
        CaptureCase{kUrl, L"Property", L""}, CaptureCase{kUrl, L"", L""},
        CaptureCase{kUrl, L"Property(S): INSTALLDIR = C:\\main\\", L""},
        CaptureCase{kFolder, L"Property(S): INSTALLDIR = C:\\My Apps\\Fenwyx Pro\\", L"C:\\My Apps\\Fenwyx Pro\\"},
        CaptureCase{kFolder, L"Property(S): INSTALLDIR =  D:\\x \r\n", L"D:\\x"},
        CaptureCase{kFolder, L"Property(C): INSTALLDIR = C:\\client\\", L""},
        CaptureCase{kFolder, L"Property(S): INSTALLDIRX = C:\\other\\", L""},
        CaptureCase{kFolder, L"Property(S): InstallHomepageURL = https://fenwyx.example/home", L""},
        CaptureCase{kFolder, L"Property(S): INSTALLDIR = ", L""}));

// Later packages of a run report their own values; the main package's stays.
TEST(PropertyCapture, FirstValueWins)
{
    const CaptureCase firsts[] = {
        {kUrl, L"Property(S): InstallHomepageURL = https://first.example", L"https://first.example"},
        {kFolder, L"Property(S): INSTALLDIR = C:\\main\\", L"C:\\main\\"},
    };
    const wchar_t* seconds[] = {L"Property(S): InstallHomepageURL = https://second.example",
                                L"Property(S): INSTALLDIR = C:\\language pack\\"};
    for (int i = 0; i < 2; ++i) {
        std::wstring found;
        EXPECT_TRUE(firsts[i].capture(firsts[i].message, found));
        EXPECT_FALSE(firsts[i].capture(seconds[i], found));
        EXPECT_EQ(found, firsts[i].captured);
    }
}

}  // namespace
