#pragma once

// The HTTP client's decisions that need no network: which answers a size
// query accepts, how a Content-Length reads, when a batch of received chunks
// goes to the file, how much a stream may bring, and whether a file's hash
// is the one the manifest names.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace korvex::download {

inline constexpr std::size_t kFileReadSize = 4096;
inline constexpr std::size_t kFileBatchSize = 10 * kFileReadSize;
inline constexpr std::size_t kStreamReadSize = 16384;

// 200 to 402 and 405 to 500; 403, 404 and everything else are refused.
bool IsSizeQueryStatusAccepted(std::uint32_t nStatus);

// A decimal number from 0 to 2147483647, blanks around it allowed. Anything
// else (negative, signs, other characters, overflow, empty) yields 0, which
// callers treat like a missing header.
std::int64_t ParseContentLength(std::string_view text);

// The held bytes are written when another full read might not fit, or when a
// read came back short (the connection is slow, so the file should keep up).
bool IsBatchDue(std::size_t nHeld, std::size_t nLastRead);

// The most a stream download may bring: a server manifest is a few hundred
// bytes, a client a few megabytes; anything beyond is a hostile or broken
// server filling the disk.
inline constexpr std::uint64_t kServerManifestLimit = 1024 * 1024;
inline constexpr std::uint64_t kNewClientLimit = 1024 * 1024 * 1024;

using Sha256Digest = std::array<unsigned char, 32>;

// True when text is the 64 hexadecimal digits (either case) of digest.
bool IsSha256Text(std::wstring_view text, const Sha256Digest& digest);

}  // namespace korvex::download
