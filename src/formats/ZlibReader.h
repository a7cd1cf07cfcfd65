// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The compressed-stream reader: inflates one zlib stream (RFC 1950) found inside a file, in
// pieces whose sizes the caller knows, never writing past the caller's buffers. It tells how
// many compressed bytes the stream took, so that the fields after it can be read, and reports
// its progress through the input to the shared progress hook.

#include "formats/ByteIO.h"

#include <cstddef>
#include <cstdint>
#include <memory>

class TZlibReader {
public:
    // input runs from the stream's first byte to the end of the file.
    explicit TZlibReader(TBytes input);
    ~TZlibReader();
    TZlibReader(const TZlibReader&) = delete;
    TZlibReader& operator=(const TZlibReader&) = delete;

    // Exactly n inflated bytes into out; throws when the stream is damaged or ends first.
    void Read(uint8_t* out, size_t n);
    // Checks that the stream ends right after what was read and returns the number of
    // compressed bytes it occupies; throws when it holds more data or is cut short.
    size_t Finish();

private:
    struct TState;
    std::unique_ptr<TState> m_state;
};

// The most bytes a deflate stream of n compressed bytes can inflate to (a match of 258 bytes
// costs at least two bits), so a picture larger than that cannot be in the file.
inline constexpr uint64_t MaxInflatedSize(uint64_t compressedBytes) {
    return compressedBytes * 1032 + 1024;
}
