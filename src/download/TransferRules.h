#pragma once

// The HTTP client's decisions that need no network: which answers carry a
// file, how a Content-Length reads, when a batch of received chunks goes to
// the file, how much and how long a stream may bring, and whether a file's
// hash is the one the manifest names.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace korvex::download {

inline constexpr std::size_t kFileReadSize = 4096;
inline constexpr std::size_t kFileBatchSize = 10 * kFileReadSize;
inline constexpr std::size_t kStreamReadSize = 16384;

// A final 2xx status (redirects are followed before it is known): only such
// an answer's body is a file.
bool IsSuccessStatus(std::uint32_t nStatus);

inline constexpr std::int64_t kUnusableLength = -1;

// A decimal number from 0 to 2147483647, blanks around it allowed. Anything
// else (negative, signs, other characters, overflow, empty) is
// kUnusableLength: the body's end cannot be known from it.
std::int64_t ParseContentLength(std::string_view text);

// The held bytes are written when another full read might not fit, or when a
// read came back short (the connection is slow, so the file should keep up).
bool IsBatchDue(std::size_t nHeld, std::size_t nLastRead);

// The most a stream download may bring, and how long it may take in all:
// a server manifest is a few hundred bytes, a client a few megabytes;
// anything beyond is a hostile or broken server filling the disk or holding
// the run.
inline constexpr std::uint64_t kServerManifestLimit = 1024 * 1024;
inline constexpr std::uint64_t kNewClientLimit = 1024 * 1024 * 1024;
inline constexpr std::uint32_t kServerManifestDeadlineMs = 120 * 1000;
inline constexpr std::uint32_t kNewClientDeadlineMs = 30 * 60 * 1000;

using Sha256Digest = std::array<unsigned char, 32>;

// True when text is the 64 hexadecimal digits (either case) of digest.
bool IsSha256Text(std::wstring_view text, const Sha256Digest& digest);

}  // namespace korvex::download
