// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Animations as a stream of whole frames, for the viewer's playback and for reading one frame
// of a file. A frame source owns the file's bytes and its decoder state and nothing else, so a
// worker thread may drive one; frames come in order, each the whole canvas with its delay.

#include "core/Bitmap.h"

#include <QByteArray>
#include <QSize>
#include <QString>
#include <cstdint>
#include <memory>

struct TAnimationFrame {
    // The whole canvas: a 32-bit picture (bytes blue, green, red, alpha, not premultiplied);
    // what no frame has covered yet has alpha 0.
    TBitmap Picture;
    int Delay = 0; // ms, after FrameDelay()
    int Index = 0; // 0-based
};

class IFrameSource {
public:
    virtual ~IFrameSource() = default;

    virtual int FrameCount() const = 0;
    // How often the animation plays, 0 for ever.
    virtual int LoopCount() const = 0;
    virtual QSize CanvasSize() const = 0;
    // The frame after the last one given (the first after Rewind or creation); after the last
    // frame the first comes again. Throws ETaveluneError on damaged data.
    virtual TAnimationFrame NextFrame() = 0;
    virtual void Rewind() = 0;
};

// Delays below 20 ms play as 100 ms, as browsers do; others are kept (at most a day).
int FrameDelay(int64_t milliseconds);

// The frame source of an animation of more than one frame in a file of this name (the reader
// is chosen by the name, as for loading); nothing for a still picture or a format without
// animations. Throws ETaveluneError when the file cannot be read as its format.
std::unique_ptr<IFrameSource> OpenAnimation(const QString& fileName, QByteArray bytes);

// Frame index of a source, decoded in order from the start: what readers give for
// TReadInput::ImageIndex. Throws ETaveluneError for an index past the last frame.
TAnimationFrame DecodeFrameAt(IFrameSource& source, int index);
