#pragma once
// The progress of one installation run, written by the install worker and
// read once a second by the progress page.
//
// The worker's reports and the cancel's phase write come from two threads and
// are serialised by one lock: a Cancelling written by the cancel is never
// overwritten by a late report, and a cancel that arrives after the run has
// ended leaves the end phase alone. An end phase is final.
//
// The bar is split by weight: downloads fill the first half and installs the
// second, or installs the whole bar when nothing is downloaded. Each weight
// list is normalised to sum to exactly 100.

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

namespace korvex::install {

enum class InstallPhase : std::int32_t {
    Initial = 0,
    Downloading = 2,
    Installing = 3,
    Cancelling = 4,
    Finished = 5,
    Failed = 6,
    Cancelled = 7,
};

bool IsEndPhase(InstallPhase phase);
// The phase's name, for the run log.
const wchar_t* PhaseName(InstallPhase phase);

// Every entry but the last becomes entry * 100 / sum; the last takes the rest.
std::vector<std::uint32_t> NormalizeWeights(std::vector<std::uint32_t> weights);

struct InstallProgressSnapshot {
    InstallPhase m_phase = InstallPhase::Initial;
    std::int32_t m_nItemIndex = -1;
    std::int32_t m_nItemPercent = 0;
};

// The overall percentage (0 to 100) for a phase, item and the two weight lists.
float OverallPercentOf(const InstallProgressSnapshot& snapshot, const std::vector<std::uint32_t>& downloadWeights,
                       const std::vector<std::uint32_t>& installWeights);

class InstallProgress {
public:
    InstallProgress() = default;
    InstallProgress(const InstallProgress&) = delete;
    InstallProgress& operator=(const InstallProgress&) = delete;

    // Ignored while Cancelling unless the new phase is Cancelled, and ignored
    // once an end phase is set.
    void Set(InstallPhase phase, std::int32_t index, std::int32_t percent, const std::wstring& text);

    // The cancel's phase write: Cancelling, unless the run is already
    // cancelling or has ended. True when written.
    bool EnterCancelling();
    // A cancel that cannot reach the worker ends the run at once, unless it
    // has already ended. True when written.
    bool EnterCancelled();
    // The worker's end: an end phase, written over Cancelling too (a run that
    // installed everything ends Finished whenever the cancel came), unless
    // the run has already ended. True when written.
    bool End(InstallPhase phase);

    // Called before the worker starts; the lists are not changed afterwards.
    void SetWeights(std::vector<std::uint32_t> downloadWeights, std::vector<std::uint32_t> installWeights);

    float OverallPercent() const;

    InstallProgressSnapshot Snapshot() const;
    InstallPhase Phase() const;
    std::wstring ItemText() const;
    const std::vector<std::uint32_t>& DownloadWeights() const { return m_downloadWeights; }

    // GetTickCount of the page's first reading; 0 until then.
    std::atomic<std::uint32_t> m_nStartTick{0};

private:
    void Store(InstallPhase phase, std::int32_t index, std::int32_t percent, const std::wstring& text);

    std::vector<std::uint32_t> m_downloadWeights;
    std::vector<std::uint32_t> m_installWeights;
    mutable std::mutex m_lock;
    InstallProgressSnapshot m_current;
    std::wstring m_strItemText;
};

// The one record of the process, shared by the worker and the progress page.
extern InstallProgress g_installProgress;

}  // namespace korvex::install
