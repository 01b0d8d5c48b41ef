#include "wizard/ProgressDisplay.h"

#include <cmath>

#include "base/DecimalText.h"

using korvex::base::DecimalText;

using namespace korvex::install;
using namespace korvex::config;

namespace korvex::wizard {

const UiString& PhaseTextOf(InstallPhase phase)
{
    switch (phase) {
        case InstallPhase::Downloading:
            return IDS_STATUS_DOWNLOADING;
        case InstallPhase::Installing:
            return IDS_STATUS_INSTALLING;
        case InstallPhase::Cancelling:
            return IDS_STATUS_CANCELLING;
        case InstallPhase::Finished:
            return IDS_STATUS_FINISHED;
        case InstallPhase::Failed:
            return IDS_STATUS_INSTALL_FAILED;
        case InstallPhase::Cancelled:
            return IDS_STATUS_CANCELLED;
        default:
            return IDS_STATUS_INIT;
    }
}

float PhaseProgress(InstallPhase phase, float percent, bool hasDownloads)
{
    if (phase == InstallPhase::Downloading) return 2.0f * percent;
    if (phase == InstallPhase::Installing && hasDownloads) return (percent - 50.0f) * 2.0f;
    return percent;
}

std::uint32_t EstimateRemainingMs(std::uint32_t elapsedMs, float phaseProgress)
{
    const float total = static_cast<float>(elapsedMs) / (phaseProgress / 100.0f);
    // A tiny fraction gives a total past any 32-bit count; converting that
    // is undefined, so it stops at the largest count instead.
    constexpr float kLargest = 4294967040.0f;  // the largest float below 2^32
    const std::uint32_t totalMs =
        total >= kLargest ? static_cast<std::uint32_t>(kLargest) : static_cast<std::uint32_t>(total);
    if (totalMs <= elapsedMs) return 1000;
    const std::uint32_t remaining = totalMs - elapsedMs;
    return remaining == 0 ? 1000 : remaining;
}

std::wstring PercentText(float percent)
{
    // Tenths, ties to even as printf rounds them (a float times ten is exact
    // in a long double); what no percentage is reads as 0.
    const long double tenths = std::nearbyint(static_cast<long double>(percent) * 10);
    const long long whole = std::isfinite(percent) && std::fabs(tenths) < 1e15L ? std::llround(tenths) : 0;
    const long long magnitude = whole < 0 ? -whole : whole;
    return (whole < 0 ? L"-" : L"") + DecimalText(magnitude / 10) + L"." + DecimalText(magnitude % 10) + L"%";
}

int BarPosition(float percent)
{
    return static_cast<int>(percent * 10.0f);
}

DisplayRecord ComputeDisplayRecord(const DisplayInput& input)
{
    DisplayRecord record;
    record.percent = input.percent;
    record.barPosition = BarPosition(input.percent);
    record.percentText = PercentText(input.percent);
    record.phaseText = &PhaseTextOf(input.phase);
    record.phaseProgress = PhaseProgress(input.phase, input.percent, input.hasDownloads);
    record.startTick = input.startTick;
    const bool progressed = record.phaseProgress > 0.0f;
    if (input.startTick == 0) {
        // 0 means "not taken", so a clock that reads 0 is taken as 1.
        record.startTick = input.now != 0 ? input.now : 1;
        record.timeKnown = progressed;
        record.remainingMs = progressed ? 1000 : 0;
    } else if (progressed) {
        record.timeKnown = true;
        record.remainingMs = EstimateRemainingMs(input.now - input.startTick, record.phaseProgress);
    }
    return record;
}

std::wstring FillNumberFields(std::wstring_view text, std::initializer_list<unsigned> values)
{
    std::wstring filled;
    filled.reserve(text.size() + 8);
    auto next = values.begin();
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != L'%') {
            filled.push_back(text[i]);
            continue;
        }
        if (i + 1 < text.size() && text[i + 1] == L'%') {
            filled.push_back(L'%');
            ++i;
            continue;
        }
        std::size_t end = i + 1;
        const bool zeroPad = end < text.size() && text[end] == L'0';
        if (zeroPad) ++end;
        unsigned width = 0;
        while (end < text.size() && text[end] >= L'0' && text[end] <= L'9' && width < 100) {
            width = width * 10 + static_cast<unsigned>(text[end] - L'0');
            ++end;
        }
        if (end >= text.size() || (text[end] != L'd' && text[end] != L'u') || next == values.end()) {
            filled.push_back(L'%');
            continue;
        }
        std::wstring digits = DecimalText(*next++);
        if (digits.size() < width) digits.insert(0, width - digits.size(), zeroPad ? L'0' : L' ');
        filled += digits;
        i = end;
    }
    return filled;
}

std::wstring FormatRemainingTime(std::uint32_t milliseconds,
                                 const std::function<std::wstring(const UiString&)>& loadText)
{
    const unsigned hours = milliseconds / 3600000u;
    const unsigned seconds = (milliseconds / 1000u) % 3600u;
    if (hours > 0) return FillNumberFields(loadText(IDS_TIME_REMAINING_HOURS), {hours, seconds / 60, seconds % 60});
    if (seconds / 60 > 0) return FillNumberFields(loadText(IDS_TIME_REMAINING_MINS), {seconds / 60, seconds % 60});
    return FillNumberFields(loadText(IDS_TIME_REMAINING_SECS), {seconds % 60});
}

std::wstring TimeTextOf(const DisplayRecord& record, const std::function<std::wstring(const UiString&)>& loadText)
{
    if (!record.timeKnown) return loadText(IDS_CALC_TIME_REMAINING);
    return FormatRemainingTime(record.remainingMs, loadText);
}

}  // namespace korvex::wizard
