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

inline int FuzzImageReader(const char* fileName, const uint8_t* data, size_t size, bool preview) {
    static const bool ready = (InitImageFormats(), true);
    (void)ready;
    const QString name = QString::fromLatin1(fileName);
    TGraphic graphic(ReaderClassFor(name));
    try {
        ReadGraphic(TReadInput{name, {data, size}, preview}, graphic);
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
