// File bytes to a navigable document: marks, declarations, the UTF-8 test,
// NUL removal, byte swapping and the conversion, then the parse.

#include "../XmlTestSupport.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

using namespace korvex::xml;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    XmlDocument document;
    document.LoadBytes(reinterpret_cast<const char*>(data), size);
    const std::string problem = CheckElementIndex(document);
    if (!problem.empty()) {
        std::fprintf(stderr, "index: %s\n", problem.c_str());
        std::abort();
    }
    WalkAllElements(document);
    return 0;
}
