// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The weights of the filtered resampler along one axis, shared by the contributor lists and the
// resampling passes.

#include "core/StretchEx.h"

#include <cstdint>
#include <vector>

struct TResampleAxis {
    int DstSize = 0;
    int SrcSize = 0;
    float Scale = 1; // destination / source, in single precision
    float Radius = 0;
    float (*Filter)(float) = nullptr;
};

// (dst - 1) / (src - 1), or dst / src when either size is 1 (a 1-pixel destination would
// otherwise get a scale of 0 and an unbounded window).
float ResampleScale(int dstSize, int srcSize);
TResampleAxis MakeResampleAxis(int dstSize, int srcSize, const TResampleFilter& filter,
                               float radius);

// The weights of destination index i over consecutive unmirrored source positions
// First, First + 1, ...; zeros at both ends are dropped, zeros inside kept.
struct TWeightRun {
    int First = 0;
    std::vector<int32_t> Weights;
    int32_t Sum = 0;    // sum of the weights
    int32_t AbsSum = 0; // sum of their magnitudes
};
TWeightRun WeightRun(const TResampleAxis& axis, int i);

// Source index read for position j of a line of n pixels: mirrored once at each edge, then
// clamped into 0..n-1.
int MirrorIndex(int j, int n);
