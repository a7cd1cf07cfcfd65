// SPDX-License-Identifier: GPL-2.0-or-later
// The WebP reader on arbitrary bytes, through the dispatcher's read and copy steps. Pictures
// above 4 megapixels are left out: a few bytes may rightly ask for one of hundreds, whose
// decoding only slows the search down.
#include "ImageReaderFuzzer.h"

#include <cstring>

namespace {

// The canvas of an extended file or the size of a lossless one, as the header says.
uint64_t DeclaredPixels(const uint8_t* d, size_t size) {
    if (size >= 30 && std::memcmp(d + 12, "VP8X", 4) == 0) {
        const uint64_t w = 1 + (d[24] | d[25] << 8 | d[26] << 16);
        const uint64_t h = 1 + (d[27] | d[28] << 8 | d[29] << 16);
        return w * h;
    }
    if (size >= 25 && std::memcmp(d + 12, "VP8L", 4) == 0) {
        const uint32_t bits = d[21] | d[22] << 8 | d[23] << 16 | uint32_t(d[24]) << 24;
        return uint64_t(1 + (bits & 0x3FFF)) * (1 + ((bits >> 14) & 0x3FFF));
    }
    return 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (DeclaredPixels(data, size) > (uint64_t(1) << 22)) return 0;
    return FuzzImageReader("a.webp", data, size, false);
}
