#include "viewer/ZoomStretch.h"

#include <cstdint>
#include <cstring>
#include <vector>

namespace {

// Source index under the centre of destination index i when n source pixels cover m.
inline int CentreSample(int i, int n, int m) {
    return int(((2 * int64_t(i) + 1) * n) / (2 * int64_t(m)));
}

} // namespace

void StretchNearest24(const QImage& src, const QRect& from, QImage& dst, const QRect& to,
                      const TTriple* key) {
    const int dw = to.width(), dh = to.height();
    const int sw = from.width(), sh = from.height();
    if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0) return;

    std::vector<int> columnBytes(size_t(dw), 0); // byte offset in a source row, per column
    for (int i = 0; i < dw; ++i)
        columnBytes[size_t(i)] = 3 * (from.x() + CentreSample(i, sw, dw));
    const bool sameWidth = sw == dw;
    const size_t rowBytes = size_t(dw) * 3;

    int previousSy = -1;
    const uint8_t* previousRow = nullptr;
    for (int j = 0; j < dh; ++j) {
        const int sy = from.y() + CentreSample(j, sh, dh);
        uint8_t* d = dst.scanLine(to.y() + j) + 3 * to.x();
        if (!key && sy == previousSy) { // enlarged rows repeat the row above
            std::memcpy(d, previousRow, rowBytes);
            continue;
        }
        const uint8_t* s = src.constScanLine(sy);
        if (key) {
            for (int i = 0; i < dw; ++i, d += 3) {
                const uint8_t* p = s + columnBytes[size_t(i)];
                if (p[0] == key->b && p[1] == key->g && p[2] == key->r) continue;
                d[0] = p[0];
                d[1] = p[1];
                d[2] = p[2];
            }
            continue;
        }
        if (sameWidth) {
            std::memcpy(d, s + 3 * from.x(), rowBytes);
        } else {
            uint8_t* out = d;
            for (int i = 0; i < dw; ++i, out += 3) {
                const uint8_t* p = s + columnBytes[size_t(i)];
                out[0] = p[0];
                out[1] = p[1];
                out[2] = p[2];
            }
        }
        previousSy = sy;
        previousRow = d;
    }
}

void StretchSmooth24(const QImage& src, const QRect& from, QImage& dst, const QRect& to) {
    if (to.isEmpty() || from.isEmpty()) return;
    // A view of the source rectangle over the image's own rows: nothing outside it is touched.
    const QImage part(src.constScanLine(from.y()) + 3 * from.x(), from.width(), from.height(),
                      src.bytesPerLine(), QImage::Format_BGR888);
    QImage scaled = part.scaled(to.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    if (scaled.format() != QImage::Format_RGB32 && scaled.format() != QImage::Format_ARGB32)
        scaled = scaled.convertToFormat(QImage::Format_RGB32);
    if (scaled.size() != to.size()) return; // out of memory inside Qt
    for (int j = 0; j < to.height(); ++j) {
        const QRgb* s = reinterpret_cast<const QRgb*>(scaled.constScanLine(j));
        uint8_t* d = dst.scanLine(to.y() + j) + 3 * to.x();
        for (int i = 0; i < to.width(); ++i, d += 3) {
            d[0] = uint8_t(qBlue(s[i]));
            d[1] = uint8_t(qGreen(s[i]));
            d[2] = uint8_t(qRed(s[i]));
        }
    }
}
