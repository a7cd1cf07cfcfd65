// SPDX-License-Identifier: GPL-2.0-or-later
#include "browse/WorkingImage.h"

#include "core/ColorAdjust.h"
#include "core/Errors.h"
#include "core/FlipRotate.h"
#include "formats/ColourManagement.h"
#include "formats/Exif.h"
#include "formats/ImageFiles.h"
#include "formats/RasterImages.h"

#include <algorithm>
#include <cmath>

TImageShape ImageShapeOf(const TViewerSettings& s) {
    return TImageShape{s.rotation, s.teinte, s.reglage, s.bflou};
}

TOpeningTurn OpeningTurn(int rotation, int exifOrientation, int width, int height) {
    switch (rotation) {
    case kTurnToLandscape:
        return height > width ? TOpeningTurn::Clockwise : TOpeningTurn::None;
    case kTurnToPortrait:
        return width > height ? TOpeningTurn::Clockwise : TOpeningTurn::None;
    case kTurnHalf:
        return TOpeningTurn::Half;
    case kTurnClockwise:
        return TOpeningTurn::Clockwise;
    case kTurnCounterClockwise:
        return TOpeningTurn::CounterClockwise;
    case kTurnByExif:
        if (exifOrientation == 3) return TOpeningTurn::Half;
        if (exifOrientation == 6) return TOpeningTurn::Clockwise;
        if (exifOrientation == 8) return TOpeningTurn::CounterClockwise;
        return TOpeningTurn::None;
    default:
        return TOpeningTurn::None;
    }
}

bool SwapsSides(TOpeningTurn turn) {
    return turn == TOpeningTurn::Clockwise || turn == TOpeningTurn::CounterClockwise;
}

void ApplyOpeningTurn(TBitmap& image, TOpeningTurn turn) {
    switch (turn) {
    case TOpeningTurn::Clockwise:
        Rotate90(image, true);
        break;
    case TOpeningTurn::CounterClockwise:
        Rotate90(image, false);
        break;
    case TOpeningTurn::Half:
        Rotate180(image);
        break;
    case TOpeningTurn::None:
        break;
    }
}

void TurnByRotationSetting(TBitmap& image, int rotation, int exifOrientation) {
    if (image.Empty()) return;
    ApplyOpeningTurn(image, OpeningTurn(rotation, exifOrientation, image.Width(), image.Height()));
}

qint64 TPreparedImage::Bytes() const {
    qint64 bytes = Blocks.Averages.sizeInBytes() + Decoded.AnimationBytes.size();
    if (Decoded.Graphic) bytes += Decoded.Graphic->Picture.Image().sizeInBytes();
    return bytes;
}

namespace {

TPreparedImage Prepared(TDecodedFile decoded, const std::optional<TImageShape>& shape) {
    TPreparedImage out;
    out.Shaped = false;
    out.Decoded = std::move(decoded);
    if (!out.Decoded.Graphic) return out;
    TGraphic& graphic = *out.Decoded.Graphic;
    try {
        TBitmap image;
        DeliverGraphic(graphic, image);
        image.To24Bit();
        graphic.Picture = std::move(image);
        out.Decoded.Delivered = true;
        if (shape) ShapeWorkingImage(out, *shape);
    } catch (...) {
        // Out of memory on the way: the load fails as a decoding failure would.
        out.Decoded.Graphic.reset();
    }
    return out;
}

// What a composition of the picture shown whole in the view averages first: the source
// rectangle as the zoom's drawing rounds it, at the same scale.
void MakeBlockAverages(TPreparedImage& image, const TViewShape& view) {
    const TBitmap& picture = image.Decoded.Graphic->Picture;
    if (!view.Smooth || picture.Empty() || picture.Transparent() || !picture.Is24Bit()) return;
    TImageZoom probe;
    probe.SetBitmap(&picture);
    probe.SetViewRect(view.View);
    ApplyZoomSetting(probe, view.Zoom);
    const int w = probe.ZoomedWidth(), h = probe.ZoomedHeight();
    const double s = probe.Scale();
    if (w <= 0 || h <= 0 || !(s > 0) || w > RectWidth(view.View) || h > RectHeight(view.View))
        return;
    const QRect from(0, 0, int(std::min<double>(picture.Width(), std::ceil(w / s))),
                     int(std::min<double>(picture.Height(), std::ceil(h / s))));
    const int k = SmoothBlockSize(from, QRect(0, 0, w, h));
    if (k < 2 || from.isEmpty()) return;
    image.Blocks.Averages = AverageBlocks(picture.Image(), from, k);
    image.Blocks.From = from;
    image.Blocks.BlockSize = k;
    image.Blocks.PictureKey = picture.Image().cacheKey();
}

} // namespace

