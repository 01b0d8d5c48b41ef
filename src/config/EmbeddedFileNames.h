#pragma once
// Names of the files a single-file installer carries inside itself. Each
// file is a resource of type kEmbeddedFileType whose name is its path below
// the installer's folder, upper case, with '/' between the parts
// ("CONFIG/MANIFESTPRO.XML", "LANGUAGE/1031/STRINGPRO.INI"). The packaging
// tool and the installer both name files through these functions, so the
// two always agree. Pure: builds on the host.

#include <string>
#include <string_view>
#include <vector>

namespace korvex::config {

inline constexpr wchar_t kEmbeddedFileType[] = L"KORVEXFILE";
inline constexpr wchar_t kEmbeddedManifestName[] = L"CONFIG/MANIFESTPRO.XML";

// The resource name of a relative path ('\\' or '/' between parts). Empty
// for a path that could leave its folder or that a resource name cannot
// hold: an empty, "." or ".." part, a drive or root, or a character other
// than ASCII letters, digits, ' ', '-', '_' and '.'.
std::wstring EmbeddedFileName(std::wstring_view relativePath);

// The resource name of a file in one language's folder ("stringPro.ini").
std::wstring EmbeddedLanguageFileName(int languageId, std::wstring_view fileName);

// The slides among the embedded names for a language and a slide scale
// (100, 125, 150, 200): ".JPG" files directly in its folder, sorted by name
// as a folder listing would show them.
std::vector<std::wstring> EmbeddedSlideNames(const std::vector<std::wstring>& names, int languageId, int scale);

}  // namespace korvex::config
