// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Geometry helpers of the decorations. Shadows and bevels grow their rectangle step by step from
// caller-given coordinates, so intermediate edges are kept in 64 bits and only what can reach
// the target is visited.

#include "core/Rect.h"

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <vector>

struct TRect64 {
    int64_t Left = 0, Top = 0, Right = 0, Bottom = 0;
};

inline TRect64 ToRect64(const TRect& r) {
    return TRect64{r.Left, r.Top, r.Right, r.Bottom};
}

// r intersected with bounds, corners not sorted: a rectangle with Right <= Left or
// Bottom <= Top covers nothing.
inline TRect ClipRect64(const TRect64& r, const TRect& bounds) {
    const int64_t left = std::max<int64_t>(r.Left, bounds.Left);
    const int64_t top = std::max<int64_t>(r.Top, bounds.Top);
    const int64_t right = std::min<int64_t>(r.Right, bounds.Right);
    const int64_t bottom = std::min<int64_t>(r.Bottom, bounds.Bottom);
    if (right <= left || bottom <= top) return TRect{};
    return TRect{int32_t(left), int32_t(top), int32_t(right), int32_t(bottom)};
}

// Half-open range of steps [First, Last).
struct TStepRange {
    int64_t First = 0, Last = 0;
};

// Calls fn(i) once for every i of [lo, hi) that lies in at least one of the ranges, in
// increasing order. The ranges name the steps that can touch the target; the others are skipped
// without being walked.
template <typename Fn>
void ForEachStepIn(std::initializer_list<TStepRange> ranges, int64_t lo, int64_t hi, Fn&& fn) {
    std::vector<TStepRange> sorted(ranges);
    std::sort(sorted.begin(), sorted.end(),
              [](const TStepRange& a, const TStepRange& b) { return a.First < b.First; });
    int64_t next = lo;
    for (const TStepRange& s : sorted) {
        const int64_t end = std::min(s.Last, hi);
        for (int64_t i = std::max(s.First, next); i < end; ++i)
            fn(i);
        next = std::max(next, end);
    }
}
