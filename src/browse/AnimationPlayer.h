// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The playing state of an animation in the main window: which frame is shown, how long it
// stays, and when the loops are done. The window owns the timer; it calls Advance() when the
// shown frame's delay has passed, so tests drive playback without waiting.

#include "formats/Animation.h"

#include <QString>
#include <memory>

class TAnimationPlayer {
public:
    // Takes the source and decodes its first frame; throws ETaveluneError when it is damaged.
    explicit TAnimationPlayer(std::unique_ptr<IFrameSource> source);

    const TAnimationFrame& Frame() const { return Shown; }
    int FrameCount() const { return Source->FrameCount(); }
    // Whether a timer should run: not paused, not stopped by the loop count or a damaged frame.
    bool Playing() const { return !Paused && !Stopped; }
    // Error text of the damaged frame that stopped playback, empty otherwise.
    const QString& Error() const { return Failure; }

    // Shows the next frame when the shown one's delay has passed. False when playback ended
    // (loops done or a damaged frame); the last good frame stays shown.
    bool Advance();
    // Pauses and shows the next frame, whatever the loop count says.
    bool Step();
    void SetPaused(bool paused) { Paused = paused; }
    bool IsPaused() const { return Paused; }
    // Image commands act on the frame shown and end playback there.
    void Stop() { Stopped = true; }
    // Stopped for good: by Stop, the loop count or a damaged frame.
    bool Ended() const { return Stopped; }

private:
    bool Show();

    std::unique_ptr<IFrameSource> Source;
    TAnimationFrame Shown;
    QString Failure;
    int LoopsDone = 0;
    bool Paused = false;
    bool Stopped = false;
};
