// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Names for the values of the settings that pick one choice of a list, as the settings file
// stores them. The tints and the brightness or contrast steps are named where their pixel
// operations live (core/ColorAdjust.h).

// zoom: how an image is sized to the window. 4 to 7 are the fixed scales 1/3, 1/2, 2/3 and 2.
inline constexpr int kZoomActualSize = 0;
inline constexpr int kZoomFit = 1;
inline constexpr int kZoomFitWidth = 2;
inline constexpr int kZoomFitHeight = 3;
inline constexpr int kZoomThird = 4;
inline constexpr int kZoomHalf = 5;
inline constexpr int kZoomTwoThirds = 6;
inline constexpr int kZoomDouble = 7;
inline constexpr int kZoomThumbnail = 8;

// rotation: the turn given to an image after it is opened.
inline constexpr int kTurnNone = 0;
inline constexpr int kTurnToLandscape = 1;
inline constexpr int kTurnToPortrait = 2;
inline constexpr int kTurnHalf = 3;
inline constexpr int kTurnClockwise = 4;
inline constexpr int kTurnCounterClockwise = 5;
inline constexpr int kTurnByExif = 6;
