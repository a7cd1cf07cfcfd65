// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The main window's zoom policy: how the zoom setting and its companions place the image, and
// the zoom in / zoom out steps. The settings arrive as plain values named after their keys.

#include "browse/ImgZoom.h"
#include "settings/SettingValues.h"

#include <QString>
#include <random>

// The settings the policy reads (defaults as a fresh settings record has them).
struct TZoomSettings {
    int zoom = kZoomFit;
    bool breduction = true; // the fit modes never enlarge
    int vtaille = 480;      // longest side of a thumbnail
};

// Sets the zoom mode or scale from zoom, then the thumbnail limit or the reduction-only rule.
void ApplyZoomSetting(TImageZoom& view, const TZoomSettings& settings);

// After ApplyZoomSetting: the alignment, and the scroll direction of an image larger than the
// view. Returns whether the image exceeds the view.
bool PlaceAfterZoomSetting(TImageZoomScrolling& view, int zoom);

// Instead of the two above after a zoom step: keeps the image's place as far as possible without
// opening a gap on a side where it overflows. Returns whether the image exceeds the view.
bool PlaceAfterManualZoom(TImageZoom& view, int zoom);

// Steps of 1.25 about the top-left corner; zoom in stops at 10 or more, zoom out at a zoomed
// side of 1 pixel.
void ZoomIn(TImageZoom& view);
void ZoomOut(TImageZoom& view);

// "33%": the scale as a rounded percentage, for the status bar.
QString ZoomPercentText(double scale);

// Alignment of a newly opened thumbnail: a random cell of the 3 x 3 grid when bva is set.
template <typename Random>
Alignment ThumbnailAlignment(bool bva, Random& random) {
    if (!bva) return zaCenter;
    std::uniform_int_distribution<int> cell(0, 8);
    return static_cast<Alignment>(cell(random));
}
