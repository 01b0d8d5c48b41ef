#include "install/MessageText.h"

namespace korvex::install {

std::wstring FillMessageText(std::wstring_view text, std::wstring_view value)
{
    std::wstring filled(text);
    const std::size_t placeholder = filled.find(L"%s");
    if (placeholder != std::wstring::npos) {
        filled.replace(placeholder, 2, value);
    }
    return filled;
}

}  // namespace korvex::install
