#include "install/MsiProgressRecord.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "config/DecimalText.h"

using namespace korvex::config;

namespace korvex::install {

void MsiProgressState::ResetForPackage()
{
    m_nRunningMaximum = 0;
    m_nBasePercent = 0;
    m_nTotalTicks = 0;
    m_bForward = 1;
    m_nPosition = 0;
    m_bFirstMessage = 1;
}

namespace {

// Each field is its number, ": ", the value and a space.
constexpr std::size_t kFieldHeaderLength = 3;

bool IsDecimalDigit(wchar_t c)
{
    return c >= L'0' && c <= L'9';
}

class RecordReader {
public:
    explicit RecordReader(std::wstring_view record) : m_record(record) {}

    bool AtEnd() const { return m_nPosition >= m_record.size(); }

    wchar_t TakeFieldNumber()
    {
        const wchar_t number = m_record[m_nPosition];
        m_nPosition += kFieldHeaderLength;
        return number;
    }

    // The record type is one digit followed by a space.
    bool TakeRecordType(std::int32_t& type)
    {
        if (AtEnd() || !IsDecimalDigit(m_record[m_nPosition])) {
            return false;
        }
        type = m_record[m_nPosition] - L'0';
        m_nPosition += 2;
        return true;
    }

    // A value runs to the next space or the end of the record.
    std::int32_t TakeValue()
    {
        if (AtEnd()) {
            return 0;
        }
        std::size_t end = m_record.find(L' ', m_nPosition);
        if (end == std::wstring_view::npos) {
            end = m_record.size();
        }
        const std::int32_t value = DecimalTextToInt(m_record.substr(m_nPosition, end - m_nPosition));
        m_nPosition = end + 1;
        return value;
    }

private:
    std::wstring_view m_record;
    std::size_t m_nPosition = 0;
};

// Reads the fields into the state; false for a field number it does not know.
bool ReadRecord(MsiProgressState& state, std::wstring_view record)
{
    RecordReader reader(record);
    while (!reader.AtEnd()) {
        switch (reader.TakeFieldNumber()) {
            case L'1':
                if (!reader.TakeRecordType(state.m_nRecordType)) {
                    return false;
                }
                break;
            case L'2':
                state.m_nField2 = reader.TakeValue();
                if (state.m_nRecordType == 2 || state.m_nRecordType == 3) {
                    return true;
                }
                break;
            case L'3':
                state.m_nField3 = reader.TakeValue();
                if (state.m_nRecordType == 1) {
                    return true;
                }
                break;
            case L'4':
                state.m_nField4 = reader.TakeValue();
                return true;
            default:
                return false;
        }
    }
    return true;
}

std::int32_t WrappingAdd(std::int32_t a, std::int32_t b)
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}

std::int32_t WrappingSubtract(std::int32_t a, std::int32_t b)
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) - static_cast<std::uint32_t>(b));
}

bool Advance(MsiProgressState& state)
{
    state.m_nPosition = state.m_bForward ? WrappingAdd(state.m_nPosition, state.m_nField2)
                                         : WrappingSubtract(state.m_nPosition, state.m_nField2);
    if (state.m_nTotalTicks == 0) {
        return false;
    }
    const float share = static_cast<float>(state.m_nPosition) / static_cast<float>(state.m_nTotalTicks) *
                        static_cast<float>(100 - static_cast<std::int64_t>(state.m_nBasePercent));
    // The installer may announce fewer ticks than it reports: an item never
    // goes past 100, and an absurd share cannot overflow the conversion.
    const float gained = std::clamp(std::trunc(share), -1000.0f, 1000.0f);
    const std::int64_t percent =
        std::clamp<std::int64_t>(state.m_nBasePercent + static_cast<std::int64_t>(gained), 0, 100);
    state.m_nRunningMaximum = std::max(state.m_nRunningMaximum, static_cast<std::int32_t>(percent));
    return true;
}

}  // namespace

ProgressRecordOutcome ApplyProgressRecord(MsiProgressState& state, std::wstring_view record)
{
    ProgressRecordOutcome outcome;
    if (record.empty() || !ReadRecord(state, record)) {
        return outcome;
    }
    outcome.m_bWellFormed = true;
    switch (state.m_nRecordType) {
        case 0:
            state.m_nTotalTicks = state.m_nField2;
            state.m_bForward = state.m_nField3 == 0 ? 1 : 0;
            state.m_nPosition = state.m_bForward ? 0 : state.m_nTotalTicks;
            state.m_nBasePercent = state.m_nRunningMaximum;
            break;
        case 1:
            if (state.m_nField3 != 0) {
                outcome.m_bAdvanced = Advance(state);
            }
            break;
        case 2:
            outcome.m_bAdvanced = Advance(state);
            break;
        default:
            break;
    }
    return outcome;
}

}  // namespace korvex::install
