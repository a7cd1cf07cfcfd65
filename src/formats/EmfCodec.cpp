// SPDX-License-Identifier: GPL-2.0-or-later
// Enhanced metafiles (EMF). The records are walked here (emf/EmfRecords.h) for the picture's
// size; the drawing comes from the helper program tavelune-emf-render (formats/EmfHelper.h),
// which walks them again and hands libemf2svg only a file that passed.

#include "core/Errors.h"
#include "emf/EmfRecords.h"
#include "formats/EmfHelper.h"
#include "formats/MetafileCodec.h"

#include <cmath>
#include <string>

namespace {

[[noreturn]] void Fail(const char* what) {
    throw ETaveluneError(std::string("EMF: ") + what);
}

int PixelSide(double v) {
    if (!std::isfinite(v) || v < 0.5 || v > double(INT32_MAX)) Fail("bad picture size");
    return int(std::lround(v));
}

// The picture is the header's frame (hundredths of a millimetre) at the reference device's
// resolution; without a usable frame or device, the bounds (device pixels, inclusive).
void SizeOf(const TEmfLayout& l, TMetafileSvg& out) {
    const TEmfRectL& b = l.Bounds;
    const TEmfRectL& f = l.Frame;
    const double drawnW = double(b.Right) - b.Left, drawnH = double(b.Bottom) - b.Top;
    const bool deviceKnown =
        l.DeviceX > 0 && l.DeviceY > 0 && l.MillimetresX > 0 && l.MillimetresY > 0;
    if (deviceKnown && f.Right > f.Left && f.Bottom > f.Top) {
        const double kx = double(l.DeviceX) / (100.0 * l.MillimetresX);
        const double ky = double(l.DeviceY) / (100.0 * l.MillimetresY);
        out.Size = QSize(PixelSide((double(f.Right) - f.Left) * kx),
                         PixelSide((double(f.Bottom) - f.Top) * ky));
        out.Target = QRectF(b.Left - f.Left * kx, b.Top - f.Top * ky, drawnW, drawnH);
    } else {
        if (drawnW < 0 || drawnH < 0) Fail("bad bounds");
        out.Size = QSize(PixelSide(drawnW + 1), PixelSide(drawnH + 1));
        out.Target = QRectF(0, 0, drawnW, drawnH);
    }
}

} // namespace

TMetafileSvg EmfToSvg(TBytes data) {
    const TEmfLayout layout = ScanEmf(data);
    TMetafileSvg out;
    SizeOf(layout, out);
    CheckImageSize(out.Size.width(), out.Size.height());

    // Nothing drawn: the picture stays transparent, and the helper has nothing to do.
    if (EmfDrawsNothing(layout)) return out;
    out.Svg = DrawEmf(data.first(layout.End));
    return out;
}
