// A download that survives dropped connections by resuming: one clean
// transfer of a file with a download job, then the same file from a path
// whose connection drops every 16 MB, fetched by a job with 8 attempts and
// the file's SHA-256. Run by scripts/bench.d/resume, which counts the bytes
// the server sent; writes its figures to a file because Wine's stdout is
// unreliable on a pipe.

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "download/DownloadJob.h"
#include "download/HttpClient.h"
#include "support/TestEvents.h"

namespace {

bool RunJob(const std::wstring& url, const std::wstring& path, const std::wstring& sha256, int nAttempts,
            double& seconds)
{
    DeleteFileW(path.c_str());
    DeleteFileW((path + L".resume").c_str());
    TestEventOwner owner;
    CDownloadJob job(url, path, sha256, nAttempts);
    const auto start = std::chrono::steady_clock::now();
    const bool bResult = job.Run(&owner, DownloadStatusFunction());
    seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return bResult;
}

}  // namespace

// Arguments: clean URL, dropping URL, output folder, result file, SHA-256.
int wmain(int argc, wchar_t** argv)
{
    if (argc != 6) {
        return 2;
    }
    FILE* out = _wfopen(argv[4], L"wb");  // "\n" line ends for the script
    if (out == nullptr || !OpenInternetSession()) {
        return 3;
    }
    const std::wstring folder = argv[3];
    double clean = 0;
    double resumed = 0;
    const bool bClean = RunJob(argv[1], folder + L"\\clean.bin", argv[5], 1, clean);
    const bool bResumed = RunJob(argv[2], folder + L"\\resumed.bin", argv[5], 8, resumed);
    CloseInternetSession();
    std::fprintf(out, "clean_seconds %.2f\nresumed_seconds %.2f\nok %d\n", clean, resumed, bClean && bResumed ? 1 : 0);
    std::fclose(out);
    return bClean && bResumed ? 0 : 1;
}
