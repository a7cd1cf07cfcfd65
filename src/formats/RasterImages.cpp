#include "formats/RasterImages.h"

#include "core/Bitmap.h"
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

TBitmap PictureFromArgb(QImage argb) {
    const int w = argb.width(), h = argb.height();
    bool opaque = true;
    for (int y = 0; y < h && opaque; ++y) {
        const auto* p = reinterpret_cast<const uint32_t*>(argb.constScanLine(y));
        uint32_t all = 0xFF000000u;
        for (int x = 0; x < w; ++x)
            all &= p[x];
        opaque = all == 0xFF000000u;
    }
    if (!opaque) {
        TBitmap picture(std::move(argb));
        picture.SetFoundBitDepth(32);
        return picture;
    }
    QImage out = NewCheckedImage(w, h, QImage::Format_BGR888);
    for (int y = 0; y < h; ++y) {
        const auto* s = reinterpret_cast<const uint32_t*>(argb.constScanLine(y));
        uint8_t* d = out.scanLine(y);
        for (int x = 0; x < w; ++x, d += 3) {
            d[0] = uint8_t(s[x]);
            d[1] = uint8_t(s[x] >> 8);
            d[2] = uint8_t(s[x] >> 16);
        }
    }
    TBitmap picture(std::move(out));
    picture.SetFoundBitDepth(24);
    return picture;
}
