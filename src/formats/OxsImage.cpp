// SPDX-License-Identifier: GPL-2.0-or-later
#include "formats/OxsImage.h"

#include "core/Masks.h"
#include "formats/Graphic.h"
#include "formats/ShapeManager.h"

#include <algorithm>

namespace {

// Softens stair steps up to this run length (longer ones stay sharp).
constexpr int kSmoothRun = 33;

void ReadOxs(const TReadInput& input, TGraphic& graphic) {
    TOxsImage image;
    image.LoadFromBytes(input.Bytes);
    graphic.Picture = std::move(image.Picture);
}

} // namespace

// Never written: the save dispatcher has no writer for the extension.
const TGraphicClass gcOxs{"TOxsImage", ReadOxs};

void TOxsImage::LoadFromBytes(TBytes data) {
    Picture.Clear();
    TShapeManager shape;
    shape.ShowMessages = false;
    if (!shape.ReadShape(data)) return;
    const int64_t w = shape.Width(), h = shape.Height();
    if (w <= 0 || h <= 0) return;
    const int64_t margin = std::max(w, h) / 12;
    const int64_t pw = w + 2 * margin, ph = h + 2 * margin;
    if (pw * ph > MaxPixels) return;

    NewImage(Picture, int(pw), int(ph), clWhite);
    TShapeCanvas canvas{Picture, clBlack, clBlack};
    const int m = int(margin);
    shape.Draw(canvas, TRect{m, m, m + int(w), m + int(h)}, shape.Kind());
    if (shape.Kind() != skRectangle) SmoothMaskEdges(Picture, WholeImageRect, kSmoothRun);
}
