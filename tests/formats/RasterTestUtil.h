// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Helpers of the tests of the simple raster readers: files loaded through the dispatcher,
// pixels listed top row first, small byte builders, and sources for reference tools.

#include "FormatTestUtil.h"
#include "formats/FormatRegistry.h"
#include "formats/ImageFiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdint>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

using TByteVector = std::vector<uint8_t>;

// Every pixel of a picture in 24-bit form, top row first.
inline std::vector<TTriple> PixelList(TBitmap bmp) {
    bmp.To24Bit();
    std::vector<TTriple> out;
    for (int y = 0; y < bmp.Height(); ++y)
        for (int x = 0; x < bmp.Width(); ++x)
            out.push_back(PixelAt(bmp, x, y));
    return out;
}

// Alpha bytes of a 32-bit picture, top row first (empty for any other form).
inline TByteVector AlphaList(const TBitmap& bmp) {
    TByteVector out;
    if (bmp.PixelFormat() != TPixelFormat::pf32bit) return out;
    for (int y = 0; y < bmp.Height(); ++y)
        for (int x = 0; x < bmp.Width(); ++x)
            out.push_back(bmp.ScanLine(y)[4 * x + 3]);
    return out;
}

inline void PutBE16(TByteVector& b, size_t at, uint16_t v) {
    b[at] = uint8_t(v >> 8);
    b[at + 1] = uint8_t(v);
}
inline void PutBE32(TByteVector& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b[at + size_t(i)] = uint8_t(v >> (24 - 8 * i));
}
inline void PutLE16(TByteVector& b, size_t at, uint16_t v) {
    b[at] = uint8_t(v);
    b[at + 1] = uint8_t(v >> 8);
}
inline void PutLE32(TByteVector& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b[at + size_t(i)] = uint8_t(v >> (8 * i));
}
inline void Append(TByteVector& b, const TByteVector& more) {
    // Not insert(): GCC 12 at -O3 warns of a bound its inlined copy never crosses.
    const size_t at = b.size();
    b.resize(at + more.size());
    std::copy(more.begin(), more.end(), b.begin() + ptrdiff_t(at));
}

// Loads bytes saved under a name through LoadImageFile, in a scratch folder of its own.
struct TDispatchedLoad {
    int Result = 0;
    TBitmap Picture;
    QStringList Messages;
};
inline TDispatchedLoad LoadThroughDispatcher(const QString& name, const TByteVector& bytes,
                                             const QString& folder = {}) {
    InitImageFormats();
    QTemporaryDir scratch;
    const QString dir = folder.isEmpty() ? scratch.path() : folder;
    TScriptedSeam seam;
    QString path = QDir(dir).filePath(name);
    WriteBytes(path, bytes);
    TDispatchedLoad out;
    out.Picture = UniformImage(1, 1, Grey(3));
    out.Result = LoadImageFile(path, out.Picture);
    out.Messages = seam.Messages;
    return out;
}

// Expects every shorter copy of a good file to fail with the load message, except the lengths
// listed (where a shorter file is itself a valid file).
inline void ExpectTruncationsFail(const QString& name, const TByteVector& good,
                                  const std::vector<size_t>& validLengths = {}) {
    InitImageFormats();
    QTemporaryDir dir;
    TScriptedSeam seam;
    QString path = dir.filePath(name);
    for (size_t n = 0; n < good.size(); ++n) {
        if (std::find(validLengths.begin(), validLengths.end(), n) != validLengths.end()) continue;
        WriteBytes(path, TByteVector(good.begin(), good.begin() + std::ptrdiff_t(n)));
        seam.Messages.clear();
        TBitmap bmp = UniformImage(2, 2, Grey(5));
        EXPECT_EQ(LoadImageFile(path, bmp), -1) << name.toStdString() << " cut to " << n;
        EXPECT_EQ(seam.Messages.size(), 1) << n;
        EXPECT_EQ(bmp.Width(), 2) << n;
    }
}

// Pictures that reference tools turn into files of each kind.
enum TToolSource {
    tsColours,
    tsTwo,
    tsFour,
    tsSixteen,
    tsTwoHundred,
    tsGreys,
    tsBlackWhite,
    tsAlphaRamp
};

struct TToolSourceImage {
    TBitmap Colour;
    TByteVector Alpha; // empty when opaque
};

inline TToolSourceImage MakeToolSource(TToolSource kind, int w = 13, int h = 7) {
    std::mt19937 rng(unsigned(kind) * 7u + 5u);
    const int colours = kind == tsTwo          ? 2
                        : kind == tsFour       ? 4
                        : kind == tsSixteen    ? 16
                        : kind == tsTwoHundred ? 200
                                               : 0;
    std::vector<TTriple> palette;
    for (int i = 0; i < colours; ++i)
        palette.push_back(Rgb(uint8_t(rng()), uint8_t(rng()), uint8_t(rng())));
    TToolSourceImage s;
    s.Colour = MakeImage(w, h, [&](int x, int y) {
        if (colours > 0) return palette[size_t((x * 7 + y * 31 + x * y) % colours)];
        if (kind == tsGreys) return Grey(uint8_t(rng()));
        if (kind == tsBlackWhite) return (rng() & 1) ? Grey(255) : Grey(0);
        return Rgb(uint8_t(rng()), uint8_t(rng()), uint8_t(rng()));
    });
    if (kind == tsAlphaRamp)
        for (int i = 0; i < w * h; ++i)
            s.Alpha.push_back(uint8_t(i * 255 / (w * h - 1)));
    return s;
}

// Runs a reference tool on the source written as IN (a PPM, or a PAM with alpha); OUT stands
// for the output file, else the tool's standard output is the file. Empty on failure.
inline TByteVector MakeWithTool(const QString& tool, const QStringList& pattern,
                                const TToolSourceImage& src) {
    QTemporaryDir dir;
    const QString in = dir.filePath(src.Alpha.empty() ? "in.ppm" : "in.pam");
    WriteBytes(in, src.Alpha.empty() ? PpmOf(src.Colour) : PamOf(src.Colour, src.Alpha));
    const QString out = dir.filePath("out.bin");
    QStringList args;
    bool toStdout = true;
    for (QString a : pattern) {
        a.replace(QStringLiteral("IN"), in);
        if (a.contains(QStringLiteral("OUT"))) toStdout = false;
        a.replace(QStringLiteral("OUT"), out);
        args << a;
    }
    bool ok = false;
    const QByteArray printed = RunTool(tool, args, &ok);
    if (!ok) return {};
    if (toStdout) return TByteVector(printed.begin(), printed.end());
    return ReadBytes(out);
}

// Reads a file of the given ImageMagick format through ImageMagick, for cross-checks.
inline TBitmap ReadBytesWithImageMagick(const QString& format, const TByteVector& bytes,
                                        const QString& name = QStringLiteral("in")) {
    QTemporaryDir dir;
    const QString path = dir.filePath(name);
    WriteBytes(path, bytes);
    return ReadWithImageMagick(format + QLatin1Char(':') + path);
}
