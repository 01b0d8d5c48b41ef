// Throughput of a download job against a bare single-request WinINet loop
// (one GET read to its end), on one large file. Run by scripts/bench.d/download; writes its
// figures to a file because Wine's stdout is unreliable on a pipe.

#include <windows.h>
#include <psapi.h>
#include <wininet.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "base/WinHandles.h"
#include "download/DownloadJob.h"
#include "download/HttpClient.h"
#include "support/TestEvents.h"

namespace {

using Clock = std::chrono::steady_clock;

// Whole run, and first to last received byte.
struct Timing {
    double total = 0;
    double transfer = 0;
};

double Seconds(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration<double>(to - from).count();
}

// What the job's caller does per report: a percentage for the progress page.
volatile std::uint64_t g_percentSink = 0;

bool RunJob(const std::wstring& url, const std::wstring& path, Timing& timing, FILE* out)
{
    TestEventOwner owner;
    CDownloadJob job(url, path);
    DownloadStatusInfo ended;
    std::optional<Clock::time_point> firstByte;
    Clock::time_point lastByte;
    const auto start = Clock::now();
    const bool bResult = job.Run(&owner, [&](const DownloadStatusInfo& status) {
        if (status.m_nExpectedSize != 0) {
            g_percentSink = status.m_nBytesReceived * 100 / status.m_nExpectedSize;
        }
        if (status.m_nStatus != DownloadStatus::Downloading) {
            ended = status;
            lastByte = Clock::now();
        } else if (!firstByte && status.m_nBytesReceived > 0) {
            firstByte = Clock::now();
        }
    });
    timing.total = Seconds(start, Clock::now());
    timing.transfer = firstByte ? Seconds(*firstByte, lastByte) : timing.total;
    if (!bResult) {
        std::fprintf(out, "job failed: status %d, %llu of %llu bytes, error %u %ls\n", ended.m_nStatus,
                     static_cast<unsigned long long>(ended.m_nBytesReceived),
                     static_cast<unsigned long long>(ended.m_nExpectedSize), ended.m_nErrorCode,
                     ended.m_strErrorText.c_str());
    }
    return bResult;
}

InternetHandle SendRequest(HINTERNET hConnection, const wchar_t* verb, const wchar_t* object, DWORD nFlags,
                           const wchar_t** acceptTypes)
{
    InternetHandle request(HttpOpenRequestW(hConnection, verb, object, L"HTTP/1.1", nullptr, acceptTypes, nFlags, 0));
    if (request && !HttpSendRequestW(request.get(), nullptr, 0, nullptr, 0)) {
        request.reset();
    }
    return request;
}

// One GET with the job's flags, read to its end in 4096-byte reads, each
// written at once: the least any download must do.
bool RunReference(const std::wstring& url, const std::wstring& path, std::uint64_t nExpected, Timing& timing, FILE* out)
{
    const auto start = Clock::now();
    URL_COMPONENTSW parts{};
    parts.dwStructSize = sizeof parts;
    wchar_t host[256] = {};
    wchar_t object[2048] = {};
    parts.lpszHostName = host;
    parts.dwHostNameLength = 256;
    parts.lpszUrlPath = object;
    parts.dwUrlPathLength = 2048;
    if (!InternetCrackUrlW(url.c_str(), 0, 0, &parts)) {
        return false;
    }
    InternetHandle session(InternetOpenW(L"Reference", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    const auto connect = [&] {
        return InternetHandle(
            InternetConnectW(session.get(), host, parts.nPort, nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0));
    };
    const InternetHandle connection = connect();
    const wchar_t* accept[] = {L"*/*", nullptr};
    const InternetHandle request = SendRequest(connection.get(), L"GET", object, 0x84400200, accept);
    if (!request) {
        std::fprintf(out, "reference request failed: %lu\n", GetLastError());
        return false;
    }
    FileHandle file(
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    std::vector<char> chunk(4096);
    std::uint64_t nTotal = 0;
    std::optional<Clock::time_point> firstByte;
    for (;;) {
        DWORD nAvailable = 0;
        if (!InternetQueryDataAvailable(request.get(), &nAvailable, 0, 0) || nAvailable == 0) {
            break;
        }
        DWORD nRead = 0;
        if (!InternetReadFile(request.get(), chunk.data(), std::min<DWORD>(nAvailable, 4096), &nRead) || nRead == 0) {
            break;
        }
        if (!firstByte) {
            firstByte = Clock::now();
        }
        DWORD nWritten = 0;
        WriteFile(file.get(), chunk.data(), nRead, &nWritten, nullptr);
        nTotal += nRead;
    }
    const auto end = Clock::now();
    timing.total = Seconds(start, end);
    timing.transfer = firstByte ? Seconds(*firstByte, end) : timing.total;
    if (nTotal != nExpected) {
        std::fprintf(out, "reference got %llu bytes\n", static_cast<unsigned long long>(nTotal));
        return false;
    }
    return true;
}

SIZE_T WorkingSet(bool bPeak)
{
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return bPeak ? counters.PeakWorkingSetSize : counters.WorkingSetSize;
}

double MedianRate(double megabytes, const std::vector<Timing>& timings, double Timing::*part)
{
    std::vector<double> rates;
    for (const Timing& timing : timings) {
        rates.push_back(megabytes / (timing.*part));
    }
    std::sort(rates.begin(), rates.end());
    return rates[rates.size() / 2];
}

}  // namespace

// Arguments: URL, output folder, result file, size in bytes.
int wmain(int argc, wchar_t** argv)
{
    if (argc != 5) {
        return 2;
    }
    const std::wstring url = argv[1];
    const std::wstring folder = argv[2];
    const std::uint64_t nSize = _wcstoui64(argv[4], nullptr, 10);
    const double megabytes = nSize / 1e6;
    FILE* out = _wfopen(argv[3], L"wb");  // "\n" line ends for the script
    if (out == nullptr || !OpenInternetSession()) {
        return 3;
    }
    // Alternate the two so that drift in the machine's load hits both; the job
    // goes first so that the peak working set is its own.
    const SIZE_T nBefore = WorkingSet(false);
    std::vector<Timing> job(3);
    std::vector<Timing> reference(3);
    bool bOk = true;
    SIZE_T nPeakGrowth = 0;
    for (int i = 0; i < 3; ++i) {
        bOk = RunJob(url, folder + L"\\job.bin", job[i], out) && bOk;
        if (i == 0) {
            nPeakGrowth = WorkingSet(true) - nBefore;
        }
        bOk = RunReference(url, folder + L"\\reference.bin", nSize, reference[i], out) && bOk;
    }
    CloseInternetSession();
    for (int i = 0; i < 3; ++i) {
        std::fprintf(out, "run %d: job %.1f MB/s (transfer %.1f), reference %.1f MB/s (transfer %.1f)\n", i + 1,
                     megabytes / job[i].total, megabytes / job[i].transfer, megabytes / reference[i].total,
                     megabytes / reference[i].transfer);
    }
    std::fprintf(out, "job_mbps %.2f\nreference_mbps %.2f\n", MedianRate(megabytes, job, &Timing::total),
                 MedianRate(megabytes, reference, &Timing::total));
    std::fprintf(out, "job_seconds %.2f\nreference_seconds %.2f\n",
                 megabytes / MedianRate(megabytes, job, &Timing::total),
                 megabytes / MedianRate(megabytes, reference, &Timing::total));
    std::fprintf(out, "job_transfer_mbps %.2f\nreference_transfer_mbps %.2f\n",
                 MedianRate(megabytes, job, &Timing::transfer), MedianRate(megabytes, reference, &Timing::transfer));
    std::fprintf(out, "peak_growth_mb %.2f\nok %d\n", nPeakGrowth / 1048576.0, bOk ? 1 : 0);
    std::fclose(out);
    return bOk ? 0 : 1;
}
