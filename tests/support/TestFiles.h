#pragma once
// Scratch files of the tests. A fresh folder lies below the build folder, so
// every build (host or target) has its own and a failed test leaves its files
// to look at; a scratch folder lies in the temporary folder and goes with
// everything in it when the object goes.

#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <system_error>

// A fresh empty folder <build>/test-files/<name>.
inline std::filesystem::path FreshFolder(const std::string& name)
{
    const std::filesystem::path folder = std::filesystem::path(KORVEX_BINARY_DIR) / "test-files" / name;
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    std::filesystem::create_directories(folder);
    return folder;
}

// Writes the bytes to a new or truncated file, creating its folder.
inline void WriteTestFile(const std::filesystem::path& path, std::string_view bytes)
{
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
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

class ScratchFolder {
public:
    explicit ScratchFolder(const std::string& name)
        : m_path(std::filesystem::temp_directory_path() / ("korvex-test-" + name))
    {
        std::filesystem::remove_all(m_path);
        std::filesystem::create_directories(m_path);
    }
    ~ScratchFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& Path() const { return m_path; }

    std::filesystem::path Write(const std::string& name, std::string_view bytes) const
    {
        const std::filesystem::path file = m_path / name;
        WriteTestFile(file, bytes);
        return file;
    }

private:
    std::filesystem::path m_path;
};
