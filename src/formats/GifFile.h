#pragma once
// giflib over bytes in memory, shared by the GIF reader and the GIF frame source: opening,
// stepping over extensions, reading one frame's indices, and a scan of the whole file that
// counts its frames without decoding them.

#include "formats/ByteIO.h"

#include <QImage>
#include <functional>
#include <memory>

#include <gif_lib.h>

struct TGifSource {
    const uint8_t* Data;
    size_t Size;
    size_t Pos;
};

struct TGifCloser {
    void operator()(GifFileType* gif) const {
        int error = 0;
        DGifCloseFile(gif, &error);
    }
};
using TGifPtr = std::unique_ptr<GifFileType, TGifCloser>;

[[noreturn]] void GifFail(const char* what);

// The decoder reads from source, which must outlive it. Throws when the header is not GIF's.
TGifPtr OpenGif(TGifSource& source);

// Skips the rest of an extension's sub-blocks.
bool SkipGifExtension(GifFileType* gif, GifByteType* ext);

// Calls line(y) for the rows of a frame in the order they are stored (the four passes of an
// interlaced frame).
void ForGifRows(int height, bool interlace, const std::function<void(int y)>& line);

// The indices of the frame whose descriptor was just read, at the frame's size.
QImage ReadGifFrame(GifFileType* gif);

struct TGifScan {
    int Frames = 0;     // image descriptors read in full
    int LoopCount = 1;  // plays: 1 without a NETSCAPE2.0 loop block, 0 for ever
    int FirstDelay = 0; // ms, as the first frame's control block says
};
// Damage ends the count where it is: the frames before it stay.
TGifScan ScanGif(TBytes data);
