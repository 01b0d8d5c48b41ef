#pragma once
// The files a single-file installer carries inside itself (see
// EmbeddedFileNames.h), read from the running executable's resources. The
// bytes belong to the loaded image and stay valid until the process ends, so
// any thread may read them.

#include <string>
#include <string_view>
#include <vector>

// The bytes of an embedded file; false when the executable carries none of
// that name.
bool FindEmbeddedFile(const std::wstring& name, std::string_view& bytes);

// Every embedded file's name, upper case.
std::vector<std::wstring> ListEmbeddedFiles();

// True when the texts and slides come from the executable: no language
// folder lies beside it.
bool UsesEmbeddedLanguageFiles();
