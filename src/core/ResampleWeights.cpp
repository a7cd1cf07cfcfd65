// SPDX-License-Identifier: GPL-2.0-or-later
#include "core/ResampleWeights.h"

#include <algorithm>
#include <cmath>

float ResampleScale(int dstSize, int srcSize) {
    if (dstSize == 1 || srcSize == 1) return float(dstSize) / float(srcSize);
    return float(dstSize - 1) / float(srcSize - 1);
}

TResampleAxis MakeResampleAxis(int dstSize, int srcSize, const TResampleFilter& filter,
                               float radius) {
    // Past the filter's support every weight is 0, so a larger radius only widens the loops.
    const float r = (radius <= 0 || radius > filter.Radius) ? filter.Radius : radius;
    return TResampleAxis{dstSize, srcSize, ResampleScale(dstSize, srcSize), r, filter.Fn};
}

namespace {

int32_t RoundWeight(double w) {
    return int32_t(std::nearbyint(w)); // ties to even
}

} // namespace

TWeightRun WeightRun(const TResampleAxis& axis, int i) {
    const float scale = axis.Scale;
    const bool enlarging = scale >= 1.0f;
    TWeightRun run;
    // No filter exceeds 1 in magnitude, so below this scale every weight rounds to 0; stopping
    // here also keeps the window of an extreme reduction from growing without bound.
    if (!enlarging && double(scale) * 256.0 <= 0.5) return run;
    const float width = enlarging ? axis.Radius : axis.Radius / scale;
    const float centre = float(i) / scale;
    const int first = int(std::floor(centre - width));
    const int last = int(std::ceil(centre + width));

    run.Weights.reserve(size_t(last - first + 1));
    for (int j = first; j <= last; ++j) {
        const float d = centre - float(j);
        // The products are exact in double: both factors are singles.
        const int32_t w = enlarging ? RoundWeight(double(axis.Filter(d)) * 256.0)
                                    : RoundWeight(double(axis.Filter(d * scale)) * scale * 256.0);
        if (run.Weights.empty() && w == 0) {
            run.First = j + 1;
            continue;
        }
        run.Weights.push_back(w);
    }
    while (!run.Weights.empty() && run.Weights.back() == 0)
        run.Weights.pop_back();
    if (run.Weights.empty()) run.First = 0;
    for (int32_t w : run.Weights) {
        run.Sum += w;
        run.AbsSum += w < 0 ? -w : w;
    }
    return run;
}

int MirrorIndex(int j, int n) {
    if (j < 0)
        j = -j;
    else if (j >= n)
        j = 2 * n - 1 - j;
    return std::clamp(j, 0, n - 1);
}

TContributorList BuildContributors(int dstSize, int srcSize, int filterIndex, float radius) {
    TContributorList list;
    if (dstSize <= 0 || srcSize <= 0 || filterIndex < 0 ||
        filterIndex >= int(ResampleFilters.size()))
        return list;
    const TResampleAxis axis =
        MakeResampleAxis(dstSize, srcSize, ResampleFilters[size_t(filterIndex)], radius);
    list.resize(size_t(dstSize));
    for (int i = 0; i < dstSize; ++i) {
        const TWeightRun run = WeightRun(axis, i);
        TContributors& p = list[size_t(i)].p;
        for (size_t k = 0; k < run.Weights.size(); ++k)
            if (run.Weights[k] != 0)
                p.push_back(TContributor{run.Weights[k], MirrorIndex(run.First + int(k), srcSize)});
    }
    return list;
}

int Contribute(const TContributorEntry& entry, const int32_t* values) {
    int32_t s = 0, t = 0;
    for (const TContributor& c : entry.p) {
        s += c.Weight * values[c.Pixel];
        t += c.Weight;
    }
    const int32_t q = t != 0 ? s / t : s / 256;
    return std::clamp(q, 0, 255);
}
