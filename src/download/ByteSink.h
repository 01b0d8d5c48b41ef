#pragma once

// Where a stream download's body goes, piece by piece as it arrives.

#include <cstddef>

class IByteSink {
public:
    // False when the bytes could not be kept; the download then fails.
    virtual bool Write(const char* data, std::size_t nSize) = 0;

protected:
    ~IByteSink() = default;
};
