#pragma once
// Small pieces shared by the readers of the simple raster formats: a picture allocated only
// after its size has been checked, grey and 6-bit palettes, and sample scaling.

#include <QImage>
#include <QVector>
#include <cstdint>

// A w x h picture of that format; throws ETaveluneError for sizes beyond the program's cap and
// std::bad_alloc when memory runs out.
QImage NewCheckedImage(int width, int height, QImage::Format format);

// count grey levels spread evenly from black to white (count >= 2), or the single black.
QVector<QRgb> GreyRamp(int count);

// A 16-bit sample to 8 bits, rounded to the nearest.
inline uint8_t Sample16To8(uint32_t v) {
    return uint8_t((v * 255u + 32767u) / 65535u);
}

// A 6-bit VGA DAC value (0..63) to 8 bits, rounded to the nearest.
inline uint8_t Sample6To8(uint32_t v) {
    return uint8_t((v * 255u + 31u) / 63u);
}

class TBitmap;

// A decoded picture with alpha (QImage::Format_ARGB32, not premultiplied) as a reader hands it
// over: kept as a 32-bit picture when some pixel is not opaque, otherwise its 24-bit copy.
// FoundBitDepth is 32 or 24 accordingly.
TBitmap PictureFromArgb(QImage argb);
