#pragma once
// What the single printed page holds: the image (or only its outline) at its rectangle, and the
// crop marks around it. Lines are one dot wide and are given as one-dot rectangles, so that
// every page device draws exactly the same dots.

#include "print/PageLayout.h"

#include <cstdint>
#include <functional>
#include <vector>

class QImage;
class QPainter;

// What the print dialog hands to the print job.
struct TPrintLayout {
    TRect ImageRect; // in dots, on the printable area
    bool OutlineOnly = false;
    bool CropMarks = false;
    TMarkLengths Marks;
    int ImgW = 0;
    int ImgH = 0;
};

// The one-dot line from `from` toward `to`, `to` itself excluded; the two points share a row or
// a column. Empty when they are equal.
TRect MarkLine(int fromX, int fromY, int toX, int toY);

// The four sides of an unfilled rectangle drawn with a one-dot pen: inside r.
std::vector<TRect> OutlineLines(const TRect& r);

// Whether an image is elongated enough for centre marks: its longer side at least 1.5 times
// its shorter one.
bool WantsCentreMarks(int imgW, int imgH);

// The eight corner marks, then the two centre marks of an elongated image.
std::vector<TRect> CropMarkLines(const TRect& r, const TMarkLengths& marks, int imgW, int imgH);

// The image goes to the page in bands of whole rows of at most this many pixels, so that the
// user interface can be served between two bands while a large image spools.
inline constexpr int64_t kPrintBandPixels = int64_t{1} << 18;
// The rows of one band for an image imgW pixels wide: at least one.
constexpr int BandRows(int imgW, int64_t bandPixels = kPrintBandPixels) {
    const int64_t rows = bandPixels / (imgW > 1 ? imgW : 1);
    return rows < 1 ? 1 : rows > INT32_MAX ? INT32_MAX : int(rows);
}

// Called between two bands; false stops the page at once (the painter may be gone by then).
using TBandBreak = std::function<bool()>;

// Draws the page: the outline or the image smoothly scaled into its rectangle, then the marks.
// False when between() stopped it.
bool DrawPrintPage(QPainter& painter, const QImage& image, const TPrintLayout& layout,
                   const TBandBreak& between = {});
