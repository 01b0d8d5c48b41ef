// Writes a single-file installer: a copy of a built KorvexMasterInstaller.exe
// that carries a product manifest and a language folder as resources (see
// src/config/EmbeddedFileNames.h).
//
//   KorvexPackage.exe INSTALLER MANIFEST LANGUAGE_FOLDER OUTPUT
//
// Exit codes: 0 written, 1 usage, 2 an input cannot be read or a file name
// cannot be carried, 3 the output cannot be written (nothing is left then).
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "base/WinHandles.h"
#include "config/EmbeddedFileNames.h"

using namespace korvex::config;

namespace {

struct EmbeddedFile {
    std::wstring name;
    std::vector<char> bytes;
};

bool ReadWholeFile(const std::wstring& path, std::vector<char>& bytes)
{
    FileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    LARGE_INTEGER size{};
    if (!file || !GetFileSizeEx(file.get(), &size) || size.QuadPart > 0x7FFFFFFF) {
        return false;
    }
    bytes.resize(static_cast<size_t>(size.QuadPart));
    DWORD read = 0;
    return bytes.empty() || (ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) &&
                             read == bytes.size());
}

bool AddFile(const std::wstring& path, const std::wstring& relativePath, std::vector<EmbeddedFile>& files)
{
    EmbeddedFile file{EmbeddedFileName(relativePath), {}};
    if (file.name.empty()) {
        fwprintf(stderr, L"package: %ls cannot be carried: use letters, digits, space, '-', '_' and '.'\n",
                 relativePath.c_str());
        return false;
    }
    if (!ReadWholeFile(path, file.bytes)) {
        fwprintf(stderr, L"package: cannot read %ls\n", path.c_str());
        return false;
    }
    files.push_back(std::move(file));
    return true;
}

// Every file below folder, named by its path below the installer's folder.
bool AddFolder(const std::wstring& folder, const std::wstring& relativeFolder, std::vector<EmbeddedFile>& files)
{
    WIN32_FIND_DATAW found;
    FindHandle search(FindFirstFileW((folder + L"\\*").c_str(), &found));
    if (!search) {
        fwprintf(stderr, L"package: cannot list %ls\n", folder.c_str());
        return false;
    }
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") {
            continue;
        }
        const std::wstring path = folder + L"\\" + name;
        const std::wstring relativePath = relativeFolder + L"\\" + name;
        const bool added = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? AddFolder(path, relativePath, files)
                                                                               : AddFile(path, relativePath, files);
        if (!added) {
            return false;
        }
    } while (FindNextFileW(search.get(), &found));
    return true;
}

bool WriteResources(const std::wstring& output, const std::vector<EmbeddedFile>& files)
{
    ResourceUpdate update(BeginUpdateResourceW(output.c_str(), FALSE));
    if (!update) {
        return false;
    }
    for (const EmbeddedFile& file : files) {
        if (!UpdateResourceW(update.get(), kEmbeddedFileType, file.name.c_str(),
                             MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL), const_cast<char*>(file.bytes.data()),
                             static_cast<DWORD>(file.bytes.size()))) {
            return false;
        }
    }
    return EndUpdateResourceW(update.release(), FALSE) != FALSE;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 5) {
        fwprintf(stderr, L"usage: KorvexPackage.exe INSTALLER MANIFEST LANGUAGE_FOLDER OUTPUT\n");
        return 1;
    }
    const std::wstring installer = argv[1];
    const std::wstring output = argv[4];
    std::vector<EmbeddedFile> files;
    if (!AddFile(argv[2], L"config\\manifestPro.xml", files) || !AddFolder(argv[3], L"language", files)) {
        return 2;
    }
    if (!CopyFileW(installer.c_str(), output.c_str(), FALSE)) {
        fwprintf(stderr, L"package: cannot copy %ls to %ls\n", installer.c_str(), output.c_str());
        return 3;
    }
    if (!WriteResources(output, files)) {
        fwprintf(stderr, L"package: cannot write the files into %ls\n", output.c_str());
        DeleteFileW(output.c_str());
        return 3;
    }
    return 0;
}
