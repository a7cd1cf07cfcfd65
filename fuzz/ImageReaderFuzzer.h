// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The shared body of the image reader fuzz targets: the bytes go through the reader the
// dispatcher picks for the file name, then through the copy into the caller's bitmap and the
// conversion to the working image, exactly as a load from a file would.
#include "core/Bitmap.h"
#include "core/Errors.h"
#include "formats/FormatRegistry.h"
#include "formats/Graphic.h"
#include "formats/ImageFiles.h"

#include <cstddef>
#include <cstdint>
#include <new>

inline int FuzzImageReader(const char* fileName, const uint8_t* data, size_t size, bool preview,
                           int reduction = 1) {
    static const bool ready = (InitImageFormats(), true);
    (void)ready;
    const QString name = QString::fromLatin1(fileName);
    TGraphic graphic(ReaderClassFor(name));
    try {
        TReadInput input{name, {data, size}, preview};
        input.Reduction = reduction;
        ReadGraphic(input, graphic);
        TBitmap bitmap;
        DeliverGraphic(graphic, bitmap);
        bitmap.To24Bit();
        // Reads every row once, so a picture handed over half made shows up under the sanitizers.
        unsigned sum = 0;
        for (int y = 0; y < bitmap.Height(); ++y)
            sum += bitmap.ScanLine(y)[bitmap.Width() * 3 - 1];
        volatile unsigned sink = sum;
        (void)sink;
    } catch (const ETaveluneError&) {
    } catch (const std::bad_alloc&) {
    }
    return 0;
}

// The reader's reduced decoding: the header probe, then a read at the reduction the input's
// size picks (2, 4 or 8), as a stand-in would be made.
inline int FuzzReducedReader(const char* fileName, const uint8_t* data, size_t size) {
    static const bool ready = (InitImageFormats(), true);
    (void)ready;
    const TGraphicClass& cls = ReaderClassFor(QString::fromLatin1(fileName));
    if (cls.ProbeReduction) {
        try {
            const TReducedDecoding probe = cls.ProbeReduction({data, size});
            volatile int sink = probe.Width + probe.Height + probe.Smallest;
            (void)sink;
        } catch (const ETaveluneError&) {
        } catch (const std::bad_alloc&) {
        }
    }
    return FuzzImageReader(fileName, data, size, false, 2 << (size % 3));
}
