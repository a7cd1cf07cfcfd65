// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The numbers of a one-image page: the printer's page in dots and in the print unit, the
// conversions between the two, the fitting scale, the slider's range and the small page picture
// of the print dialog. Rounding to integers is half to even throughout.

#include "core/Rect.h"

enum class TPageUnit { Centimetre = 0, Inch = 1 };

// The settings key `unit`: 1 is the inch, anything else the centimetre.
TPageUnit PageUnitFromSetting(int unit);

// The printable area of the page in printer dots and the printer's horizontal resolution,
// which converts both directions.
struct TPageMetrics {
    int WidthDots = 0;
    int HeightDots = 0;
    int Dpi = 0;
    friend bool operator==(const TPageMetrics&, const TPageMetrics&) = default;
};

// Metrics safe to divide by: every value at least 1.
TPageMetrics UsableMetrics(const TPageMetrics& m);

class TPageGeometry {
public:
    TPageGeometry() : TPageGeometry(TPageMetrics{1, 1, 1}, TPageUnit::Centimetre) {}
    TPageGeometry(const TPageMetrics& metrics, TPageUnit unit);

    const TPageMetrics& Metrics() const { return m_metrics; }
    TPageUnit Unit() const { return m_unit; }
    // The page's printable width and height in the unit.
    double WidthUnits() const { return m_widthUnits; }
    double HeightUnits() const { return m_heightUnits; }
    // Landscape when the page is less high than wide.
    bool Landscape() const { return m_metrics.HeightDots < m_metrics.WidthDots; }

    int UnitsToDotsX(double value) const;
    int UnitsToDotsY(double value) const;
    double DotsToUnitsX(double dots) const;
    double DotsToUnitsY(double dots) const;

private:
    TPageMetrics m_metrics;
    TPageUnit m_unit;
    double m_widthUnits;
    double m_heightUnits;
};

// Printer dots per image pixel at which the whole image just fits the page.
double FitScale(const TPageMetrics& page, int imgW, int imgH);
// The scale slider counts tens of percent: its maximum for a fitting scale (at least 1), and
// its position for a scale within 1..maximum.
int ZoomScrollMax(double fit);
int ZoomPosition(double scale, int scrollMax);
// The scale a layout starts from: 80 % of fit, at most 5.
double FirstScale(double fit);
// A printed length in dots: pixels x scale, rounded.
int PrintedDots(int pixels, double scale);
// The top-left corner of a dispW x dispH image centred on the page (halves truncated).
int CentredOffset(int pageDots, int dispDots);

// The page picture of the print dialog: a box whose longer side is kPreviewSide pixels, and
// the factor k from page dots to its pixels.
inline constexpr int kPreviewSide = 225;
inline constexpr int kPreviewOrigin = 16;
struct TPreviewBox {
    int Width = 0;
    int Height = 0;
    double K = 0;
};
TPreviewBox PreviewBoxFor(const TPageMetrics& page);

// The lengths of the crop marks in dots: they run from 8 mm to 1 mm off the image's edges.
struct TMarkLengths {
    int Outer = 0;
    int Inner = 0;
    friend bool operator==(const TMarkLengths&, const TMarkLengths&) = default;
};
TMarkLengths MarkLengths(const TPageGeometry& page);

// The image's rectangle on the page in dots from the four fields (left, top, width, height)
// in the unit.
TRect ImageRectFromFields(const TPageGeometry& page, double x, double y, double w, double h);

// An upper bound as a message prints it: 0.005 less, and never below 0.
double BoundForMessage(double bound);
