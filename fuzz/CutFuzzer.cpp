// SPDX-License-Identifier: GPL-2.0-or-later
// Feeds arbitrary bytes to the Dr. Halo reader: the first two bytes give the length of a
// palette file taken from the bytes that follow, the rest is the picture.
#include "core/Errors.h"
#include "formats/CutCodec.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const TBytes rest(data + 2, size - 2);
    const size_t paletteSize = std::min<size_t>(size_t(data[0] | data[1] << 8), rest.size());
    try {
        TBitmap picture = DecodeCut(rest.subspan(paletteSize), rest.first(paletteSize));
        picture.To24Bit();
    } catch (const ETaveluneError&) {
        // Bad input is expected to end here.
    }
    return 0;
}
