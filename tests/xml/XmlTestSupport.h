#pragma once
// Helpers shared by the XML tests and fuzzers.

#include "xml/XmlDocument.h"

#include <string>
#include <string_view>

namespace korvex::xml {

#define X(literal) XmlString(KORVEX_XML_TEXT(literal))

// The text for a failure message: ASCII as it is, every other unit as \uXXXX.
std::string Printable(XmlStringView text);

// Structural checks of a parsed document's index: offsets inside the text,
// every child's parent link, the closed backward ring of each child list,
// the first-child flags. Returns an empty string or the first problem found.
std::string CheckElementIndex(const XmlDocument& document);

// Visits every element with the cursor (depth first) and reads its text;
// returns the number of elements reached.
int WalkAllElements(XmlDocument& document);

// True when the system's ANSI page is Windows-1252, as the host's stand-in is.
bool AnsiPageIsWestern();

}  // namespace korvex::xml
