#pragma once
// What the progress page shows at one refresh, from the shared progress
// record and the tick count: the percentage, the bar position, the phase text
// and the time-remaining estimate. Pure, so the estimate is checked without
// waiting for real time to pass.

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>

#include "config/UiStrings.h"
#include "install/InstallProgress.h"

namespace korvex::wizard {

struct DisplayInput {
    install::InstallPhase phase = install::InstallPhase::Initial;
    float percent = 0.0f;         // overall, 0 to 100
    bool hasDownloads = false;    // the plan's download weight list is not empty
    std::uint32_t startTick = 0;  // 0: not taken yet
    std::uint32_t now = 0;
};

struct DisplayRecord {
    float percent = 0.0f;
    int barPosition = 0;       // 0 to 1000
    std::wstring percentText;  // one decimal and the percent sign
    const config::UiString* phaseText = &config::IDS_STATUS_INIT;
    float phaseProgress = 0.0f;
    bool timeKnown = false;  // false: "Calculating time remaining..."
    std::uint32_t remainingMs = 0;
    std::uint32_t startTick = 0;  // the start tick to keep for the next refresh
};

DisplayRecord ComputeDisplayRecord(const DisplayInput& input);

const config::UiString& PhaseTextOf(install::InstallPhase phase);

// The phase's own share of progress: downloads and installs each run from 0
// to 100 of their half of the bar.
float PhaseProgress(install::InstallPhase phase, float percent, bool hasDownloads);

// The remaining time from the elapsed time and the phase progress; 1000 ms
// when nothing or less than that remains.
std::uint32_t EstimateRemainingMs(std::uint32_t elapsedMs, float phaseProgress);

std::wstring PercentText(float percent);
int BarPosition(float percent);

// The text for a time in milliseconds: hours, minutes or seconds, each field
// with two digits.
std::wstring FormatRemainingTime(std::uint32_t milliseconds,
                                 const std::function<std::wstring(const config::UiString&)>& loadText);

// The time label's text for a record.
std::wstring TimeTextOf(const DisplayRecord& record,
                        const std::function<std::wstring(const config::UiString&)>& loadText);

// Fills the integer fields ("%d", "%02d", ...) of a translated text in order;
// "%%" is a percent sign, any other field and fields beyond the values are
// kept as written. Translated texts are never handed to printf.
std::wstring FillNumberFields(std::wstring_view text, std::initializer_list<unsigned> values);

}  // namespace korvex::wizard
