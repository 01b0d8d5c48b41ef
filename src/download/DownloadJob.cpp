#include "download/DownloadJob.h"

#include <exception>
#include <optional>
#include <string>

#include "base/DecimalText.h"
#include "download/FileSha256.h"
#include "download/ResumeRules.h"
#include "download/TransferAttempts.h"
#include "download/VerifiedFile.h"
#include "log/RunLog.h"

using korvex::base::DecimalText;

using namespace korvex::download;

namespace {

bool IsSameFile(const BY_HANDLE_FILE_INFORMATION& a, const BY_HANDLE_FILE_INFORMATION& b)
{
    return a.dwVolumeSerialNumber == b.dwVolumeSerialNumber && a.nFileIndexHigh == b.nFileIndexHigh &&
           a.nFileIndexLow == b.nFileIndexLow;
}

std::uint64_t FileSize(HANDLE hFile)
{
    LARGE_INTEGER size{};
    return GetFileSizeEx(hFile, &size) ? static_cast<std::uint64_t>(size.QuadPart) : 0;
}

// The record lies where others may write: read as hostile text, never
// through a link, and only when it is small.
std::optional<PartRecord> ReadPartRecord(const std::wstring& path)
{
    const FileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!file || !IsPlainSingleFile(file.get()) || FileSize(file.get()) > kPartRecordLimit) {
        return std::nullopt;
    }
    char text[kPartRecordLimit] = {};
    DWORD nRead = 0;
    if (!ReadFile(file.get(), text, sizeof text, &nRead, nullptr)) {
        return std::nullopt;
    }
    return ParsePartRecord(std::string_view(text, nRead));
}

// Made anew, like a download: whatever stood at the path is removed first.
void WritePartRecord(const std::wstring& path, const std::string& text)
{
    DeleteFileW(path.c_str());
    if (text.empty()) {
        return;
    }
    const FileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    DWORD nWritten = 0;
    if (file && !WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &nWritten, nullptr)) {
        DeleteFileW(path.c_str());
    }
}

}  // namespace

CDownloadJob::CDownloadJob(std::wstring strUrl, std::wstring strLocalPath, std::wstring strSha256, int nAttempts)
    : m_strUrl(std::move(strUrl)),
      m_strLocalPath(std::move(strLocalPath)),
      m_strSha256(std::move(strSha256)),
      m_nAttempts(nAttempts)
{}

