// SPDX-License-Identifier: GPL-2.0-or-later
#include "formats/PcdCodec.h"

#include "core/Errors.h"
#include "core/FlipRotate.h"
#include "formats/Graphic.h"

#include <QImage>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <new>

namespace {

[[noreturn]] void Fail(const char* what) {
    throw ETaveluneError(std::string("Photo-CD: ") + what);
}

constexpr size_t kSignatureAt = 0x800;
constexpr char kSignature[] = "PCD_IPI";
constexpr size_t kOrientationAt = 0xE02;

struct TBaseImage {
    int Width, Height;
    size_t Offset; // each starts on a 2048-byte sector of the pack
};

constexpr TBaseImage kBases[] = {
    {192, 128, 0x2000},
    {384, 256, 0xB800},
    {768, 512, 0x30000},
};

// PhotoYCC to RGB for display on primaries close to those of ITU-R BT.709 (Kodak's published
// conversion); the results reach 346 and are clamped:
//   L  = 1.3584 * Y
//   C1 = 2.2179 * (Cb - 156)
//   C2 = 1.8215 * (Cr - 137)
//   R = L + C2,  G = L - 0.194 * C1 - 0.509 * C2,  B = L + C1
// each rounded to the nearest integer (ties to even) and clamped to 0..255.
struct TYccTables {
    std::array<double, 256> L, C1, C2;
    TYccTables() {
        for (int v = 0; v < 256; ++v) {
            L[size_t(v)] = 1.3584 * v;
            C1[size_t(v)] = 2.2179 * (v - 156);
            C2[size_t(v)] = 1.8215 * (v - 137);
        }
    }
};

uint8_t Clamped(double v) {
    return uint8_t(std::clamp(std::nearbyint(v), 0.0, 255.0));
}

// Rows come in pairs: two rows of luma, then one row each of the two chroma components at
// half the width, every chroma sample covering 2 x 2 pixels.
void DecodeRowPair(const uint8_t* pair, int width, const TYccTables& t, uint8_t* top,
                   uint8_t* bottom) {
    const uint8_t* c1 = pair + 2 * size_t(width);
    const uint8_t* c2 = c1 + size_t(width) / 2;
    for (int row = 0; row < 2; ++row) {
        const uint8_t* luma = pair + size_t(row) * size_t(width);
        uint8_t* d = row == 0 ? top : bottom;
        for (int x = 0; x < width; ++x, d += 3) {
            const double l = t.L[luma[x]];
            const double b = t.C1[c1[x / 2]];
            const double r = t.C2[c2[x / 2]];
            d[0] = Clamped(l + b);
            d[1] = Clamped(l - 0.194 * b - 0.509 * r);
            d[2] = Clamped(l + r);
        }
    }
}

void ReadPcd(const TReadInput& input, TGraphic& graphic) {
    // A preview takes Base/16, a quarter of the Base's sides, near the open dialog's pane.
    const bool small = input.Preview;
    graphic.Picture = DecodePcd(input.Bytes, small ? TPcdResolution::Base16 : TPcdResolution::Base);
    const int scale = small ? 4 : 1;
    graphic.FileWidth = graphic.Picture.Width() * scale;
    graphic.FileHeight = graphic.Picture.Height() * scale;
}

} // namespace

const TGraphicClass gcPhotoCd{"TPcdGraphic", ReadPcd};

TBitmap DecodePcd(TBytes data, TPcdResolution resolution) {
    TByteReader in(data, "Photo-CD");
    in.Seek(kSignatureAt);
    const TBytes signature = in.Take(sizeof kSignature - 1);
    if (std::memcmp(signature.data(), kSignature, signature.size()) != 0) Fail("not an image pack");
    in.Seek(kOrientationAt);
    const int turns = in.U8() & 3; // quarter turns counter-clockwise that set it upright

    const TBaseImage& base = kBases[size_t(resolution)];
    const size_t pairBytes = size_t(base.Width) * 3;
    in.Seek(base.Offset);
    const TBytes pixels = in.Take(pairBytes * size_t(base.Height / 2));

    QImage image(base.Width, base.Height, QImage::Format_BGR888);
    if (image.isNull()) throw std::bad_alloc();
    static const TYccTables tables;
    for (int y = 0; y < base.Height; y += 2)
        DecodeRowPair(pixels.data() + size_t(y / 2) * pairBytes, base.Width, tables,
                      image.scanLine(y), image.scanLine(y + 1));

    TBitmap picture(std::move(image));
    if (turns == 1) Rotate90(picture, false);
    if (turns == 2) Rotate180(picture);
    if (turns == 3) Rotate90(picture, true);
    picture.SetFoundBitDepth(24);
    return picture;
}
