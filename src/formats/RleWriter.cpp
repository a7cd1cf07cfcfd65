// SPDX-License-Identifier: GPL-2.0-or-later
#include "formats/RleWriter.h"

#include "core/Errors.h"
#include "core/Quantize.h"
#include "formats/BmpCodec.h"
#include "formats/Graphic.h"

namespace {

// Length of the run of equal bytes starting at i (at most 255).
int RunAt(const uint8_t* row, int i, int width) {
    int n = 1;
    while (i + n < width && n < 255 && row[i + n] == row[i])
        ++n;
    return n;
}

void EncodeRow(TByteWriter& out, const uint8_t* row, int width) {
    int i = 0;
    while (i < width) {
        const int run = RunAt(row, i, width);
        if (run >= 3) {
            out.U8(uint8_t(run));
            out.U8(row[i]);
            i += run;
            continue;
        }
        // Literal bytes up to the next run of three or more.
        int n = 0;
        while (i + n < width && n < 255 && RunAt(row, i + n, width) < 3)
            ++n;
        if (n < 3) { // absolute mode needs three bytes at least: short runs instead
            for (int k = 0; k < n;) {
                const int r = RunAt(row, i + k, width);
                const int take = std::min(r, n - k);
                out.U8(uint8_t(take));
                out.U8(row[i + k]);
                k += take;
            }
        } else {
            out.U8(0);
            out.U8(uint8_t(n));
            out.Append(row + i, size_t(n));
            if (n % 2) out.U8(0); // runs end on a 16-bit boundary
        }
        i += n;
    }
}

std::vector<uint8_t> WriteRle(const TGraphic& graphic) {
    return EncodeRle8Bitmap(graphic.Picture);
}

} // namespace

const TGraphicClass gcRleBitmap{"TRleBitmap", nullptr, WriteRle};

std::vector<uint8_t> EncodeRle8(const uint8_t* indices, int width, int height) {
    TByteWriter out;
    for (int y = height - 1; y >= 0; --y) {
        EncodeRow(out, indices + size_t(y) * size_t(width), width);
        out.U8(0);
        out.U8(y == 0 ? 1 : 0); // end of bitmap after the top row, end of line before
    }
    return out.Take();
}

std::vector<uint8_t> EncodeRle8Bitmap(const TBitmap& picture) {
    if (picture.Empty()) throw ETaveluneError("RLE: empty picture");
    TBitmap copy = picture;
    copy.SetTransparent(false);
    copy.To24Bit();
    const TIndexedImage indexed = QuantizeImage(copy, 256);
    const std::vector<uint8_t> data =
        EncodeRle8(indexed.Indices.data(), indexed.Width, indexed.Height);
    const uint32_t colours = uint32_t(indexed.Palette.size());
    if (data.size() > 0xFFFFFFFFu - 54 - 4 * colours) throw ETaveluneError("RLE: too large");

    TByteWriter out;
    WriteBmpHeaders(out, indexed.Width, indexed.Height, 8, biRle8, colours, uint32_t(data.size()));
    for (const TTriple& t : indexed.Palette) {
        out.U8(t.b);
        out.U8(t.g);
        out.U8(t.r);
        out.U8(0);
    }
    out.Append(data);
    return out.Take();
}
