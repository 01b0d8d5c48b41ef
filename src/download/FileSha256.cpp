#include "download/FileSha256.h"

#include <bcrypt.h>

#include <vector>

#include "download/TransferRules.h"
#include "base/WinHandles.h"

using namespace korvex::download;

namespace {

struct AlgorithmTraits {
    using Handle = BCRYPT_ALG_HANDLE;
    static Handle Invalid() noexcept { return nullptr; }
    static void Close(Handle handle) noexcept { BCryptCloseAlgorithmProvider(handle, 0); }
};

struct HashTraits {
    using Handle = BCRYPT_HASH_HANDLE;
    static Handle Invalid() noexcept { return nullptr; }
    static void Close(Handle handle) noexcept { BCryptDestroyHash(handle); }
};

constexpr DWORD kHashReadSize = 256 * 1024;

}  // namespace

bool FileMatchesSha256(HANDLE hFile, std::wstring_view expectedHex)
{
    BCRYPT_ALG_HANDLE hAlgorithm = nullptr;
    if (!BCRYPT_SUCCESS(BCryptOpenAlgorithmProvider(&hAlgorithm, BCRYPT_SHA256_ALGORITHM, nullptr, 0))) {
        return false;
    }
    const UniqueHandle<AlgorithmTraits> algorithm(hAlgorithm);
    BCRYPT_HASH_HANDLE hHash = nullptr;
    if (!BCRYPT_SUCCESS(BCryptCreateHash(algorithm.get(), &hHash, nullptr, 0, nullptr, 0, 0))) {
        return false;
    }
    const UniqueHandle<HashTraits> hash(hHash);

    LARGE_INTEGER start{};
    if (!SetFilePointerEx(hFile, start, nullptr, FILE_BEGIN)) {
        return false;
    }
    std::vector<unsigned char> buffer(kHashReadSize);
    for (;;) {
        DWORD nRead = 0;
        if (!ReadFile(hFile, buffer.data(), kHashReadSize, &nRead, nullptr)) {
            return false;
        }
        if (nRead == 0) {
            break;
        }
        if (!BCRYPT_SUCCESS(BCryptHashData(hash.get(), buffer.data(), nRead, 0))) {
            return false;
        }
    }
    Sha256Digest digest{};
    if (!BCRYPT_SUCCESS(BCryptFinishHash(hash.get(), digest.data(), static_cast<ULONG>(digest.size()), 0))) {
        return false;
    }
    return IsSha256Text(expectedHex, digest);
}
