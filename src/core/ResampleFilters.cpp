// SPDX-License-Identifier: GPL-2.0-or-later
#include "core/StretchEx.h"

#include <cmath>
#include <numbers>

// Each filter takes and returns a single; the arithmetic between runs in double so the result is
// the single nearest to the exact value.

namespace {

float Box(float x) {
    return (x > -0.5f && x <= 0.5f) ? 1.0f : 0.0f;
}

float Triangle(float x) {
    const double t = std::fabs(double(x));
    return t < 1.0 ? float(1.0 - t) : 0.0f;
}

float Hermite(float x) {
    const double t = std::fabs(double(x));
    return t < 1.0 ? float((2.0 * t - 3.0) * t * t + 1.0) : 0.0f;
}

float Bell(float x) {
    const double t = std::fabs(double(x));
    if (t < 0.5) return float(0.75 - t * t);
    if (t < 1.5) return float(0.5 * (t - 1.5) * (t - 1.5));
    return 0.0f;
}

float BSpline(float x) {
    const double t = std::fabs(double(x));
    if (t < 1.0) return float(0.5 * t * t * t - t * t + 2.0 / 3.0);
    if (t < 2.0) return float((2.0 - t) * (2.0 - t) * (2.0 - t) / 6.0);
    return 0.0f;
}

double Sinc(double x) {
    if (x == 0.0) return 1.0;
    const double px = std::numbers::pi * x;
    return std::sin(px) / px;
}

float Lanczos3(float x) {
    const double t = double(x);
    if (t <= -3.0 || t >= 3.0) return 0.0f;
    return float(Sinc(t) * Sinc(t / 3.0));
}

// Mitchell-Netravali with B = C = 1/3.
float Mitchell(float x) {
    const double t = std::fabs(double(x));
    if (t < 1.0) return float(7.0 / 6.0 * t * t * t - 2.0 * t * t + 8.0 / 9.0);
    if (t < 2.0) return float(-7.0 / 18.0 * t * t * t + 2.0 * t * t - 10.0 / 3.0 * t + 16.0 / 9.0);
    return 0.0f;
}

} // namespace

const std::array<TResampleFilter, 7> ResampleFilters{{
    {"Box", Box, 0.5f},
    {"Triangle", Triangle, 1.0f},
    {"Hermite", Hermite, 1.0f},
    {"Bell", Bell, 1.5f},
    {"B-Spline", BSpline, 2.0f},
    {"Lanczos3", Lanczos3, 3.0f},
    {"Mitchell", Mitchell, 2.0f},
}};
