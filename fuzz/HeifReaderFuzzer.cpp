// SPDX-License-Identifier: GPL-2.0-or-later
// The HEIF reader on arbitrary bytes, through the dispatcher's read and copy steps, in full and
// from its thumbnails.
#include "ImageReaderFuzzer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzImageReader("a.heic", data, size, false);
    return FuzzReducedReader("a.heic", data, size);
}
