// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Area averaging of a 24-bit rectangle onto a smaller one, straight between 24-bit rows: each
// destination pixel is the mean of the source area it covers, partly covered pixels weighing by
// the part covered. No 32-bit copy of the source is made, which is what a reduction by less
// than two would otherwise cost most.

#include <QImage>
#include <QRect>

// Both images Format_BGR888, both rectangles inside their images, and the destination no larger
// than the source in either direction. False (and nothing drawn) otherwise.
bool AreaReduce24(const QImage& src, const QRect& from, QImage& dst, const QRect& to);
