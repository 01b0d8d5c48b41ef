#include "install/ServerManifestFetch.h"

#include <windows.h>

#include <string>

#include "base/WinHandles.h"
#include "config/ProductConfiguration.h"
#include "download/FileByteSink.h"
#include "download/HttpClient.h"
#include "download/TransferAttempts.h"
#include "download/TransferRules.h"
#include "install/ServerManifest.h"

using namespace korvex::config;
using namespace korvex::download;
using namespace korvex::install;

namespace {

bool EmptyFile(HANDLE hFile)
{
    const LARGE_INTEGER start{};
    return SetFilePointerEx(hFile, start, nullptr, FILE_BEGIN) && SetEndOfFile(hFile);
}

// The whole file, read through the handle that wrote it.
bool ReadBack(HANDLE hFile, std::string& bytes)
{
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(hFile, &size) || static_cast<std::uint64_t>(size.QuadPart) > kServerManifestLimit) {
        return false;
    }
    bytes.resize(static_cast<std::size_t>(size.QuadPart));
    DWORD nRead = 0;
    const LARGE_INTEGER start{};
    return SetFilePointerEx(hFile, start, nullptr, FILE_BEGIN) &&
           (bytes.empty() || ReadFile(hFile, bytes.data(), static_cast<DWORD>(bytes.size()), &nRead, nullptr)) &&
           nRead == bytes.size();
}

AttemptOutcome FetchOnce(const ICancelRequest& cancel, const std::wstring& url, HANDLE hFile,
                         std::uint64_t nDeadlineTick, bool bLastAttempt)
{
    if (!EmptyFile(hFile)) {
        return AttemptOutcome{AttemptCause::LocalFile};
    }
    FileByteSink output(hFile);
    AttemptOutcome outcome =
        DownloadToStream(cancel, url, output, StreamLimits{kServerManifestLimit, nDeadlineTick, false});
    if (outcome.Succeeded() && IsTransientStatus(outcome.m_nHttpStatus) && !bLastAttempt) {
        outcome.m_cause = AttemptCause::RefusedStatus;
    }
    return outcome;
}

}  // namespace

bool FetchServerManifest(const ICancelRequest& cancel, const std::wstring& url, const std::wstring& path)
{
    DeleteFileW(path.c_str());
    const FileHandle file(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!file) {
        return false;
    }
    const std::uint64_t nDeadlineTick = GetTickCount64() + kServerManifestDeadlineMs;
    const TransferAttempts attempts(cancel, url, g_productConfiguration.m_manifest.m_nDownloadAttempts, nDeadlineTick);
    const AttemptOutcome outcome = attempts.Run(
        [&](int, bool bLastAttempt) { return FetchOnce(cancel, url, file.get(), nDeadlineTick, bLastAttempt); });
    std::string bytes;
    return outcome.Succeeded() && ReadBack(file.get(), bytes) && ParseServerManifest(bytes);
}
