#pragma once
// Reads the product manifest ("config\manifestPro.xml", document element
// korvexwebinstaller) into a ProductManifest. Every value is the text of an
// element. Within each element the children are searched in a fixed order,
// each search starting after the child found last, so a child placed before
// an earlier-listed sibling is not found. Entries of the lists are kept only
// with their identifying child (lang_id, or name for a dependency).

#include <string>
#include <string_view>

#include "config/ProductConfiguration.h"

namespace korvex::config {

// False when the file cannot be loaded or parsed, when a file name in it is
// not a plain file name (FileNameRules.h), or when a client_signer is not a
// key's 64 hexadecimal digits (SignerKeyRules.h). Another document element yields
// true with nothing read.
bool ReadManifest(const std::wstring& path, ProductManifest& manifest);

// The same for a manifest's bytes in memory (one carried inside the
// executable), decoded as a file's would be.
bool ReadManifestBytes(std::string_view bytes, ProductManifest& manifest);

}  // namespace korvex::config
