// The part record and the Content-Range of a hostile server or folder: any
// bytes must parse or fail cleanly, and a parsed record formats back to
// exactly the text it came from.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "download/ResumeRules.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    if (const auto record = korvex::download::ParsePartRecord(text)) {
        if (korvex::download::FormatPartRecord(*record) != text) {
            std::abort();
        }
    }
    if (const auto range = korvex::download::ParseContentRange(text)) {
        if (range->m_nFirst > range->m_nLast || range->m_nLast >= range->m_nTotal) {
            std::abort();
        }
    }
    return 0;
}
