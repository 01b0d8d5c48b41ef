#include "config/ProtectedFolder.h"

#include <aclapi.h>

#include "base/DecimalText.h"
#include "base/WinHandles.h"

using korvex::base::DecimalText;

namespace {

std::vector<BYTE> WellKnownSid(WELL_KNOWN_SID_TYPE type)
{
    std::vector<BYTE> sid(SECURITY_MAX_SID_SIZE);
    DWORD size = static_cast<DWORD>(sid.size());
    if (!::CreateWellKnownSid(type, nullptr, sid.data(), &size)) return {};
    sid.resize(size);
    return sid;
}

// Administrators and SYSTEM full control, Users read and execute, inherited
// by everything created inside.
std::vector<BYTE> BuildWorkFolderDacl()
{
    const struct {
        WELL_KNOWN_SID_TYPE type;
        DWORD access;
    } entries[] = {
        {WinBuiltinAdministratorsSid, FILE_ALL_ACCESS},
        {WinLocalSystemSid, FILE_ALL_ACCESS},
        {WinBuiltinUsersSid, FILE_GENERIC_READ | FILE_GENERIC_EXECUTE},
    };
    std::vector<std::vector<BYTE>> sids;
    DWORD size = sizeof(ACL);
    for (const auto& entry : entries) {
        sids.push_back(WellKnownSid(entry.type));
        if (sids.back().empty()) return {};
        size += sizeof(ACCESS_ALLOWED_ACE) - sizeof(DWORD) + static_cast<DWORD>(sids.back().size());
    }
    std::vector<BYTE> dacl(size);
    PACL acl = reinterpret_cast<PACL>(dacl.data());
    if (!::InitializeAcl(acl, size, ACL_REVISION)) return {};
    for (std::size_t i = 0; i < sids.size(); ++i) {
        if (!::AddAccessAllowedAceEx(acl, ACL_REVISION, OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE, entries[i].access,
                                     sids[i].data())) {
            return {};
        }
    }
    return dacl;
}

constexpr int kUniqueFolderAttempts = 100;

}  // namespace

ProtectedFolder::ProtectedFolder(bool bProtect)
    : m_bProtect(bProtect),
      m_dacl(bProtect ? BuildWorkFolderDacl() : std::vector<BYTE>()),
      m_owner(bProtect ? WellKnownSid(WinBuiltinAdministratorsSid) : std::vector<BYTE>())
{
    if (m_owner.empty()) m_dacl.clear();
}

bool ProtectedFolder::IsReparsePoint(const std::wstring& path)
{
    // With a trailing separator the look-up goes through the link to its target.
    std::wstring entry = path;
    while (entry.size() > 1 && (entry.back() == L'\\' || entry.back() == L'/')) entry.pop_back();
    const DWORD attributes = ::GetFileAttributesW(entry.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

bool ProtectedFolder::CreateNew(const std::wstring& path) const
{
    if (m_bProtect && m_dacl.empty()) return false;
    SECURITY_DESCRIPTOR descriptor;
    SECURITY_ATTRIBUTES attributes{sizeof(attributes), nullptr, FALSE};
    if (m_bProtect) {
        if (!::InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION) ||
            !::SetSecurityDescriptorOwner(&descriptor, Owner(), FALSE) ||
            !::SetSecurityDescriptorDacl(&descriptor, TRUE, Dacl(), FALSE) ||
            !::SetSecurityDescriptorControl(&descriptor, SE_DACL_PROTECTED, SE_DACL_PROTECTED)) {
            return false;
        }
        attributes.lpSecurityDescriptor = &descriptor;
    }
    return ::CreateDirectoryW(path.c_str(), &attributes) != FALSE;
}

std::wstring ProtectedFolder::CreateUnique(const std::wstring& stem) const
{
    for (int attempt = 0; attempt < kUniqueFolderAttempts; ++attempt) {
        const std::wstring folder = attempt == 0 ? stem : stem + L"_" + DecimalText(attempt);
        if (CreateNew(folder)) return folder;
        if (::GetLastError() != ERROR_ALREADY_EXISTS) break;
    }
    return std::wstring();
}

bool ProtectedFolder::Ensure(const std::wstring& path) const
{
    if (m_bProtect && m_dacl.empty()) return false;
    if (CreateNew(path)) return true;
    if (::GetLastError() != ERROR_ALREADY_EXISTS) return false;
    // The folder itself, not what a reparse point leads to: the check and the
    // DACL then apply to the same object. Wine leaves the reparse flag out of
    // the handle's attributes, so the path's own attributes are asked too.
    if (IsReparsePoint(path)) return false;
    const DWORD access =
        m_bProtect ? READ_CONTROL | WRITE_DAC | WRITE_OWNER | FILE_READ_ATTRIBUTES : FILE_READ_ATTRIBUTES;
    const FileHandle folder(::CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                          nullptr, OPEN_EXISTING,
                                          FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    BY_HANDLE_FILE_INFORMATION information;
    if (!folder || !::GetFileInformationByHandle(folder.get(), &information) ||
        !(information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ||
        (information.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        return false;
    }
    if (!m_bProtect) return true;
    // Whoever made the folder beforehand loses it: as owner they could
    // change the DACL back.
    return ::SetSecurityInfo(
               folder.get(), SE_FILE_OBJECT,
               OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION, Owner(),
               nullptr, Dacl(), nullptr) == ERROR_SUCCESS;
}

bool IsProcessElevated()
{
    HANDLE token = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
    const KernelHandle owner(token);
    TOKEN_ELEVATION elevation{};
    DWORD size = sizeof(elevation);
    return ::GetTokenInformation(owner.get(), TokenElevation, &elevation, sizeof(elevation), &size) &&
           elevation.TokenIsElevated != 0;
}

std::wstring NewTemporaryFolder()
{
    wchar_t temporaryFolder[MAX_PATH + 1] = {};
    const DWORD length = ::GetTempPathW(MAX_PATH + 1, temporaryFolder);
    if (length == 0 || length > MAX_PATH) return std::wstring();
    return ProtectedFolder(IsProcessElevated())
        .CreateUnique(std::wstring(temporaryFolder, length) + L"KorvexWebInstaller_" +
                      DecimalText(static_cast<int>(::GetTickCount())));
}
