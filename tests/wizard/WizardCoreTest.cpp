#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "wizard/InstallFolderRules.h"
#include "wizard/ProgressDisplay.h"
#include "wizard/RunOutcome.h"
#include "wizard/WizardLayout.h"

using namespace korvex::wizard;
using namespace korvex::config;
using namespace korvex::install;

namespace {

std::wstring DefaultText(const UiString& text)
{
    return text.m_default;
}

DisplayRecord Refresh(InstallPhase phase, float percent, bool hasDownloads, std::uint32_t start, std::uint32_t now)
{
    DisplayInput input;
    input.phase = phase;
    input.percent = percent;
    input.hasDownloads = hasDownloads;
    input.startTick = start;
    input.now = now;
    return ComputeDisplayRecord(input);
}

}  // namespace

TEST(TimeText, HoursMinutesAndSecondsAsTheUserReadsThem)
{
    const struct {
        std::uint32_t ms;
        const wchar_t* text;
    } cases[] = {
        {3725000, L"01 hours 02 mins 05 secs remaining..."},
        {59000, L"59 secs remaining..."},
        {60000, L"01 mins 00 secs remaining..."},
        {1000, L"01 secs remaining..."},
        {999, L"00 secs remaining..."},
        {3600000, L"01 hours 00 mins 00 secs remaining..."},
        {3599999, L"59 mins 59 secs remaining..."},
        {4294967295u, L"1193 hours 02 mins 47 secs remaining..."},
    };
    for (const auto& c : cases) EXPECT_EQ(FormatRemainingTime(c.ms, &DefaultText), c.text) << c.ms;
}

TEST(TimeText, TranslatedTextsAreFilledNeverFormatted)
{
    EXPECT_EQ(FillNumberFields(L"noch %02d Std. %02d Min. %02d Sek.", {1, 2, 5}), L"noch 01 Std. 02 Min. 05 Sek.");
    EXPECT_EQ(FillNumberFields(L"%d%%", {7}), L"7%");
    // A field of another kind, or more fields than values, stays as written.
    EXPECT_EQ(FillNumberFields(L"%s and %02d and %02d", {3}), L"%s and 03 and %02d");
    EXPECT_EQ(FillNumberFields(L"%n%x%", {1}), L"%n%x%");
    EXPECT_EQ(FillNumberFields(L"%5d|%-3d", {42, 1}), L"   42|%-3d");
}

TEST(DisplayRecord, FirstRefreshTakesTheStartTickAndShowsOneSecondOrCalculating)
{
    DisplayRecord withProgress = Refresh(InstallPhase::Downloading, 5.0f, true, 0, 123456);
    EXPECT_EQ(withProgress.startTick, 123456u);
    EXPECT_EQ(TimeTextOf(withProgress, &DefaultText), L"01 secs remaining...");

    DisplayRecord without = Refresh(InstallPhase::Initial, 0.0f, true, 0, 123456);
    EXPECT_EQ(without.startTick, 123456u);
    EXPECT_EQ(TimeTextOf(without, &DefaultText), L"Calculating time remaining...");

    // 0 stands for "not taken", so a clock reading 0 must not leave it unset.
    EXPECT_NE(Refresh(InstallPhase::Downloading, 5.0f, true, 0, 0).startTick, 0u);
}

TEST(DisplayRecord, PhaseProgressInEachPhase)
{
    const struct {
        InstallPhase phase;
        float percent;
        bool downloads;
        float q;
    } cases[] = {
        {InstallPhase::Initial, 0.0f, true, 0.0f},      {InstallPhase::Downloading, 25.0f, true, 50.0f},
        {InstallPhase::Installing, 75.0f, true, 50.0f}, {InstallPhase::Installing, 75.0f, false, 75.0f},
        {InstallPhase::Cancelling, 30.0f, true, 30.0f}, {InstallPhase::Finished, 100.0f, true, 100.0f},
        {InstallPhase::Failed, 40.0f, true, 40.0f},     {InstallPhase::Cancelled, 10.0f, false, 10.0f},
    };
    for (const auto& c : cases) {
        EXPECT_FLOAT_EQ(Refresh(c.phase, c.percent, c.downloads, 1, 2).phaseProgress, c.q) << static_cast<int>(c.phase);
    }
}

