#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "install/DownloadPercent.h"
#include "install/InstallProgress.h"
#include "install/RunEnd.h"

using namespace korvex::install;

namespace {

using Weights = std::vector<std::uint32_t>;

TEST(NormalizeWeights, SumsToExactlyHundred)
{
    EXPECT_EQ(NormalizeWeights({40, 50, 5}), (Weights{42, 52, 6}));
    EXPECT_EQ(NormalizeWeights({50}), (Weights{100}));
    EXPECT_EQ(NormalizeWeights({40, 40, 50}), (Weights{30, 30, 40}));
    EXPECT_EQ(NormalizeWeights({5, 5, 5}), (Weights{33, 33, 34}));
    EXPECT_EQ(NormalizeWeights({}), Weights{});
    EXPECT_EQ(NormalizeWeights({0, 0}), (Weights{0, 100}));
}

struct PercentCase {
    const char* name;
    InstallPhase phase;
    std::int32_t index;
    std::int32_t percent;
    Weights download;
    Weights install;
    float expected;
};

class OverallPercentTest : public testing::TestWithParam<PercentCase> {};

TEST_P(OverallPercentTest, SplitsTheBar)
{
    const PercentCase& c = GetParam();
    InstallProgress progress;
    progress.SetWeights(c.download, c.install);
    progress.Set(c.phase, c.index, c.percent, L"item");
    EXPECT_FLOAT_EQ(progress.OverallPercent(), c.expected);
}

const Weights kThree{40, 50, 5};  // [42, 52, 6] once normalised

INSTANTIATE_TEST_SUITE_P(
    Edges, OverallPercentTest,
    testing::Values(PercentCase{"InitialIsZero", InstallPhase::Initial, 1, 50, kThree, kThree, 0.0f},
                    PercentCase{"DownloadFirstItemStart", InstallPhase::Downloading, 0, 0, kThree, kThree, 0.0f},
                    PercentCase{"DownloadSecondItemHalf", InstallPhase::Downloading, 1, 50, kThree, kThree, 34.0f},
                    PercentCase{"DownloadLastItemDone", InstallPhase::Downloading, 2, 100, kThree, kThree, 50.0f},
                    PercentCase{"DownloadBeyondEnd", InstallPhase::Downloading, 3, 0, kThree, kThree, 50.0f},
                    PercentCase{"DownloadIndexMinusOne", InstallPhase::Downloading, -1, 0, kThree, kThree, 50.0f},
                    PercentCase{"DownloadWithoutDownloads", InstallPhase::Downloading, 0, 50, {}, kThree, 0.0f},
                    PercentCase{"InstallFirstItemStart", InstallPhase::Installing, 0, 0, kThree, kThree, 50.0f},
                    PercentCase{"InstallSecondItemHalf", InstallPhase::Installing, 1, 50, kThree, kThree, 84.0f},
                    PercentCase{"InstallBeyondEnd", InstallPhase::Installing, 7, 0, kThree, kThree, 100.0f},
                    PercentCase{
                        "InstallOwnsWholeBarWithoutDownloads", InstallPhase::Installing, 1, 50, {}, kThree, 68.0f},
                    PercentCase{"InstallWithoutItems", InstallPhase::Installing, 0, 50, kThree, {}, 0.0f},
                    PercentCase{"ItemPercentCapped", InstallPhase::Installing, 2, 900, {}, kThree, 100.0f},
                    PercentCase{"FinishedIsFull", InstallPhase::Finished, -1, 0, kThree, kThree, 100.0f},
                    PercentCase{"CancellingFallsToZero", InstallPhase::Cancelling, -1, 0, kThree, kThree, 0.0f},
                    PercentCase{"FailedFallsToZero", InstallPhase::Failed, -1, 0, kThree, kThree, 0.0f},
                    PercentCase{"CancelledFallsToZero", InstallPhase::Cancelled, -1, 0, kThree, kThree, 0.0f}),
    [](const testing::TestParamInfo<PercentCase>& info) { return std::string(info.param.name); });

TEST(InstallProgressSet, CancellingOnlyGivesWayToCancelled)
{
    InstallProgress progress;
    progress.Set(InstallPhase::Downloading, 1, 30, L"main.msi");
    ASSERT_TRUE(progress.EnterCancelling());
    EXPECT_FALSE(progress.EnterCancelling());
    progress.Set(InstallPhase::Downloading, 1, 40, L"main.msi");
    progress.Set(InstallPhase::Failed, -1, 0, L"");
    EXPECT_EQ(progress.Phase(), InstallPhase::Cancelling);
    EXPECT_EQ(progress.Snapshot().m_nItemIndex, -1);
    EXPECT_EQ(progress.ItemText(), L"");
    progress.Set(InstallPhase::Cancelled, -1, 0, L"");
    EXPECT_EQ(progress.Phase(), InstallPhase::Cancelled);
}

TEST(InstallProgressSet, EndPhasesCarryNoItemAndStay)
{
    InstallProgress progress;
    progress.Set(InstallPhase::Finished, 3, 50, L"main.msi");
    const InstallProgressSnapshot snapshot = progress.Snapshot();
    EXPECT_EQ(snapshot.m_phase, InstallPhase::Finished);
    EXPECT_EQ(snapshot.m_nItemIndex, -1);
    EXPECT_EQ(snapshot.m_nItemPercent, 0);
    EXPECT_EQ(progress.ItemText(), L"");
    EXPECT_FALSE(progress.EnterCancelling());
    EXPECT_FALSE(progress.EnterCancelled());
    progress.Set(InstallPhase::Installing, 0, 10, L"late");
    EXPECT_EQ(progress.Phase(), InstallPhase::Finished);
}

// A run that installed everything ends Finished over a late cancel; a run
// that stopped short ends as the cancel or the failure says.
TEST(RunEnd, FollowsWhatTheStepsDid)
{
    const struct {
        RunEndFacts m_facts;
        InstallPhase m_phase;
        bool m_bRegister;
        bool m_bBox;
    } cases[] = {
        {{true, false, false}, InstallPhase::Finished, true, false},
        {{true, true, false}, InstallPhase::Finished, true, false},
        {{false, true, true}, InstallPhase::Cancelled, false, false},
        {{false, false, true}, InstallPhase::Failed, false, true},
        {{false, false, false}, InstallPhase::Failed, false, false},
    };
    for (const auto& c : cases) {
        const RunEnd end = DecideRunEnd(c.m_facts);
        EXPECT_EQ(end.m_phase, c.m_phase);
        EXPECT_EQ(end.m_bRegister, c.m_bRegister);
        EXPECT_EQ(end.m_bShowConnectError, c.m_bBox);
    }

    InstallProgress progress;
    ASSERT_TRUE(progress.EnterCancelling());
    EXPECT_FALSE(progress.End(InstallPhase::Installing));
    EXPECT_TRUE(progress.End(InstallPhase::Finished));
    EXPECT_FALSE(progress.End(InstallPhase::Cancelled));
    EXPECT_EQ(progress.Phase(), InstallPhase::Finished);
}

// The worker reports as fast as it can while the cancel arrives from another
// thread: once Cancelling is written no report may replace it.
TEST(InstallProgressSet, ReportsNeverOverwriteCancelling)
{
    for (int round = 0; round < 20; ++round) {
        InstallProgress progress;
        std::atomic<bool> bCancelled{false};
        std::atomic<bool> bOverwritten{false};
        std::thread worker([&] {
            for (int i = 0; i < 20000; ++i) {
                progress.Set(i % 2 ? InstallPhase::Installing : InstallPhase::Downloading, i % 3, i % 101, L"item");
                if (bCancelled && progress.Phase() != InstallPhase::Cancelling) {
                    bOverwritten = true;
                }
            }
        });
        std::thread canceller([&] {
            std::this_thread::yield();
            bCancelled = progress.EnterCancelling();
        });
        canceller.join();
        worker.join();
        EXPECT_TRUE(bCancelled);
        EXPECT_FALSE(bOverwritten);
        EXPECT_EQ(progress.Phase(), InstallPhase::Cancelling);
    }
}

// The run ends while the cancel hammers, starting later each round so that
// both sides win some rounds: a cancel before the end keeps Cancelling, and
// once Finished is seen nothing changes it.
TEST(InstallProgressSet, CancelNeverOverwritesAnEndPhase)
{
    int nCancelledRounds = 0;
    for (int round = 0; round < 50; ++round) {
        InstallProgress progress;
        std::atomic<int> nReports{0};
        std::atomic<bool> bCancellerReady{false};
        std::atomic<bool> bWorkerDone{false};
        int nAccepted = 0;
        bool bEndPhaseChanged = false;
        std::thread worker([&] {
            while (!bCancellerReady) {
                std::this_thread::yield();
            }
            for (int i = 0; i < 400; ++i) {
                progress.Set(InstallPhase::Installing, i % 4, i % 101, L"item");
                ++nReports;
                std::this_thread::yield();
            }
            progress.Set(InstallPhase::Finished, -1, 0, L"");
            bWorkerDone = true;
        });
        std::thread canceller([&] {
            bCancellerReady = true;
            while (nReports < round * 10 && !bWorkerDone) {
                std::this_thread::yield();
            }
            bool bSawFinished = false;
            do {
                nAccepted += progress.EnterCancelling() ? 1 : 0;
                const InstallPhase phase = progress.Phase();
                bEndPhaseChanged = bEndPhaseChanged || (bSawFinished && phase != InstallPhase::Finished);
                bSawFinished = bSawFinished || phase == InstallPhase::Finished;
                std::this_thread::yield();
            } while (!bWorkerDone);
        });
        worker.join();
        canceller.join();
        EXPECT_FALSE(bEndPhaseChanged);
        EXPECT_LE(nAccepted, 1);
        EXPECT_EQ(progress.Phase(), nAccepted ? InstallPhase::Cancelling : InstallPhase::Finished);
        nCancelledRounds += nAccepted;
    }
    EXPECT_GT(nCancelledRounds, 0);
    EXPECT_LT(nCancelledRounds, 50);
}

TEST(DownloadPercent, PercentOfKnownSizeOnly)
{
    EXPECT_EQ(DownloadPercent(500, 0), 0);
    EXPECT_EQ(DownloadPercent(0, 1000), 0);
    EXPECT_EQ(DownloadPercent(999, 1000), 99);
    EXPECT_EQ(DownloadPercent(1000, 1000), 100);
    EXPECT_EQ(DownloadPercent(5000, 1000), 100);
    EXPECT_EQ(DownloadPercent(0xFFFFFFFFFFFFFFF0ull, 0xFFFFFFFFFFFFFFFFull), 99);
}

TEST(DownloadPercent, ItemFunctionReportsDownloadingAtItsPosition)
{
    InstallProgress progress;
    InstallPlanItem item;
    item.m_strName = L"Product.msi";
    DownloadStatusFunction report = MakeItemProgressFunction(progress, 1, item);
    DownloadStatusInfo status;
    status.m_nStatus = DownloadStatus::Downloading;
    status.m_nBytesReceived = 250;
    status.m_nExpectedSize = 1000;
    report(status);
    const InstallProgressSnapshot snapshot = progress.Snapshot();
    EXPECT_EQ(snapshot.m_phase, InstallPhase::Downloading);
    EXPECT_EQ(snapshot.m_nItemIndex, 1);
    EXPECT_EQ(snapshot.m_nItemPercent, 25);
    EXPECT_EQ(progress.ItemText(), L"Product.msi");

    // The job's closing record restarts at 0 bytes; the item stays where it was.
    status.m_nBytesReceived = 0;
    report(status);
    EXPECT_EQ(progress.Snapshot().m_nItemPercent, 25);

    ASSERT_TRUE(progress.EnterCancelling());
    status.m_nBytesReceived = 1000;
    report(status);
    EXPECT_EQ(progress.Phase(), InstallPhase::Cancelling);
}

}  // namespace
