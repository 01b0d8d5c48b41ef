#include "config/EmbeddedFilesWin.h"

#include <windows.h>

#include "config/EmbeddedFileNames.h"
#include "config/ProductConfiguration.h"

using namespace korvex::config;

namespace {

BOOL CALLBACK CollectName(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR names)
{
    // Files are named, never numbered; a number is someone else's resource.
    if (!IS_INTRESOURCE(name)) {
        reinterpret_cast<std::vector<std::wstring>*>(names)->push_back(name);
    }
    return TRUE;
}

}  // namespace

bool FindEmbeddedFile(const std::wstring& name, std::string_view& bytes)
{
    const HMODULE module = GetModuleHandleW(nullptr);
    const HRSRC resource = FindResourceW(module, name.c_str(), kEmbeddedFileType);
    const HGLOBAL loaded = resource ? LoadResource(module, resource) : nullptr;
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data) {
        return false;
    }
    bytes = std::string_view(static_cast<const char*>(data), SizeofResource(module, resource));
    return true;
}

std::vector<std::wstring> ListEmbeddedFiles()
{
    std::vector<std::wstring> names;
    EnumResourceNamesW(GetModuleHandleW(nullptr), kEmbeddedFileType, CollectName, reinterpret_cast<LONG_PTR>(&names));
    return names;
}

bool UsesEmbeddedLanguageFiles()
{
    const std::wstring& folder = g_productConfiguration.m_strLanguageFolder;
    const DWORD attributes = folder.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesW(folder.c_str());
    return attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}
