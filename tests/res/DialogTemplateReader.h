// Reads an extended dialog template (DLGTEMPLATEEX) as the resource compiler
// wrote it, so a test can compare it field by field with what the windows need.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct DialogItemTemplate {
    uint32_t id = 0;
    uint32_t style = 0;
    uint32_t exStyle = 0;
    int16_t x = 0, y = 0, cx = 0, cy = 0;
    std::wstring className;  // predefined classes by name: "Button", "Edit", "Static", ...
    std::wstring text;       // an ordinal reads as "#<number>"
};

struct DialogTemplate {
    uint32_t style = 0;
    uint32_t exStyle = 0;
    int16_t x = 0, y = 0, cx = 0, cy = 0;
    std::wstring menu;
    std::wstring className;
    std::wstring title;
    uint16_t fontPointSize = 0;
    uint16_t fontWeight = 0;
    std::wstring fontName;
    std::vector<DialogItemTemplate> items;
};

// Empty when the bytes are not one complete extended template.
std::optional<DialogTemplate> ReadDialogTemplate(const void* data, size_t size);
