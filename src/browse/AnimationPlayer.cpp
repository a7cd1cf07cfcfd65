// SPDX-License-Identifier: GPL-2.0-or-later
#include "browse/AnimationPlayer.h"

#include "core/Errors.h"

TAnimationPlayer::TAnimationPlayer(std::unique_ptr<IFrameSource> source)
    : Source(std::move(source)) {
    Shown = Source->NextFrame();
}

bool TAnimationPlayer::Advance() {
    if (!Playing()) return false;
    const int loops = Source->LoopCount();
    if (Shown.Index + 1 >= Source->FrameCount()) {
        ++LoopsDone;
        if (loops > 0 && LoopsDone >= loops) {
            Stopped = true;
            return false;
        }
    }
    return Show();
}

bool TAnimationPlayer::Step() {
    Paused = true;
    if (!Failure.isEmpty()) return false;
    return Show();
}

bool TAnimationPlayer::Show() {
    try {
        Shown = Source->NextFrame();
        return true;
    } catch (const ETaveluneError& e) {
        // Stop once on a damaged frame: the last good one stays, no error per tick.
        Failure = QString::fromUtf8(e.what());
        Stopped = true;
        return false;
    }
}