HANDLE CDownloadJob::OpenTargetFile(const FilePart& answer)
{
    m_answer = answer;
    m_nExpectedSize = static_cast<std::int64_t>(answer.m_nTotal);
    if (answer.m_nOffset > 0) {
        return m_file.get();
    }
    if (m_file) {
        // The whole file comes again over the part held.
        const LARGE_INTEGER start{};
        if (SetFilePointerEx(m_file.get(), start, nullptr, FILE_BEGIN) && SetEndOfFile(m_file.get())) {
            return m_file.get();
        }
        m_file.reset();
        return INVALID_HANDLE_VALUE;
    }
    // Whatever lies at the path (a hard link, a symbolic link, a junction) is
    // removed, not written through; if it cannot be, CREATE_NEW fails.
    DeleteFileW(m_strLocalPath.c_str());
    m_file.reset(CreateFileW(m_strLocalPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                             FILE_ATTRIBUTE_NORMAL | FILE_FLAG_RANDOM_ACCESS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    return m_file.get();
}

AttemptCause CDownloadJob::KeepDownloadedFile()
{
    BY_HANDLE_FILE_INFORMATION written{};
    if (!GetFileInformationByHandle(m_file.get(), &written)) {
        return AttemptCause::LocalFile;
    }
    // Readers of the package must not meet our write access, so the file is
    // opened again for reading only, with the same sharing.
    m_file.reset();
    FileHandle held(CreateFileW(m_strLocalPath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    BY_HANDLE_FILE_INFORMATION reopened{};
    if (!held || !GetFileInformationByHandle(held.get(), &reopened) || !IsSameFile(written, reopened) ||
        (reopened.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        return AttemptCause::LocalFile;
    }
    if (!m_strSha256.empty() && !FileMatchesSha256(held.get(), m_strSha256)) {
        held.reset();
        DeleteFileW(m_strLocalPath.c_str());
        return AttemptCause::HashMismatch;
    }
    m_file = std::move(held);
    return AttemptCause::None;
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

bool CDownloadJob::TakeOverPart()
{
    const std::optional<PartRecord> record = ReadPartRecord(RecordPath());
    if (!record || record->m_strSha256 != Sha256RecordText(m_strSha256)) {
        return false;
    }
    FileHandle part(CreateFileW(m_strLocalPath.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!part || !IsPlainSingleFile(part.get()) || FileSize(part.get()) != record->m_nReceived) {
        return false;
    }
    m_file = std::move(part);
    m_part = FilePart{record->m_nReceived, record->m_nTotal, record->m_strValidator};
    LogEvent(L"Resuming \"" + m_strLocalPath + L"\" from byte " + DecimalText(m_part.m_nOffset) + L" of " +
             DecimalText(m_part.m_nTotal));
    return true;
}

bool CDownloadJob::UseEarlierFile()
{
    if (m_strSha256.empty() || TakeOverPart()) {
        return false;
    }
    FileHandle held;
    const FileCheck check = OpenVerifiedFile(m_strLocalPath, m_strSha256, held);
    DeleteFileW(RecordPath().c_str());
    if (check != FileCheck::Verified) {
        if (check != FileCheck::Missing) {
            DeleteFileW(m_strLocalPath.c_str());
        }
        return false;
    }
    m_file = std::move(held);
    m_bReused = true;
    m_nExpectedSize = static_cast<std::int64_t>(FileSize(m_file.get()));
    LogEvent(L"Reused \"" + m_strLocalPath + L"\": complete, its SHA-256 matches");
    DownloadStatusInfo whole;
    whole.m_nStatus = DownloadStatus::Downloading;
    whole.m_nBytesReceived = static_cast<std::uint64_t>(m_nExpectedSize);
    OnDownloadStatus(whole);
    whole.m_nStatus = DownloadStatus::Ended;
    OnDownloadStatus(whole);
    return true;
}

void CDownloadJob::RemoveFileAndRecord()
{
    m_file.reset();
    m_part = FilePart();
    DeleteFileW(m_strLocalPath.c_str());
    DeleteFileW(RecordPath().c_str());
}

void CDownloadJob::KeepPartOrRemove(AttemptCause cause)
{
    if (cause == AttemptCause::RangeMismatch) {
        RemoveFileAndRecord();
        return;
    }
    // Nothing arrived in this attempt: a part held stays as it was.
    if (!m_file || m_answer.m_nTotal == 0) {
        return;
    }
    const std::uint64_t nSize = FileSize(m_file.get());
    const bool bResumable =
        !m_strSha256.empty() && !m_answer.m_strValidator.empty() && nSize > 0 && nSize < m_answer.m_nTotal;
    if (!bResumable) {
        RemoveFileAndRecord();
        return;
    }
    m_part = FilePart{nSize, m_answer.m_nTotal, m_answer.m_strValidator};
    WritePartRecord(RecordPath(), FormatPartRecord(PartRecord{Sha256RecordText(m_strSha256), m_part.m_strValidator,
                                                              m_part.m_nOffset, m_part.m_nTotal}));
}

AttemptOutcome CDownloadJob::Attempt(const ICancelRequest& cancel)
{
    m_answer = FilePart();
    AttemptOutcome outcome = DownloadToFile(cancel, m_strUrl, m_part, *this, *this);
    if (!outcome.Succeeded()) {
        KeepPartOrRemove(outcome.m_cause);
        return outcome;
    }
    const bool bJoined = m_answer.m_nOffset > 0;
    outcome.m_cause = KeepDownloadedFile();
    if (outcome.m_cause == AttemptCause::HashMismatch && bJoined) {
        outcome.m_cause = AttemptCause::JoinedMismatch;
    }
    m_part = FilePart();
    DeleteFileW(RecordPath().c_str());
    return outcome;
}

bool CDownloadJob::Download(const ICancelRequest& cancel)
{
    if (UseEarlierFile()) {
        return true;
    }
    const TransferAttempts attempts(cancel, m_strUrl, m_nAttempts);
    return attempts.Run([this, &cancel](int, bool) { return Attempt(cancel); }).Succeeded();
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
        bResult = Download(cancel);
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
