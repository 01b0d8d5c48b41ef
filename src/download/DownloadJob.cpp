#include "download/DownloadJob.h"

#include <exception>

#include "base/WinHandles.h"
#include "download/CancelRequest.h"
#include "download/FileSha256.h"

namespace {

bool IsSameFile(const BY_HANDLE_FILE_INFORMATION& a, const BY_HANDLE_FILE_INFORMATION& b)
{
    return a.dwVolumeSerialNumber == b.dwVolumeSerialNumber && a.nFileIndexHigh == b.nFileIndexHigh &&
           a.nFileIndexLow == b.nFileIndexLow;
}

}  // namespace

CDownloadJob::CDownloadJob(std::wstring strUrl, std::wstring strLocalPath, std::wstring strSha256)
    : m_strUrl(std::move(strUrl)), m_strLocalPath(std::move(strLocalPath)), m_strSha256(std::move(strSha256))
{}

HANDLE CDownloadJob::OpenTargetFile(std::uint64_t nSize)
{
    m_nExpectedSize = static_cast<std::int64_t>(nSize);
    // Whatever lies at the path (a hard link, a symbolic link, a junction) is
    // removed, not written through; if it cannot be, CREATE_NEW fails.
    DeleteFileW(m_strLocalPath.c_str());
    m_file.reset(CreateFileW(m_strLocalPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                             FILE_ATTRIBUTE_NORMAL | FILE_FLAG_RANDOM_ACCESS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    return m_file.get();
}

bool CDownloadJob::KeepDownloadedFile()
{
    BY_HANDLE_FILE_INFORMATION written{};
    if (!GetFileInformationByHandle(m_file.get(), &written)) {
        return false;
    }
    // Readers of the package must not meet our write access, so the file is
    // opened again for reading only, with the same sharing.
    m_file.reset();
    FileHandle held(CreateFileW(m_strLocalPath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    BY_HANDLE_FILE_INFORMATION reopened{};
    if (!held || !GetFileInformationByHandle(held.get(), &reopened) || !IsSameFile(written, reopened) ||
        (reopened.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        return false;
    }
    if (!m_strSha256.empty() && !FileMatchesSha256(held.get(), m_strSha256)) {
        held.reset();
        DeleteFileW(m_strLocalPath.c_str());
        return false;
    }
    m_file = std::move(held);
    return true;
}

void CDownloadJob::OnDownloadStatus(DownloadStatusInfo& status)
{
    if (!m_statusFunction) {
        return;
    }
    if (m_nExpectedSize != 0) {
        status.m_nExpectedSize = static_cast<std::uint64_t>(m_nExpectedSize);
    }
    m_statusFunction(status);
}

bool CDownloadJob::RunWithEvents(HANDLE hCancelEvent, HANDLE hProceedEvent, DownloadStatusFunction statusFunction)
{
    m_statusFunction = std::move(statusFunction);
    DownloadStatusInfo status;
    const CancelRequest cancel(hCancelEvent, hProceedEvent);
    if (cancel.IsCancelRequested()) {
        status.m_nStatus = DownloadStatus::NotStarted;
        OnDownloadStatus(status);
        return false;
    }

    bool bResult = false;
    try {
        status.m_nStatus = DownloadStatus::Downloading;
        OnDownloadStatus(status);
        bResult = DownloadToFile(cancel, m_strUrl, *this, *this) && KeepDownloadedFile();
        OnDownloadStatus(status);
    } catch (const std::exception&) {
        status.m_nStatus = DownloadStatus::NotStarted;
        try {
            OnDownloadStatus(status);
        } catch (const std::exception&) {
            // The receiver failed twice; the result still stands.
        }
    }
    if (!bResult) {
        m_file.reset();
    }
    return bResult;
}
