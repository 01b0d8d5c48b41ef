#pragma once
// Message texts come from translated string files, so they are never used as
// printf formats: only their "%s" is filled in.

#include <string>
#include <string_view>

namespace korvex::install {

// The text with its first "%s" replaced by value.
std::wstring FillMessageText(std::wstring_view text, std::wstring_view value);

}  // namespace korvex::install
