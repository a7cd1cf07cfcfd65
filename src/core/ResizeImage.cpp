// SPDX-License-Identifier: GPL-2.0-or-later
#include "core/StretchEx.h"

namespace {

// Lanczos-3 whenever an axis shrinks; B-spline for enlargements beyond twice on an axis.
int FilterFor(int W, int H, const TBitmap& source) {
    const int sw = source.Width(), sh = source.Height();
    if (W < sw || H < sh) return rfLanczos3;
    if (double(W) / sw > 2.0 || double(H) / sh > 2.0) return rfBSpline;
    return rfLanczos3;
}

} // namespace

void ResizeInto(int W, int H, TResizeMethod method, TBitmap& destination, TBitmap& source) {
    if (source.Empty()) return;
    if (&destination == &source) {
        TBitmap copy = source; // shares the pixels until destination is rebuilt
        ResizeInto(W, H, method, destination, copy);
        return;
    }
    if (W <= 0 || H <= 0) {
        destination.Clear();
        return;
    }
    const bool filtered = method == TResizeMethod::Filtered && W != 1 && H != 1 &&
                          source.Width() != 1 && source.Height() != 1;
    if (filtered) {
        const int filter = FilterFor(W, H, source);
        Resample(W, H, filter, destination, source, ResampleFilters[size_t(filter)].Radius);
        return;
    }
    destination.Clear();
    destination.SetPixelFormat(TPixelFormat::pf24bit);
    destination.SetSize(W, H);
    StretchNearest(source, ImageBounds(source), destination, WholeImageRect,
                   ImageBounds(destination));
}

void ResizeImage(int W, int H, bool optimise, TBitmap& image) {
    if (image.Empty()) return;
    TBitmap copy = image;
    ResizeInto(W, H, optimise ? TResizeMethod::Filtered : TResizeMethod::Plain, image, copy);
}
