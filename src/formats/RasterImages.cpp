// SPDX-License-Identifier: GPL-2.0-or-later
#include "formats/RasterImages.h"

#include "core/Errors.h"

#include <new>

QImage NewCheckedImage(int width, int height, QImage::Format format) {
    if (width <= 0 || height <= 0) throw ETaveluneError("empty image");
    CheckImageSize(width, height);
    QImage image(width, height, format);
    if (image.isNull()) throw std::bad_alloc();
    return image;
}

QVector<QRgb> GreyRamp(int count) {
    QVector<QRgb> table(count > 0 ? count : 1, qRgb(0, 0, 0));
    for (int i = 0; i < count && count > 1; ++i) {
        const int v = (i * 255 + (count - 1) / 2) / (count - 1);
        table[i] = qRgb(v, v, v);
    }
    return table;
}
