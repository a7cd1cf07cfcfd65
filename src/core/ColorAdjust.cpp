// SPDX-License-Identifier: GPL-2.0-or-later
#include "core/ColorAdjust.h"

#include "core/ChannelTables.h"
#include "core/GreyValue.h"
#include "core/PixelOp.h"

#include <algorithm>
#include <array>
#include <vector>

namespace {

// Grey value of each pixel, then a table per channel on that grey: the grayscale tints in one
// pass (identity tables for plain grayscale).
void GreyThroughTables(TBitmap& image, const TRect& rect, const TChannelTable& blue,
                       const TChannelTable& green, const TChannelTable& red) {
    const auto r = BeginPixelOp(image, rect);
    if (!r) return;
    ForEachRowSpan(image, *r, [&](uint8_t* p, int pixels) {
        for (int x = 0; x < pixels; ++x, p += 3) {
            const int g = GreyValue(p[0], p[1], p[2]);
            p[0] = blue[size_t(g)];
            p[1] = green[size_t(g)];
            p[2] = red[size_t(g)];
        }
    });
}

} // namespace

void Grayscale(TBitmap& image, const TRect& rect) {
    const TChannelTable identity = IdentityTable();
    GreyThroughTables(image, rect, identity, identity, identity);
}

void Saturation(TBitmap& image, int amount, const TRect& rect) {
    if (amount == 0) return;
    const auto r = BeginPixelOp(image, rect);
    if (!r) return;
    // out[g][c] = clamp(c + ((c - g) * amount) / 100): 64 KiB, rows of the same grey stay hot.
    std::vector<uint8_t> out(256 * 256);
    for (int g = 0; g < 256; ++g)
        for (int c = 0; c < 256; ++c)
            out[size_t(g * 256 + c)] = uint8_t(std::clamp(c + ((c - g) * amount) / 100, 0, 255));
    ForEachRowSpan(image, *r, [&](uint8_t* p, int pixels) {
        for (int x = 0; x < pixels; ++x, p += 3) {
            const uint8_t* row = out.data() + size_t(GreyValue(p[0], p[1], p[2])) * 256;
            p[0] = row[p[0]];
            p[1] = row[p[1]];
            p[2] = row[p[2]];
        }
    });
}

void ShiftChannels(TBitmap& image, int red, int green, int blue, const TRect& rect) {
    if (red == 0 && green == 0 && blue == 0) return;
    const auto r = BeginPixelOp(image, rect);
    if (!r) return;
    ApplyChannelTables(image, *r, ShiftTable(blue), ShiftTable(green), ShiftTable(red));
}

void Brightness(TBitmap& image, int amount, const TRect& rect) {
    if (amount == 0) return;
    const auto r = BeginPixelOp(image, rect);
    if (!r) return;
    ApplyTableToAllBytes(image, *r, ShiftTable(amount));
}

void Contrast(TBitmap& image, int amount, const TRect& rect) {
    if (amount == 0) return;
    const auto r = BeginPixelOp(image, rect);
    if (!r) return;
    ApplyTableToAllBytes(image, *r, ContrastTable(amount));
}

void GammaChannels(TBitmap& image, const TRect& rect, double red, double green, double blue) {
    auto neutral = [](double g) { return g == 0 || g == 1; };
    if (neutral(red) && neutral(green) && neutral(blue)) return;
    if (red <= 0 || green <= 0 || blue <= 0) return;
    const auto r = BeginPixelOp(image, rect);
    if (!r) return;
    ApplyChannelTables(image, *r, GammaTable(blue), GammaTable(green), GammaTable(red));
}

namespace {

// Grayscale followed by its colouring, as per-channel tables on the grey value.
struct TGreyTint {
    TChannelTable red, green, blue;
};

TGreyTint ShiftedGrey(int red, int green, int blue) {
    return {ShiftTable(red), ShiftTable(green), ShiftTable(blue)};
}

void ApplyTint(TBitmap& image, int tint) {
    TGreyTint t;
    switch (tint) {
    case tintColorPlus:
        return Saturation(image, 25);
    case tintColorMinus:
        return Saturation(image, -77);
    case tintGrayscale:
        t = {IdentityTable(), IdentityTable(), IdentityTable()};
        break;
    case tintSepia:
        t = {GammaTable(1.15), GammaTable(1.0), GammaTable(0.5)};
        break;
    case tintBlue:
        t = ShiftedGrey(-5, -5, 30);
        break;
    case tintGreen:
        t = ShiftedGrey(-5, 20, -5);
        break;
    case tintRed:
        t = ShiftedGrey(30, -5, -5);
        break;
    case tintYellow:
        t = ShiftedGrey(10, 10, -88);
        break;
    default:
        return;
    }
    GreyThroughTables(image, WholeImageRect, t.blue, t.green, t.red);
}

void ApplyAdjustment(TBitmap& image, int adjust) {
    switch (adjust) {
    case adjBrightnessPlus:
        Brightness(image, 25);
        break;
    case adjBrightnessMinus:
        Brightness(image, -25);
        break;
    case adjContrastPlus:
        Contrast(image, 25);
        break;
    case adjContrastMinus:
        Contrast(image, -25);
        break;
    default:
        break;
    }
}

} // namespace

void ApplyDisplayAdjustments(TBitmap& image, int tint, int adjust, bool blur) {
    image.To24Bit();
    ApplyTint(image, tint);
    ApplyAdjustment(image, adjust);
    if (blur) Blur(image);
}
