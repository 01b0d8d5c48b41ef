#include "XmlTestSupport.h"

#include <cstdio>

#if defined(_WIN32)
#include <windows.h>
#endif

namespace korvex::xml {

std::string Printable(XmlStringView text)
{
    std::string out;
    for (XmlChar c : text) {
        if (c >= 32 && c < 127) {
            out.push_back(static_cast<char>(c));
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04X", static_cast<unsigned>(c));
            out += escaped;
        }
    }
    return out;
}

std::string CheckElementIndex(const XmlDocument& document)
{
    const ElementIndex& index = document.Elements();
    const size_t textLength = document.DocumentText().size();
    if (index.Count() < 1) return "no document record";
    if (index[0].m_nLength != textLength) return "document record length";
    for (int parent = 0; parent < index.Count(); ++parent) {
        const ElementRecord& record = index[parent];
        if (parent != 0 && static_cast<size_t>(record.m_nStart) + record.m_nLength > textLength)
            return "element " + std::to_string(parent) + " runs past the text";
        if (parent != 0 && record.m_nStartTagLength + record.m_nEndTagLength > record.m_nLength)
            return "element " + std::to_string(parent) + " tags longer than the element";
        const int first = record.m_nFirstChild;
        if (first == 0) continue;
        if (first < 0 || first >= index.Count() || !index[first].Has(kElementFirstChild))
            return "first child of " + std::to_string(parent);
        int previous = 0;
        int count = 0;
        for (int child = first; child != 0; child = index[child].m_nNextSibling) {
            if (child < 0 || child >= index.Count() || ++count > index.Count())
                return "sibling chain of " + std::to_string(parent);
            if (index[child].m_nParent != parent) return "parent link of " + std::to_string(child);
            if (child != first && (index[child].Has(kElementFirstChild) || index[child].m_nPreviousSibling != previous))
                return "previous link of " + std::to_string(child);
            previous = child;
        }
        if (index[first].m_nPreviousSibling != previous) return "ring of " + std::to_string(parent);
    }
    return std::string();
}

int WalkAllElements(XmlDocument& document)
{
    int reached = 0;
    size_t depth = 0;
    for (;;) {
        if (document.FindNextElement()) {
            ++reached;
            document.ElementText(document.CurrentPosition());
            document.EnterElement();
            ++depth;
            continue;
        }
        if (depth == 0) return reached;
        document.LeaveElement();
        --depth;
    }
}

bool AnsiPageIsWestern()
{
#if defined(_WIN32)
    return GetACP() == 1252;
#else
    return true;
#endif
}

}  // namespace korvex::xml
