#pragma once
// Result entries of a load or parse: each is an empty element such as
// <lone_end_tag tagname="b" offset="7"/>. Entries stop being added once the
// text reaches 1000 characters, so a hostile document cannot grow it.

#include "xml/XmlDocument.h"

#include <cstdint>
#include <initializer_list>
#include <string_view>

namespace korvex::xml {

struct XmlResultAttribute {
    std::string_view m_name;
    XmlString m_value;
};

// False once the results are full; lets callers skip building an entry.
bool CanAddResult(const XmlString& results);

XmlString NumberText(uint64_t number);
XmlString AsciiText(std::string_view text);

void AddResult(XmlString& results, std::string_view name, std::initializer_list<XmlResultAttribute> attributes = {});

// Changes an attribute of the first entry of that name, if there is one.
void UpdateResult(XmlString& results, std::string_view name, std::string_view attribute, XmlStringView value);

}  // namespace korvex::xml
