// SPDX-License-Identifier: GPL-2.0-or-later
// Feeds arbitrary bytes to the Paint Shop Pro reader as the viewer reads a .psp file.
#include "core/Errors.h"
#include "formats/PspCodec.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    try {
        const TBitmap picture = DecodePsp(TBytes(data, size));
        volatile int width = picture.Width();
        (void)width;
    } catch (const ETaveluneError&) {
    }
    return 0;
}