TEST(DisplayRecord, PhaseTextsByPhase)
{
    const std::set<std::wstring> distinct = {
        PhaseTextOf(InstallPhase::Initial).m_default,    PhaseTextOf(InstallPhase::Downloading).m_default,
        PhaseTextOf(InstallPhase::Installing).m_default, PhaseTextOf(InstallPhase::Cancelling).m_default,
        PhaseTextOf(InstallPhase::Finished).m_default,   PhaseTextOf(InstallPhase::Failed).m_default,
        PhaseTextOf(InstallPhase::Cancelled).m_default};
    EXPECT_EQ(distinct.size(), 7u);
    EXPECT_EQ(&PhaseTextOf(InstallPhase::Downloading), &IDS_STATUS_DOWNLOADING);
    EXPECT_EQ(&PhaseTextOf(InstallPhase::Failed), &IDS_STATUS_INSTALL_FAILED);
    EXPECT_EQ(&PhaseTextOf(static_cast<InstallPhase>(1)), &IDS_STATUS_INIT);
}

TEST(DisplayRecord, EstimateDividesTheElapsedTimeByThePhaseFraction)
{
    // 10 s spent for a quarter of the downloads: 30 s remain.
    const DisplayRecord quarter = Refresh(InstallPhase::Downloading, 12.5f, true, 1000, 11000);
    EXPECT_TRUE(quarter.timeKnown);
    EXPECT_EQ(quarter.remainingMs, 30000u);
    EXPECT_EQ(quarter.startTick, 1000u);

    // The start tick stays from the downloads: installing divides the whole time.
    const DisplayRecord installing = Refresh(InstallPhase::Installing, 75.0f, true, 1000, 61000);
    EXPECT_EQ(installing.remainingMs, 60000u);

    // The tick count wraps after 49.7 days; the elapsed time does not.
    const DisplayRecord wrapped = Refresh(InstallPhase::Downloading, 25.0f, true, 0xFFFFF000u, 0x00001000u);
    EXPECT_EQ(wrapped.remainingMs, 8192u);

    EXPECT_FALSE(Refresh(InstallPhase::Installing, 40.0f, true, 1000, 5000).timeKnown);
}

TEST(DisplayRecord, DegenerateEstimatesShowOneSecondNotGarbage)
{
    EXPECT_EQ(EstimateRemainingMs(5000, 100.0f), 1000u);  // nothing remains
    EXPECT_EQ(EstimateRemainingMs(5000, 150.0f), 1000u);  // past the end
    // A tiny fraction would overflow a 32-bit count; it stays the largest one.
    EXPECT_GT(EstimateRemainingMs(4000000000u, 0.0001f), 290000000u);
    EXPECT_EQ(EstimateRemainingMs(0, 50.0f), 1000u);
}

TEST(DisplayRecord, PercentTextAndBarPosition)
{
    const struct {
        float percent;
        const wchar_t* text;
        int bar;
    } cases[] = {
        {42.57f, L"42.6%", 425},  {0.0f, L"0.0%", 0},        {50.0f, L"50.0%", 500},
        {99.99f, L"100.0%", 999}, {100.0f, L"100.0%", 1000}, {0.04f, L"0.0%", 0},
    };
    for (const auto& c : cases) {
        const DisplayRecord record = Refresh(InstallPhase::Installing, c.percent, false, 1, 2);
        EXPECT_EQ(record.percentText, c.text) << c.percent;
        EXPECT_EQ(record.barPosition, c.bar) << c.percent;
    }
}

TEST(WizardLayout, SettingPageAt96Dpi)
{
    const DpiScale scale{96, 96};
    SettingTextSizes texts;
    texts.acceptLabel = {80, 16};
    texts.licenseLink = {90, 16};
    texts.settingsHeader = {120, 14};
    texts.folderLabel = {110, 30};
    texts.associationWidth = 144;
    const SettingLayout layout = LayoutSettingPage(scale, {0, 0, 658, 414}, texts);

    EXPECT_EQ(layout.install, (UiRect{179, 174, 479, 208}));
    // Box 16 + label 80 + gap 4 + link 90 = 190, centred in 658.
    EXPECT_EQ(layout.acceptBox, (UiRect{234, 224, 250, 240}));
    EXPECT_EQ(layout.acceptLabel, (UiRect{250, 223, 330, 239}));
    EXPECT_EQ(layout.licenseLink, (UiRect{334, 223, 658, 239}));
    // Header, gap and chevron centred as a group: (658 - 120 - 16 - 4) / 2 = 259.
    EXPECT_EQ(layout.expander, (UiRect{383, 305, 399, 321}));
    EXPECT_EQ(layout.settingsHeader, (UiRect{0, 305, 379, 319}));
    EXPECT_EQ(layout.separatorY, 333);
    EXPECT_EQ(layout.folderLabel, (UiRect{102, 361, 212, 391}));
    EXPECT_EQ(layout.folderEdit, (UiRect{216, 361, 566, 391}));
    EXPECT_EQ(layout.browse, (UiRect{566, 361, 590, 391}));
}

