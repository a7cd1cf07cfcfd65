// SPDX-License-Identifier: GPL-2.0-or-later
// The animation frame sources on arbitrary bytes: the first byte picks the format, the rest is
// the file; a few frames are decoded in order, then the source is rewound and read again.
// Canvases above 4 megapixels are left out, as they only slow the search down.
#include "core/Errors.h"
#include "formats/Animation.h"
#include "formats/FormatRegistry.h"

#include <QByteArray>
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool ready = (InitImageFormats(), true);
    (void)ready;
    if (size < 1) return 0;
    static const char* const kNames[] = {"a.gif", "a.webp", "a.avifs", "a.jxl"};
    const QString name = QString::fromLatin1(kNames[data[0] % 4]);
    try {
        std::unique_ptr<IFrameSource> source = OpenAnimation(
            name, QByteArray(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1)));
        if (!source) return 0;
        const QSize canvas = source->CanvasSize();
        if (int64_t(canvas.width()) * canvas.height() > (int64_t(1) << 22)) return 0;
        for (int round = 0; round < 2; ++round) {
            const int frames = std::min(source->FrameCount() + 1, 6);
            for (int i = 0; i < frames; ++i) {
                const TAnimationFrame f = source->NextFrame();
                volatile uint8_t sink = f.Picture.ScanLine(f.Picture.Height() - 1)[0];
                (void)sink;
            }
            source->Rewind();
        }
    } catch (const ETaveluneError&) {
    } catch (const std::bad_alloc&) {
    }
    return 0;
}
