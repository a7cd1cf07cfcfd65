// SPDX-License-Identifier: GPL-2.0-or-later
#include "core/FilterEvent.h"

#include <algorithm>

namespace {
// Each thread reports the operations it runs itself: decoders run on worker threads too.
thread_local int g_total = 100;
thread_local int g_current = 0;
} // namespace

bool FilterProgress(int kind, int value) {
    switch (kind) {
    case pkBegin:
        g_total = value <= 0 ? 100 : value;
        g_current = 0;
        break;
    case pkStep:
        g_current = std::clamp(value, 0, g_total);
        break;
    default:
        g_current = g_total;
        break;
    }
    return true;
}

bool TFilterGraphicProgress::Progress(TStage stage, int value, int total) {
    switch (stage) {
    case psStarting:
        return FilterProgress(pkBegin, total);
    case psRunning:
        return FilterProgress(pkStep, value);
    case psEnding:
        return FilterProgress(pkEnd, 0);
    }
    return true;
}

TFilterGraphicProgress& GraphicProgress() {
    static TFilterGraphicProgress instance;
    return instance;
}
