#pragma once
// Scratch files for the configuration tests, below the build folder so every
// build (host or target) has its own.

#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

namespace config_test {

// A fresh empty folder <build>/config-test-files/<name>.
inline std::filesystem::path FreshFolder(const std::string& name)
{
    const std::filesystem::path folder = std::filesystem::path(KORVEX_BINARY_DIR) / "config-test-files" / name;
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    std::filesystem::create_directories(folder);
    return folder;
}

inline void WriteFile(const std::filesystem::path& path, const std::string& bytes)
{
    std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

// UTF-16LE with a byte-order mark, as language files are shipped.
inline std::string Utf16File(const std::wstring& text)
{
    std::string bytes = "\xFF\xFE";
    for (wchar_t unit : text) {
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>((unit >> 8) & 0xFF));
    }
    return bytes;
}

}  // namespace config_test