TEST(WizardLayout, SettingPageAt144DpiScalesEveryLength)
{
    const DpiScale scale{144, 144};
    SettingTextSizes texts;
    texts.acceptLabel = {120, 24};
    texts.licenseLink = {135, 24};
    texts.settingsHeader = {180, 21};
    texts.folderLabel = {165, 45};
    texts.associationWidth = 216;
    const SettingLayout layout = LayoutSettingPage(scale, {0, 0, 988, 621}, texts);
    EXPECT_EQ(layout.install, (UiRect{269, 261, 719, 312}));
    EXPECT_EQ(layout.acceptBox.top, 336);
    EXPECT_EQ(layout.acceptBox.Width(), 24);
    EXPECT_EQ(layout.acceptLabel.top, 335);
    EXPECT_EQ(layout.expander.top, layout.acceptLabel.bottom + 99);
    EXPECT_EQ(layout.folderEdit.left, 102 + 216 + 6);
    EXPECT_EQ(layout.browse, (UiRect{988 - 102 - 36, layout.folderEdit.top, 988 - 102, layout.folderEdit.top + 45}));
}

TEST(WizardLayout, FoldingShrinksBy86ScaledAndOtherPagesKeepTheBaseSize)
{
    for (int dpi : {96, 120, 144, 192}) {
        const DpiScale scale{dpi, dpi};
        const UiSize open = SettingPageSize(scale, false);
        const UiSize folded = SettingPageSize(scale, true);
        EXPECT_EQ(open, DefaultPageSize(scale));
        EXPECT_EQ(open.cy - folded.cy, scale.Y(86)) << dpi;
        EXPECT_EQ(open.cx, folded.cx);
        EXPECT_EQ(WindowSizeForPage(scale, open).cx, open.cx + 2 * scale.X(1));
    }
    EXPECT_EQ(DefaultPageSize({144, 144}), (UiSize{990, 669}));
}

TEST(WizardLayout, ProgressPageRowsAt96And144Dpi)
{
    const StatusLayout at96 = LayoutStatusPage({96, 96}, {0, 0, 658, 414});
    EXPECT_EQ(at96.slideShow, (UiRect{0, 36, 658, 320}));
    EXPECT_EQ(at96.status, (UiRect{30, 335, 528, 355}));
    EXPECT_EQ(at96.time, (UiRect{30, 355, 528, 375}));
    EXPECT_EQ(at96.percent, (UiRect{528, 355, 628, 375}));
    EXPECT_EQ(at96.progress, (UiRect{30, 385, 628, 393}));

    const StatusLayout at144 = LayoutStatusPage({144, 144}, {0, 0, 988, 621});
    EXPECT_EQ(at144.slideShow, (UiRect{0, 54, 988, 480}));
    EXPECT_EQ(at144.status, (UiRect{45, 502, 988 - 150 - 45, 532}));
    EXPECT_EQ(at144.progress, (UiRect{45, 577, 988 - 45, 589}));
}

TEST(WizardLayout, MeasuredTextNeverShrinksBelowThePresetHeight)
{
    EXPECT_EQ(FitMeasuredText({138, 16}, {70, 13}), (UiSize{70, 16}));
    EXPECT_EQ(FitMeasuredText({138, 16}, {170, 19}), (UiSize{170, 19}));
    EXPECT_EQ(FitMeasuredText({138, 16}, {0, 13}), (UiSize{138, 16}));
}

TEST(WizardLayout, HeadingAndStartButtonAreCentred)
{
    const ProductHeading heading = LayoutProductHeading({96, 96}, {0, 0, 658, 414}, 90, {200, 30});
    EXPECT_EQ(heading.icon, (UiRect{297, 90, 361, 154}));
    EXPECT_EQ(heading.title, (UiRect{229, 169, 429, 199}));
    EXPECT_EQ(LayoutStartButton({144, 144}, {0, 0, 988, 621}), (UiRect{269, 360, 719, 411}));
    EXPECT_EQ(CenterInClient({0, 0, 403, 85}, {342, 20}), (UiRect{30, 32, 372, 52}));
}

