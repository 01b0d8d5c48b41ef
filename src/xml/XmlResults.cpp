#include "xml/XmlResults.h"

namespace korvex::xml {

namespace {

constexpr size_t kResultLimit = 1000;

void AppendEscaped(XmlString& out, XmlStringView value)
{
    for (XmlChar c : value) {
        switch (c) {
            case '<':
                out += KORVEX_XML_TEXT("&lt;");
                break;
            case '>':
                out += KORVEX_XML_TEXT("&gt;");
                break;
            case '&':
                out += KORVEX_XML_TEXT("&amp;");
                break;
            case '"':
                out += KORVEX_XML_TEXT("&quot;");
                break;
            case '\'':
                out += KORVEX_XML_TEXT("&apos;");
                break;
            default:
                out.push_back(c);
                break;
        }
    }
}

}  // namespace

bool CanAddResult(const XmlString& results)
{
    return results.size() < kResultLimit;
}

XmlString AsciiText(std::string_view text)
{
    return XmlString(text.begin(), text.end());
}

XmlString NumberText(uint64_t number)
{
    XmlString digits;
    do {
        digits.insert(digits.begin(), static_cast<XmlChar>('0' + number % 10));
        number /= 10;
    } while (number != 0);
    return digits;
}

void AddResult(XmlString& results, std::string_view name, std::initializer_list<XmlResultAttribute> attributes)
{
    if (!CanAddResult(results)) return;
    results.push_back('<');
    results += AsciiText(name);
    for (const XmlResultAttribute& attribute : attributes) {
        results.push_back(' ');
        results += AsciiText(attribute.m_name);
        results += KORVEX_XML_TEXT("=\"");
        AppendEscaped(results, attribute.m_value);
        results.push_back('"');
    }
    results += KORVEX_XML_TEXT("/>");
}

void UpdateResult(XmlString& results, std::string_view name, std::string_view attribute, XmlStringView value)
{
    const XmlString entryStart = KORVEX_XML_TEXT("<") + AsciiText(name) + KORVEX_XML_TEXT(" ");
    const size_t entry = results.find(entryStart);
    if (entry == XmlString::npos) return;
    const size_t entryEnd = results.find('>', entry);
    const XmlString attributeStart = KORVEX_XML_TEXT(" ") + AsciiText(attribute) + KORVEX_XML_TEXT("=\"");
    const size_t valueStart = results.find(attributeStart, entry);
    if (valueStart == XmlString::npos || valueStart > entryEnd) return;
    const size_t from = valueStart + attributeStart.size();
    const size_t to = results.find('"', from);
    XmlString escaped;
    AppendEscaped(escaped, value);
    results.replace(from, to - from, escaped);
}

}  // namespace korvex::xml
