// SPDX-License-Identifier: GPL-2.0-or-later
// Feeds arbitrary bytes to the Pcx reader the way a load does, then turns the picture into the
// viewer's 24-bit form.
#include "core/Errors.h"
#include "formats/PcxCodec.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    try {
        TBitmap picture = DecodePcx(TBytes(data, size));
        picture.To24Bit();
    } catch (const ETaveluneError&) {
        // Bad input is expected to end here.
    }
    return 0;
}
