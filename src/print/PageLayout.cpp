// SPDX-License-Identifier: GPL-2.0-or-later
#include "print/PageLayout.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kCmPerInch = 2.54;
constexpr double kMaxScale = 5.0;
constexpr double kFirstScaleShare = 0.8;
// Crop marks: 0.8 cm and 0.1 cm, or the same lengths in inches.
constexpr double kOuterCm = 0.8;
constexpr double kInnerCm = 0.1;
constexpr double kOuterInch = 0.31496062992125984;
constexpr double kInnerInch = 0.03937007874015748;

// Far beyond any page; keeps the rounding inside int.
int RoundDots(double v) {
    if (!std::isfinite(v)) return 0;
    return RoundHalfEven(std::clamp(v, -1e9, 1e9));
}

} // namespace

TPageUnit PageUnitFromSetting(int unit) {
    return unit == 1 ? TPageUnit::Inch : TPageUnit::Centimetre;
}

TPageMetrics UsableMetrics(const TPageMetrics& m) {
    return {std::max(m.WidthDots, 1), std::max(m.HeightDots, 1), std::max(m.Dpi, 1)};
}

TPageGeometry::TPageGeometry(const TPageMetrics& metrics, TPageUnit unit)
    : m_metrics(UsableMetrics(metrics)), m_unit(unit) {
    const double perUnit = unit == TPageUnit::Centimetre ? kCmPerInch : 1.0;
    m_widthUnits = double(m_metrics.WidthDots) / m_metrics.Dpi * perUnit;
    m_heightUnits = double(m_metrics.HeightDots) / m_metrics.Dpi * perUnit;
}

int TPageGeometry::UnitsToDotsX(double value) const {
    return RoundDots(value * m_metrics.WidthDots / m_widthUnits);
}

int TPageGeometry::UnitsToDotsY(double value) const {
    return RoundDots(value * m_metrics.HeightDots / m_heightUnits);
}

double TPageGeometry::DotsToUnitsX(double dots) const {
    return dots * m_widthUnits / m_metrics.WidthDots;
}

double TPageGeometry::DotsToUnitsY(double dots) const {
    return dots * m_heightUnits / m_metrics.HeightDots;
}

double FitScale(const TPageMetrics& page, int imgW, int imgH) {
    const TPageMetrics m = UsableMetrics(page);
    return std::min(double(m.WidthDots) / std::max(imgW, 1),
                    double(m.HeightDots) / std::max(imgH, 1));
}

int ZoomScrollMax(double fit) {
    return std::max(RoundDots(fit * 100 / 10), 1);
}

int ZoomPosition(double scale, int scrollMax) {
    return std::clamp(RoundDots(scale * 100 / 10), 1, std::max(scrollMax, 1));
}

double FirstScale(double fit) {
    return std::min(kFirstScaleShare * fit, kMaxScale);
}

int PrintedDots(int pixels, double scale) {
    return RoundDots(pixels * scale);
}

int CentredOffset(int pageDots, int dispDots) {
    return (pageDots - dispDots) / 2;
}

TPreviewBox PreviewBoxFor(const TPageMetrics& page) {
    const TPageMetrics m = UsableMetrics(page);
    TPreviewBox box;
    if (m.HeightDots < m.WidthDots) {
        box.K = double(kPreviewSide) / m.WidthDots;
        box.Width = kPreviewSide;
        box.Height = RoundDots(m.HeightDots * box.K);
    } else {
        box.K = double(kPreviewSide) / m.HeightDots;
        box.Height = kPreviewSide;
        box.Width = RoundDots(m.WidthDots * box.K);
    }
    return box;
}

TMarkLengths MarkLengths(const TPageGeometry& page) {
    const bool cm = page.Unit() == TPageUnit::Centimetre;
    return {page.UnitsToDotsX(cm ? kOuterCm : kOuterInch),
            page.UnitsToDotsX(cm ? kInnerCm : kInnerInch)};
}

TRect ImageRectFromFields(const TPageGeometry& page, double x, double y, double w, double h) {
    const int left = page.UnitsToDotsX(x);
    const int top = page.UnitsToDotsY(y);
    return {left, top, left + page.UnitsToDotsX(w), top + page.UnitsToDotsY(h)};
}

double BoundForMessage(double bound) {
    return std::max(bound - 0.005, 0.0);
}
