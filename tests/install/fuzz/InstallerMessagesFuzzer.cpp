// Feeds arbitrary installer messages to the progress-record parser and the
// home page capture. Input bytes pair up into UTF-16 code units, so the text
// is what the installer could hand over on either platform.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "install/HomePageCapture.h"
#include "install/MsiProgressRecord.h"

using namespace korvex::install;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::wstring text;
    for (std::size_t i = 0; i + 1 < size; i += 2) {
        text.push_back(static_cast<wchar_t>(data[i] | (data[i + 1] << 8)));
    }
    MsiProgressState state;
    // Records persist their fields, so each message is applied twice.
    for (int round = 0; round < 2; ++round) {
        ApplyProgressRecord(state, text);
        if (state.m_nRunningMaximum < 0 || state.m_nRunningMaximum > 100) {
            std::abort();
        }
    }
    std::wstring found;
    if (CaptureHomePageUrl(text, found) && (found.empty() || found.size() > text.size())) {
        std::abort();
    }
    return 0;
}
