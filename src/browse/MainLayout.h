// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The geometry of the main window's screen: its bounds at start-up, the view rectangle inside
// the display area, and the place of the comment. Plain functions of their inputs.

#include "core/Rect.h"
#include "settings/ViewerSettings.h"

#include <QPoint>

// Blank margin between the display area and the window's edges (or its bars).
inline constexpr int kDisplayMargin = 5;
// Height taken from the view for the comment when it is displayed.
inline constexpr int kCommentBand = 40;
// Gap between the decorated image and its comment.
inline constexpr int kCommentGap = 5;
inline constexpr int kShadowSize = 7;
inline constexpr int kShadowStrength = 70;
inline constexpr int kBevelWidth = 2;
inline constexpr int kBevelStrength = 60;

// The lengths above (and the frame width, the comment's size and the scroll steps) are in the
// window's own pixels; the screen buffer holds device pixels, ratio of them to a window pixel.
// A length in device pixels, so that every part of the screen keeps its proportions.
int DeviceLength(int length, double ratio);

// The work area shrunk by screenWidth div 12 on the left and right and by screenWidth div 16 at
// the top and bottom (both from the width).
TRect StartupBounds(const TRect& workArea, int screenWidth);

// The view rectangle for a display area in device pixels: the region, the comment band, the
// frame, the 3D frame and the shadow each take their share. Empty when nothing is left.
TRect ViewRectFor(const TRect& displayArea, const TViewerSettings& s, double ratio = 1);

// Top-left corner of a comment of the given size against the decorated rectangle: 5 pixels
// below it (pcmt 0) or above it (pcmt 1), centred, starting left of it when wider.
QPoint CommentPlace(const TRect& decorated, int textWidth, int textHeight, int pcmt,
                    double ratio = 1);
