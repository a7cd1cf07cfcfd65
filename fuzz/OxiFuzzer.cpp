// SPDX-License-Identifier: GPL-2.0-or-later
// Feeds arbitrary bytes to the layered image reader the way the dispatcher does, for display
// and for the open dialog's preview.
#include "core/Errors.h"
#include "formats/Graphic.h"
#include "formats/ImageFiles.h"

#include <cstddef>
#include <cstdint>
#include <new>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    for (const bool preview : {false, true}) {
        TGraphic graphic(gcOxi);
        const TReadInput input{QStringLiteral("fuzz.oxi"), {data, size}, preview};
        try {
            ReadGraphic(input, graphic);
            volatile int64_t w = int64_t(graphic.Picture.Width()) + graphic.FileWidth;
            (void)w;
        } catch (const ETaveluneError&) {
        } catch (const std::bad_alloc&) {
        }
    }
    return 0;
}