TEST(FolderRules, LevelsBelowTheDriveOrShareShortestFirst)
{
    const struct {
        const wchar_t* path;
        std::vector<std::wstring> levels;
    } cases[] = {
        {L"C:\\Apps\\Korvex\\Pro", {L"C:\\Apps", L"C:\\Apps\\Korvex", L"C:\\Apps\\Korvex\\Pro"}},
        {L"C:\\Apps\\\\Pro", {L"C:\\Apps", L"C:\\Apps\\Pro"}},
        {L"\\Apps\\Pro", {L"\\Apps", L"\\Apps\\Pro"}},
        {L"\\\\server\\share\\a\\b", {L"\\\\server\\share\\a", L"\\\\server\\share\\a\\b"}},
        {L"\\\\server\\share", {}},
        {L"\\\\server", {}},
        {L"C:", {}},
        {L"", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FolderLevels(c.path), c.levels) << std::string(c.path, c.path + wcslen(c.path));
}

TEST(FolderRules, TrailingBackslashAndBrowseStart)
{
    EXPECT_EQ(WithoutTrailingBackslash(L"D:\\Apps\\"), L"D:\\Apps");
    EXPECT_EQ(WithoutTrailingBackslash(L"D:\\Apps"), L"D:\\Apps");
    EXPECT_EQ(WithoutTrailingBackslash(L""), L"");

    const std::set<std::wstring> existing = {L"C:\\", L"C:", L"C:\\Program Files"};
    auto exists = [&](const std::wstring& path) { return existing.count(path) > 0; };
    EXPECT_EQ(BrowseStartFolder(L"C:\\Program Files\\Korvex\\New\\", exists), L"C:\\Program Files");
    EXPECT_EQ(BrowseStartFolder(L"C:\\", exists), L"C:\\");
    EXPECT_EQ(BrowseStartFolder(L"C:\\Missing", exists), L"C:");
    EXPECT_EQ(BrowseStartFolder(L"Q:\\x", exists), L"Q:");
}

TEST(RunOutcome, ExitCodesDeploymentToolsRead)
{
    const struct {
        RunOutcome outcome;
        int code;
    } cases[] = {
        {RunOutcome::Finished, 0},
        {RunOutcome::FinishedRestartPending, 3010},
        {RunOutcome::UserCancelled, 1602},
        {RunOutcome::Failed, 1603},
        {RunOutcome::ServerUnreachable, 1603},
        {RunOutcome::AlreadyCurrent, 1638},
        {RunOutcome::SecondInstance, 1618},
        {RunOutcome::HandedToNewClient, 0},
        {RunOutcome::NotEnded, 1603},
    };
    for (const auto& c : cases) EXPECT_EQ(ExitCodeOf(c.outcome), c.code) << static_cast<int>(c.outcome);

    RecordRunOutcome(RunOutcome::AlreadyCurrent);
    EXPECT_EQ(RecordedRunOutcome(), RunOutcome::AlreadyCurrent);
    RecordRunOutcome(RunOutcome::NotEnded);
}

TEST(RunOutcome, OnlyAnEndPhaseEndsTheRun)
{
    const struct {
        InstallPhase phase;
        bool restart;
        int code;
    } cases[] = {
        {InstallPhase::Finished, false, 0},     {InstallPhase::Finished, true, 3010},
        {InstallPhase::Failed, true, 1603},     {InstallPhase::Cancelled, false, 1602},
        {InstallPhase::Initial, false, 1603},   {InstallPhase::Downloading, false, 1603},
        {InstallPhase::Installing, true, 1603}, {InstallPhase::Cancelling, false, 1603},
    };
    for (const auto& c : cases) {
        const RunOutcome outcome = OutcomeOfPhase(c.phase, c.restart);
        EXPECT_EQ(outcome == RunOutcome::NotEnded, !IsEndPhase(c.phase)) << static_cast<int>(c.phase);
        EXPECT_EQ(ExitCodeOf(outcome), c.code) << static_cast<int>(c.phase) << " restart " << c.restart;
    }
}
