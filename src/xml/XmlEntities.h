#pragma once
// Character references: "&name;" from EntityTable and "&#n;" / "&#xh;".

#include "xml/XmlDocument.h"

#include <cstdint>

namespace korvex::xml {

struct XmlEntity {
    const char* m_szName;
    uint32_t m_nCodePoint;
};

// The character entity references of HTML 4.01 and "apos".
extern const XmlEntity EntityTable[253];

// The code point of an entity name: the exact spelling first, so "&Eacute;"
// and "&eacute;" stay distinct, then ignoring ASCII case. 0 when unknown.
uint32_t LookUpEntity(XmlStringView name);

// Copies text, replacing the references it can resolve; anything else
// (unknown names, "&#0;", values beyond U+10FFFF, a missing ";") stays as
// written.
XmlString DecodeText(XmlStringView text);
void AppendDecodedText(XmlString& out, XmlStringView text);

// Appends one code point as UTF-16 (a surrogate pair above U+FFFF).
void AppendCodePoint(XmlString& out, uint32_t codePoint);

}  // namespace korvex::xml