TPreparedImage PrepareWorkingImage(const TDecodeRequest& request,
                                   const std::optional<TImageShape>& shape,
                                   const std::optional<TViewShape>& view) {
    TPreparedImage out = Prepared(DecodeImageFile(request), shape);
    if (view && out.Shaped) MakeBlockAverages(out, *view);
    return out;
}

TPreparedImage PrepareWorkingImage(const TDecodeRequest& request, QByteArray bytes,
                                   const TFileStamp& stamp, const std::optional<TImageShape>& shape,
                                   const std::optional<TViewShape>& view) {
    TDecodedFile decoded = DecodeImageFile(request, bytes, stamp);
    // A turn and the averages may reuse the file's memory, when the caller gave its bytes away.
    bytes = QByteArray();
    TPreparedImage out = Prepared(std::move(decoded), shape);
    if (view && out.Shaped) MakeBlockAverages(out, *view);
    return out;
}

namespace {

// A GIF's first picture shows its transparent colour as the background; so do the clear pixels
// of its later frames: they take the key colour. A frame with partly clear pixels is left to
// the usual rule (alpha dropped), as the other formats' frames are.
void KeyClearPixels(TBitmap& picture) {
    QImage& image = picture.Image();
    if (image.format() != QImage::Format_ARGB32) return;
    for (int y = 0; y < image.height(); ++y) {
        const auto* p = reinterpret_cast<const uint32_t*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if (const uint32_t a = p[x] >> 24; a != 0 && a != 255) return;
    }
    const TTriple key = ColorToTriple(TransparentKeyColour);
    const uint32_t keyPixel =
        0xFF000000u | (uint32_t(key.r) << 16) | (uint32_t(key.g) << 8) | key.b;
    for (int y = 0; y < image.height(); ++y) {
        auto* p = reinterpret_cast<uint32_t*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if (p[x] >> 24 == 0) p[x] = keyPixel;
    }
    picture.SetTransparent(true);
    picture.SetTransparentColor(TransparentKeyColour);
}

} // namespace

TBitmap PrepareFrame(const TGraphic& load, bool colourManagement, const TAnimationFrame& frame,
                     const TImageShape& shape) {
    TDecodedFile decoded;
    TGraphic& graphic = decoded.Graphic.emplace(load.Class());
    graphic.IccProfile = load.IccProfile;
    graphic.ExifBlock = load.ExifBlock;
    graphic.Picture = PictureFromArgb(frame.Picture.Image());
    if (colourManagement) ConvertToSrgb(graphic);
    if (graphic.Is(gcGif)) KeyClearPixels(graphic.Picture);
    TPreparedImage out = Prepared(std::move(decoded), shape);
    if (out.Failed()) throw ETaveluneError("the frame could not be made");
    return std::move(out.Decoded.Graphic->Picture);
}

void ShapeWorkingImage(TPreparedImage& image, const TImageShape& shape, QSize storedSize) {
    if (image.Shaped || !image.Decoded.Graphic) return;
    TGraphic& graphic = *image.Decoded.Graphic;
    TBitmap& picture = graphic.Picture;
    if (!storedSize.isValid()) storedSize = QSize(picture.Width(), picture.Height());
    if (!picture.Empty())
        ApplyOpeningTurn(picture, OpeningTurn(shape.rotation, ExifOrientation(graphic.ExifBlock),
                                              storedSize.width(), storedSize.height()));
    ApplyDisplayAdjustments(picture, shape.teinte, shape.reglage, shape.bflou);
    image.Shape = shape;
    image.Shaped = true;
}
