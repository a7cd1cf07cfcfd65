// SPDX-License-Identifier: GPL-2.0-or-later
// Greyed and shadowed glyph sets for the tool bar, derived from its normal glyphs.
#include "core/Glyphs.h"

#include "core/ChannelTables.h"
#include "core/ColorAdjust.h"
#include "core/Masks.h"
#include "core/ReadAs24.h"

#include <algorithm>
#include <cstdlib>
#include <exception>
#include <new>

namespace {

TChannelTable ToneTable(int k, int pct) {
    TChannelTable t{};
    for (int i = 0; i < 256; ++i)
        t[size_t(i)] = uint8_t(std::clamp(i + (pct * (k - i)) / 100, 0, 255));
    return t;
}

// The visible part of a glyph placed at (x, y) on an image of w x h, in glyph coordinates.
struct TGlyphSpan {
    int left, top, right, bottom;
};

TGlyphSpan VisiblePart(const TBitmap& glyph, int w, int h, int x, int y) {
    const int64_t left = std::max<int64_t>(0, -int64_t(x));
    const int64_t top = std::max<int64_t>(0, -int64_t(y));
    const int64_t right = std::min<int64_t>(glyph.Width(), int64_t(w) - x);
    const int64_t bottom = std::min<int64_t>(glyph.Height(), int64_t(h) - y);
    return TGlyphSpan{int(left), int(top), int(std::max(left, right)), int(std::max(top, bottom))};
}

// Alpha-blends a glyph that carries an alpha channel.
void DrawWithAlpha(const TBitmap& glyph, TBitmap& image, int x, int y) {
    const QImage argb = glyph.Image().convertToFormat(QImage::Format_ARGB32);
    if (argb.isNull()) throw std::bad_alloc();
    const TGlyphSpan s = VisiblePart(glyph, image.Width(), image.Height(), x, y);
    for (int gy = s.top; gy < s.bottom; ++gy) {
        const QRgb* src = reinterpret_cast<const QRgb*>(argb.constScanLine(gy));
        uint8_t* p = image.ScanLine(y + gy) + ptrdiff_t(x + s.left) * 3;
        for (int gx = s.left; gx < s.right; ++gx, p += 3) {
            const int a = qAlpha(src[gx]);
            const int c[3] = {qBlue(src[gx]), qGreen(src[gx]), qRed(src[gx])};
            for (int k = 0; k < 3; ++k)
                p[k] = uint8_t(p[k] + ((c[k] - p[k]) * a) / 255);
        }
    }
}

// Copies every pixel that is not the glyph's transparent colour.
void DrawKeyed(const TBitmap& glyph, TBitmap& image, int x, int y) {
    TBitmap converted;
    const TBitmap& g = ReadAs24(glyph, converted);
    const TTriple key = ColorToTriple(glyph.TransparentColor());
    const TGlyphSpan s = VisiblePart(g, image.Width(), image.Height(), x, y);
    for (int gy = s.top; gy < s.bottom; ++gy) {
        const uint8_t* src = g.ScanLine(gy) + ptrdiff_t(s.left) * 3;
        uint8_t* p = image.ScanLine(y + gy) + ptrdiff_t(x + s.left) * 3;
        for (int gx = s.left; gx < s.right; ++gx, p += 3, src += 3) {
            if (src[0] == key.b && src[1] == key.g && src[2] == key.r) continue;
            p[0] = src[0];
            p[1] = src[1];
            p[2] = src[2];
        }
    }
}

TBitmap DisabledGlyph(const TBitmap& glyph, TColor transparent, int pct) {
    TBitmap image;
    NewImage(image, glyph.Width(), glyph.Height(), KeyColor);
    DrawGlyph(glyph, image, 0, 0);
    ToneGlyph(image, KeyColor, transparent, pct);
    return image;
}

TBitmap ShadowedGlyph(const TBitmap& glyph, TColor transparent, int pct) {
    TBitmap work;
    NewImage(work, glyph.Width() + 2, glyph.Height() + 2, KeyColor);
    DrawGlyph(glyph, work, 1, 1);
    MaskFromColor(work, work, KeyColor, WholeImageRect, true, 7); // black silhouette on white
    Blur(work);
    TBitmap image;
    NewImage(image, glyph.Width(), glyph.Height(), transparent);
    // The silhouette lies at (1, 1) in the work image, so the shadow falls one pixel down-right.
    PaintThroughMask(work, WholeImageRect, image, pct, clBlack, WholeImageRect, 0, 0);
    DrawGlyph(glyph, image, 0, 0);
    return image;
}

template <typename Derive>
std::optional<TGlyphList> DeriveGlyphs(const TGlyphList& glyphs, TColor transparent,
                                       Derive&& derive) {
    try {
        const TColor maskColour = ResolveColor(transparent);
        TGlyphList out;
        out.reserve(glyphs.size());
        for (const TBitmap& glyph : glyphs) {
            TBitmap image = derive(glyph);
            image.SetTransparent(true);
            image.SetTransparentColor(maskColour);
            out.push_back(std::move(image));
        }
        return out;
    } catch (const std::exception&) {
        return std::nullopt; // a partly built set is of no use
    }
}

} // namespace

void ToneGlyph(TBitmap& image, TColor key, TColor colour, int pct) {
    if (pct <= 0 || image.Empty()) return;
    pct = std::min(pct, 100);
    image.To24Bit();
    const TTriple c = ColorToTriple(colour);
    const TTriple k = ColorToTriple(key);
    const TChannelTable blue = ToneTable(c.b, pct);
    const TChannelTable green = ToneTable(c.g, pct);
    const TChannelTable red = ToneTable(c.r, pct);
    auto near = [](int a, int b) { return std::abs(a - b) <= 7; };
    for (int y = 0; y < image.Height(); ++y) {
        uint8_t* p = image.ScanLine(y);
        for (int x = 0; x < image.Width(); ++x, p += 3) {
            if (near(p[0], k.b) && near(p[1], k.g) && near(p[2], k.r)) {
                p[0] = c.b;
                p[1] = c.g;
                p[2] = c.r;
                continue;
            }
            const int g = (p[0] + p[1] + p[2]) / 3;
            p[0] = blue[size_t(g)];
            p[1] = green[size_t(g)];
            p[2] = red[size_t(g)];
        }
    }
}

void DrawGlyph(const TBitmap& glyph, TBitmap& image, int x, int y) {
    if (glyph.Empty() || image.Empty()) return;
    image.To24Bit();
    if (glyph.Image().hasAlphaChannel())
        DrawWithAlpha(glyph, image, x, y);
    else if (glyph.Transparent())
        DrawKeyed(glyph, image, x, y);
    else
        CopyPixels(glyph, WholeImageRect, image, WholeImageRect, x, y);
}

std::optional<TGlyphList> DisabledGlyphs(const TGlyphList& glyphs, TColor transparent, int pct) {
    return DeriveGlyphs(glyphs, transparent, [&](const TBitmap& glyph) {
        return DisabledGlyph(glyph, transparent, pct);
    });
}

std::optional<TGlyphList> ShadowedGlyphs(const TGlyphList& glyphs, TColor transparent, int pct) {
    return DeriveGlyphs(glyphs, transparent, [&](const TBitmap& glyph) {
        return ShadowedGlyph(glyph, transparent, pct);
    });
}
