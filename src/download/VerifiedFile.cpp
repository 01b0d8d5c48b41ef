#include "download/VerifiedFile.h"

#include "download/FileSha256.h"

bool IsPlainSingleFile(HANDLE hFile)
{
    BY_HANDLE_FILE_INFORMATION information{};
    return GetFileInformationByHandle(hFile, &information) &&
           (information.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) == 0 &&
           information.nNumberOfLinks == 1;
}

FileCheck OpenVerifiedFile(const std::wstring& path, const std::wstring& sha256, FileHandle& held)
{
    held.reset(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!held) {
        const DWORD nError = GetLastError();
        return nError == ERROR_FILE_NOT_FOUND || nError == ERROR_PATH_NOT_FOUND ? FileCheck::Missing
                                                                                : FileCheck::Refused;
    }
    BY_HANDLE_FILE_INFORMATION information{};
    if (!GetFileInformationByHandle(held.get(), &information) ||
        (information.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) != 0) {
        held.reset();
        return FileCheck::Refused;
    }
    if (!sha256.empty() && !FileMatchesSha256(held.get(), sha256)) {
        held.reset();
        return FileCheck::Mismatch;
    }
    return FileCheck::Verified;
}
