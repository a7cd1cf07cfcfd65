// SPDX-License-Identifier: GPL-2.0-or-later
#include "formats/Animation.h"

#include "core/Errors.h"
#include "formats/Graphic.h"
#include "formats/ImageFiles.h"

#include <algorithm>

int FrameDelay(int64_t milliseconds) {
    if (milliseconds < 20) return 100;
    return int(std::min<int64_t>(milliseconds, 24 * 3600 * 1000));
}

std::unique_ptr<IFrameSource> OpenAnimation(const QString& fileName, QByteArray bytes) {
    const TGraphicClass& cls = ReaderClassFor(fileName);
    if (!cls.OpenAnimation) return nullptr;
    std::unique_ptr<IFrameSource> source = cls.OpenAnimation(std::move(bytes));
    if (source && source->FrameCount() <= 1) source.reset();
    return source;
}

TAnimationFrame DecodeFrameAt(IFrameSource& source, int index) {
    if (index < 0 || index >= source.FrameCount()) throw ETaveluneError("no such frame");
    source.Rewind();
    TAnimationFrame frame = source.NextFrame();
    while (frame.Index < index)
        frame = source.NextFrame();
    return frame;
}
