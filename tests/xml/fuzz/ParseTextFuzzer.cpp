// ParseText and navigation on arbitrary text. Each byte is one UTF-16 unit,
// except that 0xFF takes the next two bytes as a unit of its own, so seeds
// stay readable and every unit (surrogates included) can be reached.

#include "../XmlTestSupport.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

using namespace korvex::xml;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    XmlString text;
    text.reserve(size);
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == 0xFF && i + 2 < size) {
            text.push_back(static_cast<XmlChar>(data[i + 1] << 8 | data[i + 2]));
            i += 2;
        } else {
            text.push_back(data[i]);
        }
    }
    XmlDocument document;
    const bool verdict = document.ParseText(text);
    const std::string problem = CheckElementIndex(document);
    if (!problem.empty()) {
        std::fprintf(stderr, "index: %s\n", problem.c_str());
        std::abort();
    }
    const int walked = WalkAllElements(document);
    if (verdict && walked != document.Elements().Count() - 1) {
        std::fprintf(stderr, "well-formed document, but the cursor reached %d of %d elements\n", walked,
                     document.Elements().Count() - 1);
        std::abort();
    }
    // Searches by the names the document itself uses, from a fresh cursor.
    const XmlString& documentText = document.DocumentText();
    for (int position = 1; position < document.Elements().Count() && position < 4; ++position) {
        const ElementRecord& record = document.Elements()[position];
        const XmlString name = documentText.substr(record.m_nStart + 1, 8);
        document.ParseText(documentText);
        document.FindNextChild(name.c_str());
        document.EnterElement();
        document.FindNextElement(name.c_str());
        document.ElementText(document.CurrentPosition());
        document.LeaveElement();
    }
    return 0;
}
