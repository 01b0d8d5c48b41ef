#include "download/DownloadJob.h"

#include <exception>

#include "download/CancelRequest.h"
#include "download/HttpClient.h"
#include "download/UniqueHandle.h"

CDownloadJob::CDownloadJob(std::wstring strUrl, std::wstring strLocalPath)
    : m_strUrl(std::move(strUrl)), m_strLocalPath(std::move(strLocalPath))
{}

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
        m_nExpectedSize = QueryContentLength(m_strUrl);
        if (m_nExpectedSize > 0) {
            status.m_nExpectedSize = static_cast<std::uint64_t>(m_nExpectedSize);
            FileHandle file(CreateFileW(m_strLocalPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL | FILE_FLAG_RANDOM_ACCESS, nullptr));
            if (file) {
                bResult = DownloadToFile(cancel, m_strUrl, file.get(), *this, status.m_nExpectedSize);
            }
        }
        OnDownloadStatus(status);
    } catch (const std::exception&) {
        status.m_nStatus = DownloadStatus::NotStarted;
        try {
            OnDownloadStatus(status);
        } catch (const std::exception&) {
            // The receiver failed twice; the result still stands.
        }
    }
    return bResult;
}
