// Feeds arbitrary bytes to the Photoshop reader as the viewer reads a .psd file.
#include "core/Errors.h"
#include "formats/PsdCodec.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    try {
        QByteArray profile;
        TCmykSamples cmyk;
        const TBitmap picture = DecodePsd(TBytes(data, size), &profile, &cmyk);
        volatile int width = picture.Width();
        (void)width;
    } catch (const ETaveluneError&) {
    }
    return 0;
}
