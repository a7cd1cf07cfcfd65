// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The working image of a file as opening makes it: decoded, made 24-bit, turned by the
// rotation setting and given the display adjustments. The making touches nothing but its own
// data, so a decoding worker may run it ahead of the opening (PrepareWorkingImage); the window
// then only finishes the load on its own thread (FinishImageLoad).

#include "browse/ZoomPolicy.h"
#include "browse/ZoomStretch.h"
#include "core/Bitmap.h"
#include "formats/Animation.h"
#include "formats/DecodeFile.h"
#include "settings/ViewerSettings.h"

#include <QImage>
#include <QSize>
#include <optional>

// The settings that shape a working image.
struct TImageShape {
    int rotation = 0;
    int teinte = 0;
    int reglage = 0;
    bool bflou = false;
    friend bool operator==(const TImageShape&, const TImageShape&) = default;
};
TImageShape ImageShapeOf(const TViewerSettings& settings);

// The turn after opening: by the rotation setting, with setting 6 by the EXIF orientation (3
// a half turn, 6 clockwise, 8 counter-clockwise, any other value none). Settings 1 and 2 look
// at the sides of the image as stored, width by height.
enum class TOpeningTurn { None, Clockwise, CounterClockwise, Half };
TOpeningTurn OpeningTurn(int rotation, int exifOrientation, int width, int height);
bool SwapsSides(TOpeningTurn turn);
void ApplyOpeningTurn(TBitmap& image, TOpeningTurn turn);
void TurnByRotationSetting(TBitmap& image, int rotation, int exifOrientation);

// Where the image is expected to show: the zoom view's rectangle and settings at the time of
// the request. With smooth stretching, the block averages of the zoom are made ahead for it.
struct TViewShape {
    TRect View;
    TZoomSettings Zoom;
    bool Smooth = false;
};

struct TPreparedImage {
    // Graphic->Picture is the working image, already delivered; no Graphic: the decoding failed.
    TDecodedFile Decoded;
    TImageShape Shape;
    // False: delivered and 24-bit, but not yet turned nor adjusted (made before the settings
    // were known).
    bool Shaped = true;
    TBlockAverages Blocks;
    // Bytes held: the picture, the block averages and an animation's file.
    qint64 Bytes() const;
    bool Failed() const { return !Decoded.Graphic; }
};

// Decodes the file (or its bytes read already) and makes its working image; without a shape
// it stays unshaped. With a view, also the zoom's block averages for it. Bytes moved in are
// released once decoded.
TPreparedImage PrepareWorkingImage(const TDecodeRequest& request,
                                   const std::optional<TImageShape>& shape,
                                   const std::optional<TViewShape>& view = std::nullopt);
TPreparedImage PrepareWorkingImage(const TDecodeRequest& request, QByteArray bytes,
                                   const TFileStamp& stamp, const std::optional<TImageShape>& shape,
                                   const std::optional<TViewShape>& view = std::nullopt);
// Turns and adjusts an unshaped image; nothing for a shaped one. A reduced picture is turned
// as the image of storedSize would be.
void ShapeWorkingImage(TPreparedImage& image, const TImageShape& shape, QSize storedSize = {});

// The working image of an animation's frame, made as the file's load made its first one: load
// is that load's graphic (class, profile and EXIF block), colourManagement its choice. Throws
// ETaveluneError when the frame cannot be made.
TBitmap PrepareFrame(const TGraphic& load, bool colourManagement, const TAnimationFrame& frame,
                     const TImageShape& shape);

// What the working image on screen was made from, while it stays as its load left it: it can
// then go back to the read-ahead when another image is opened.
struct TShownImage {
    TDecodedFile Load; // the load's results; its picture is the working image
    TImageShape Shape;
    qint64 PictureKey = 0; // the working image's QImage::cacheKey() as the load left it
    TBlockAverages Blocks;
};
