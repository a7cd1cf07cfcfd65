// SPDX-License-Identifier: GPL-2.0-or-later
#include "formats/CutCodec.h"

#include "core/Errors.h"
#include "formats/Graphic.h"
#include "formats/RasterImages.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cstring>

namespace {

[[noreturn]] void Fail(const char* what) {
    throw ETaveluneError(std::string("Dr. Halo: ") + what);
}

constexpr size_t kPaletteHeader = 40;
constexpr size_t kPaletteBlock = 512; // entries never straddle two blocks
constexpr size_t kEntryBytes = 6;     // red, green, blue as 16-bit values
// A palette of 256 entries takes four blocks; anything larger is not a palette file.
constexpr qint64 kLargestPalette = 4096;

// Packets of one line: a count byte n (low 7 bits) with the high bit set repeats the next byte
// n times, without it copies the next n bytes; a count of 0 ends the line.
void ExpandLine(TBytes record, uint8_t* out, size_t width) {
    size_t at = 0, x = 0;
    while (at < record.size()) {
        const uint8_t head = record[at++];
        const size_t n = head & 0x7F;
        if (n == 0) break;
        if (head & 0x80) {
            if (at >= record.size()) Fail("line overrun");
            const size_t k = std::min(n, width - x);
            std::memset(out + x, record[at++], k);
            x += k;
        } else {
            if (n > record.size() - at) Fail("line overrun");
            const size_t k = std::min(n, width - x);
            std::memcpy(out + x, record.data() + at, k);
            at += n;
            x += k;
        }
    }
    if (x < width) Fail("short line");
}

QVector<QRgb> GreyLevels(const QImage& image) {
    int highest = 1;
    for (int y = 0; y < image.height(); ++y) {
        const uint8_t* line = image.constScanLine(y);
        highest = std::max<int>(highest, *std::max_element(line, line + image.width()));
    }
    QVector<QRgb> table = GreyRamp(highest + 1);
    table.resize(256, qRgb(0, 0, 0));
    return table;
}

void ReadCut(const TReadInput& input, TGraphic& graphic) {
    QByteArray palette;
    const QString paletteName =
        input.FileName.isEmpty() ? QString() : CutPaletteName(input.FileName);
    if (!paletteName.isEmpty()) {
        QFile file(paletteName);
        if (file.open(QIODevice::ReadOnly)) palette = file.read(kLargestPalette + 1);
    }
    graphic.Picture = DecodeCut(input.Bytes, {reinterpret_cast<const uint8_t*>(palette.constData()),
                                              size_t(palette.size())});
}

} // namespace

const TGraphicClass gcDrHalo{"TCutGraphic", ReadCut};

std::optional<QVector<QRgb>> DecodeHaloPalette(TBytes data) {
    if (data.size() < kPaletteHeader || data.size() > size_t(kLargestPalette)) return {};
    TByteReader in(data, "Dr. Halo palette");
    if (in.U8() != 'A' || in.U8() != 'H') return {};
    in.Seek(12);
    const uint16_t maxIndex = in.LE16();
    const uint16_t maxima[3] = {in.LE16(), in.LE16(), in.LE16()};
    if (maxima[0] == 0 || maxima[1] == 0 || maxima[2] == 0) return {};
    const size_t count = std::min<size_t>(size_t(maxIndex) + 1, 256);
    QVector<QRgb> table(256, qRgb(0, 0, 0));
    size_t at = kPaletteHeader;
    for (size_t i = 0; i < count; ++i) {
        if (kPaletteBlock - at % kPaletteBlock < kEntryBytes)
            at += kPaletteBlock - at % kPaletteBlock;
        if (at + kEntryBytes > data.size()) return {};
        in.Seek(at);
        int rgb[3];
        for (int k = 0; k < 3; ++k) {
            const uint32_t v = std::min<uint32_t>(in.LE16(), maxima[k]);
            rgb[k] = int((v * 255 + maxima[k] / 2) / maxima[k]);
        }
        table[int(i)] = qRgb(rgb[0], rgb[1], rgb[2]);
        at += kEntryBytes;
    }
    return table;
}

QString CutPaletteName(const QString& cutName) {
    const QFileInfo cut(cutName);
    const bool upper = cut.suffix() == cut.suffix().toUpper() && !cut.suffix().isEmpty();
    const QStringList suffixes = upper ? QStringList{QStringLiteral("PAL"), QStringLiteral("pal")}
                                       : QStringList{QStringLiteral("pal"), QStringLiteral("PAL")};
    for (const QString& suffix : suffixes) {
        const QString name = cut.dir().filePath(cut.completeBaseName() + QLatin1Char('.') + suffix);
        if (QFileInfo(name).isFile()) return name;
    }
    return {};
}

TBitmap DecodeCut(TBytes data, TBytes palette) {
    TByteReader in(data, "Dr. Halo");
    const uint16_t width = in.LE16(), height = in.LE16();
    in.Skip(2); // reserved
    if (width == 0 || height == 0) Fail("empty image");
    CheckImageSize(width, height);
    // Each line needs its length and packets of two bytes giving at most 127 pixels.
    const uint64_t leastLine = 2 + (uint64_t(width) + 126) / 127 * 2;
    if (leastLine * height > in.Left()) Fail("truncated");

    QImage image = NewCheckedImage(width, height, QImage::Format_Indexed8);
    for (int y = 0; y < height; ++y) {
        const uint16_t length = in.LE16();
        ExpandLine(in.Take(length), image.scanLine(y), width);
    }
    const std::optional<QVector<QRgb>> colours = DecodeHaloPalette(palette);
    image.setColorTable(colours ? *colours : GreyLevels(image));
    TBitmap picture(std::move(image));
    picture.SetFoundBitDepth(8);
    return picture;
}
