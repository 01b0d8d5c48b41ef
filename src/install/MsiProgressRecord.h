#pragma once
// The Windows Installer's progress records ("1: 0 2: 224000 3: 0 4: 0 ") turned
// into one item percentage that only moves forward.
//
// A reset record (type 0) opens a range from the percentage reached so far up
// to 100 and says how many ticks it holds and in which direction they count;
// progress reports (type 2, or type 1 with field 3 set) move the position by
// field 2 ticks. Field values persist from record to record, as the installer
// sends only the fields a record needs. A malformed record changes nothing
// that it has not already read.

#include <cstdint>
#include <string_view>

namespace korvex::install {

struct MsiProgressState {
    std::int32_t m_nRunningMaximum = 0;
    std::int32_t m_nBasePercent = 0;
    std::int32_t m_nTotalTicks = 0;
    std::int32_t m_bForward = 1;
    std::int32_t m_nPosition = 0;
    std::int32_t m_bFirstMessage = 1;
    std::int32_t m_nRecordType = 0;
    std::int32_t m_nField2 = 0;
    std::int32_t m_nField3 = 0;
    std::int32_t m_nField4 = 0;

    // Each package has its own item on the bar, so it starts again from 0;
    // the last record's fields stay.
    void ResetForPackage();
};

struct ProgressRecordOutcome {
    bool m_bWellFormed = false;  // false: answer IDOK whatever else holds
    bool m_bAdvanced = false;    // true: report m_nRunningMaximum
};

ProgressRecordOutcome ApplyProgressRecord(MsiProgressState& state, std::wstring_view record);

}  // namespace korvex::install
