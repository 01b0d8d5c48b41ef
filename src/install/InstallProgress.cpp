#include "install/InstallProgress.h"

#include <algorithm>
#include <cstddef>

namespace korvex::install {

InstallProgress g_installProgress;

bool IsEndPhase(InstallPhase phase)
{
    return phase == InstallPhase::Finished || phase == InstallPhase::Failed || phase == InstallPhase::Cancelled;
}

const wchar_t* PhaseName(InstallPhase phase)
{
    switch (phase) {
        case InstallPhase::Downloading:
            return L"Downloading";
        case InstallPhase::Installing:
            return L"Installing";
        case InstallPhase::Cancelling:
            return L"Cancelling";
        case InstallPhase::Finished:
            return L"Finished";
        case InstallPhase::Failed:
            return L"Failed";
        case InstallPhase::Cancelled:
            return L"Cancelled";
        default:
            return L"Initial";
    }
}

std::vector<std::uint32_t> NormalizeWeights(std::vector<std::uint32_t> weights)
{
    if (weights.empty()) {
        return weights;
    }
    std::uint32_t sum = 0;
    for (std::uint32_t weight : weights) {
        sum += weight;
    }
    std::uint32_t assigned = 0;
    for (std::size_t i = 0; i + 1 < weights.size(); ++i) {
        // All-zero weights share nothing out; the last entry takes the whole.
        weights[i] = sum == 0 ? 0 : static_cast<std::uint32_t>(static_cast<std::uint64_t>(weights[i]) * 100 / sum);
        assigned += weights[i];
    }
    weights.back() = 100 - assigned;
    return weights;
}

namespace {

float WeightedValue(const std::vector<std::uint32_t>& weights, std::int32_t index, std::int32_t percent)
{
    const auto position = static_cast<std::uint32_t>(index);
    if (position >= weights.size()) {
        return 100.0f;
    }
    float value = 0.0f;
    for (std::uint32_t i = 0; i < position; ++i) {
        value += static_cast<float>(weights[i]);
    }
    value += static_cast<float>(weights[position]) * static_cast<float>(percent) / 100.0f;
    return std::clamp(value, 0.0f, 100.0f);
}

}  // namespace

float OverallPercentOf(const InstallProgressSnapshot& snapshot, const std::vector<std::uint32_t>& downloadWeights,
                       const std::vector<std::uint32_t>& installWeights)
{
    switch (snapshot.m_phase) {
        case InstallPhase::Downloading:
            if (downloadWeights.empty()) {
                return 0.0f;
            }
            return WeightedValue(downloadWeights, snapshot.m_nItemIndex, snapshot.m_nItemPercent) * 0.5f;
        case InstallPhase::Installing:
            if (installWeights.empty()) {
                return 0.0f;
            }
            if (downloadWeights.empty()) {
                return WeightedValue(installWeights, snapshot.m_nItemIndex, snapshot.m_nItemPercent);
            }
            return WeightedValue(installWeights, snapshot.m_nItemIndex, snapshot.m_nItemPercent) * 0.5f + 50.0f;
        case InstallPhase::Finished:
            return 100.0f;
        default:
            return 0.0f;
    }
}

void InstallProgress::Set(InstallPhase phase, std::int32_t index, std::int32_t percent, const std::wstring& text)
{
    std::lock_guard<std::mutex> hold(m_lock);
    if (IsEndPhase(m_current.m_phase)) {
        return;
    }
    if (m_current.m_phase == InstallPhase::Cancelling && phase != InstallPhase::Cancelled) {
        return;
    }
    Store(phase, index, percent, text);
}

bool InstallProgress::EnterCancelling()
{
    std::lock_guard<std::mutex> hold(m_lock);
    if (m_current.m_phase == InstallPhase::Cancelling || IsEndPhase(m_current.m_phase)) {
        return false;
    }
    Store(InstallPhase::Cancelling, -1, 0, std::wstring());
    return true;
}

bool InstallProgress::EnterCancelled()
{
    std::lock_guard<std::mutex> hold(m_lock);
    if (IsEndPhase(m_current.m_phase)) {
        return false;
    }
    Store(InstallPhase::Cancelled, -1, 0, std::wstring());
    return true;
}

bool InstallProgress::End(InstallPhase phase)
{
    std::lock_guard<std::mutex> hold(m_lock);
    if (!IsEndPhase(phase) || IsEndPhase(m_current.m_phase)) {
        return false;
    }
    Store(phase, -1, 0, std::wstring());
    return true;
}

void InstallProgress::Store(InstallPhase phase, std::int32_t index, std::int32_t percent, const std::wstring& text)
{
    // End phases carry no item.
    if (IsEndPhase(phase)) {
        m_current = InstallProgressSnapshot{phase, -1, 0};
        m_strItemText.clear();
        return;
    }
    m_current = InstallProgressSnapshot{phase, index, percent};
    m_strItemText = text;
}

void InstallProgress::SetWeights(std::vector<std::uint32_t> downloadWeights, std::vector<std::uint32_t> installWeights)
{
    m_downloadWeights = NormalizeWeights(std::move(downloadWeights));
    m_installWeights = NormalizeWeights(std::move(installWeights));
}

float InstallProgress::OverallPercent() const
{
    return OverallPercentOf(Snapshot(), m_downloadWeights, m_installWeights);
}

InstallProgressSnapshot InstallProgress::Snapshot() const
{
    std::lock_guard<std::mutex> hold(m_lock);
    return m_current;
}

InstallPhase InstallProgress::Phase() const
{
    return Snapshot().m_phase;
}

std::wstring InstallProgress::ItemText() const
{
    std::lock_guard<std::mutex> hold(m_lock);
    return m_strItemText;
}

}  // namespace korvex::install
