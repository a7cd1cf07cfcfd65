// SPDX-License-Identifier: GPL-2.0-or-later
// Feeds arbitrary bytes to the Photo-CD reader at each base resolution, as the viewer reads a
// .pcd file (the Base) and previews it (Base/16).
#include "core/Errors.h"
#include "formats/PcdCodec.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    for (const TPcdResolution r :
         {TPcdResolution::Base16, TPcdResolution::Base4, TPcdResolution::Base}) {
        try {
            const TBitmap picture = DecodePcd(TBytes(data, size), r);
            volatile int width = picture.Width();
            (void)width;
        } catch (const ETaveluneError&) {
        }
    }
    return 0;
}
