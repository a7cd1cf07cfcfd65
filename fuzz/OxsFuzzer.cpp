// SPDX-License-Identifier: GPL-2.0-or-later
// Feeds arbitrary bytes to the selection shape reader the way the dispatcher does; it must
// never throw for bad data.
#include "formats/Graphic.h"
#include "formats/ImageFiles.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TGraphic graphic(gcOxs);
    const TReadInput input{QStringLiteral("fuzz.oxs"), {data, size}, false};
    ReadGraphic(input, graphic);
    volatile int w = graphic.Picture.Width();
    (void)w;
    return 0;
}
