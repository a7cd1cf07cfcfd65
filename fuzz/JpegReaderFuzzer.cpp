// SPDX-License-Identifier: GPL-2.0-or-later
// The JPEG reader on arbitrary bytes, through the dispatcher's read and copy steps.
#include "ImageReaderFuzzer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // An odd length takes the preview path with its reduced-scale decoding.
    return FuzzImageReader("a.jpg", data, size, size % 2 == 1);
}
