#pragma once
// Reference files of today's formats for the tests: written at test time by the formats' own
// tools (cwebp, img2webp, avifenc, heif-enc, cjxl) from pictures made in code, and read back
// by their reference decoders (dwebp, avifdec, heif-convert, djxl).

#include "FormatTestUtil.h"
#include "formats/PngUtils.h"

#include <QDir>
#include <QTemporaryDir>

// A picture with alpha per pixel, or opaque when Alpha is empty.
struct TAlphaPicture {
    TBitmap Colour;
    std::vector<uint8_t> Alpha;
};

inline TAlphaPicture OpaqueSource(int w, int h, uint32_t seed) {
    const TBitmap noise = RandomImage(w, h, seed);
    // Smooth enough for lossy codecs, with noise in the low bits for the lossless ones.
    return {MakeImage(w, h,
                      [&](int x, int y) {
                          const TTriple n = PixelAt(noise, x, y);
                          return Rgb(uint8_t(x * 255 / w ^ (n.r & 7)),
                                     uint8_t(y * 255 / h ^ (n.g & 7)),
                                     uint8_t((x + y) * 127 / (w + h) ^ (n.b & 7)));
                      }),
            {}};
}

inline TAlphaPicture AlphaSource(int w, int h, uint32_t seed) {
    TAlphaPicture p = OpaqueSource(w, h, seed);
    for (int i = 0; i < w * h; ++i)
        p.Alpha.push_back(uint8_t(i % w < w / 4 ? 0 : i % w < w / 2 ? (i * 7) % 256 : 255));
    return p;
}

// The picture as the program's 32-bit form (24-bit when opaque).
inline TBitmap AsPicture(const TAlphaPicture& p) {
    if (p.Alpha.empty()) return p.Colour;
    QImage argb(p.Colour.Width(), p.Colour.Height(), QImage::Format_ARGB32);
    for (int y = 0; y < argb.height(); ++y)
        for (int x = 0; x < argb.width(); ++x) {
            const TTriple t = PixelAt(p.Colour, x, y);
            argb.setPixel(x, y, qRgba(t.r, t.g, t.b, p.Alpha[size_t(y * argb.width() + x)]));
        }
    return TBitmap(argb);
}

// A PNG of the picture (8 bits, or 16 bits per sample through ImageMagick); empty path on failure.
inline QString WritePng(const QDir& dir, const QString& name, const TAlphaPicture& p,
                        bool sixteen = false) {
    const QString path = dir.filePath(name);
    if (p.Alpha.empty() && !sixteen) {
        const std::vector<uint8_t> png = EncodePng(p.Colour);
        WriteBytes(path, png);
        return path;
    }
    const QString pam = dir.filePath(name + QStringLiteral(".pam"));
    WriteBytes(pam, p.Alpha.empty() ? PpmOf(p.Colour) : PamOf(p.Colour, p.Alpha));
    const char* kind =
        p.Alpha.empty() ? (sixteen ? "PNG48:" : "PNG24:") : (sixteen ? "PNG64:" : "PNG32:");
    bool ok = false;
    RunTool(QStringLiteral("convert"),
            {pam, QStringLiteral("-depth"), sixteen ? QStringLiteral("16") : QStringLiteral("8"),
             QLatin1String(kind) + path},
            &ok);
    return ok ? path : QString();
}

// The largest difference of any channel, alpha included; colour under alpha 0 is not compared
// (writers keep or drop it as they like). 999 when the sizes differ.
inline int MaxArgbDifference(TBitmap a, TBitmap b) {
    if (a.Width() != b.Width() || a.Height() != b.Height()) return 999;
    a.SetPixelFormat(TPixelFormat::pf32bit);
    b.SetPixelFormat(TPixelFormat::pf32bit);
    int worst = 0;
    for (int y = 0; y < a.Height(); ++y) {
        const uint8_t* p = a.ScanLine(y);
        const uint8_t* q = b.ScanLine(y);
        for (int x = 0; x < a.Width(); ++x, p += 4, q += 4) {
            worst = std::max(worst, std::abs(p[3] - q[3]));
            if (p[3] == 0 && q[3] == 0) continue;
            for (int c = 0; c < 3; ++c)
                worst = std::max(worst, std::abs(p[c] - q[c]));
        }
    }
    return worst;
}

// A PNG written by a reference decoder, read back (alpha kept).
inline TBitmap ReadPngFile(const QString& path) {
    const std::vector<uint8_t> bytes = ReadBytes(path);
    if (bytes.empty()) return {};
    try {
        return DecodePng(bytes);
    } catch (...) {
        return {};
    }
}

#define REQUIRE_MODERN_TOOLS()                                                                     \
    do {                                                                                           \
        for (const char* tool : {"cwebp", "img2webp", "dwebp", "webpmux", "avifenc", "avifdec",    \
                                 "heif-enc", "heif-convert", "cjxl", "djxl", "convert"})           \
            REQUIRE_TOOL(tool);                                                                    \
    } while (0)
