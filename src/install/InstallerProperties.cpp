#include "install/InstallerProperties.h"

namespace korvex::install {

namespace {

struct AssociationLevel {
    int m_nLevel;
    const wchar_t* m_pszName;
};

constexpr AssociationLevel kAssociationLevels[] = {
    {0, L"All"},
    {1, L"Free"},
    {2, L"None"},
};

std::wstring QuotedProperty(const wchar_t* name, const std::wstring& value)
{
    return std::wstring(name) + L"=\"" + value + L"\"";
}

}  // namespace

const wchar_t* AssociationLevelName(int level)
{
    for (const AssociationLevel& row : kAssociationLevels) {
        if (row.m_nLevel == level) {
            return row.m_pszName;
        }
    }
    return L"";
}

bool CanNameInTransforms(const std::wstring& path)
{
    return path.find(L';') == std::wstring::npos;
}

std::wstring WithoutTrailingBackslash(std::wstring path)
{
    const bool bDriveRoot = path.size() == 3 && path[1] == L':';
    if (!path.empty() && path.back() == L'\\' && !bDriveRoot) {
        path.pop_back();
    }
    return path;
}

std::wstring BuildInstallerProperties(const InstallerPropertyFacts& facts)
{
    std::wstring properties;
    if (facts.m_bProductInstalled) {
        properties = kRepairProperties;
    } else if (facts.m_bInstallFolderExists &&
               facts.m_strInstallerProperties.find(L"INSTALLDIR") == std::wstring::npos) {
        properties = QuotedProperty(L"INSTALLDIR", WithoutTrailingBackslash(facts.m_strInstallFolder));
    }
    if (facts.m_bLanguageChoice && facts.m_nLanguageId != 1033 && !facts.m_strTransformPath.empty()) {
        properties += L' ';
        properties += QuotedProperty(L"TRANSFORMS", facts.m_strTransformPath);
    }
    properties += L' ';
    properties += QuotedProperty(L"SHELL_INTEGRATION_LEVEL", AssociationLevelName(facts.m_nAssociationLevel));
    if (!facts.m_strInstallerProperties.empty()) {
        properties += L' ';
        properties += facts.m_strInstallerProperties;
    }
    return properties;
}

}  // namespace korvex::install
