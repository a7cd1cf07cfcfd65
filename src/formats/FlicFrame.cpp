// SPDX-License-Identifier: GPL-2.0-or-later
#include "formats/FlicFrame.h"

#include "core/Errors.h"
#include "formats/RasterImages.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

[[noreturn]] void Fail(const char* what) {
    throw ETaveluneError(std::string("Flic: ") + what);
}

constexpr uint16_t kFliMagic = 0xAF11; // 320 x 200 flics of the original Animator
constexpr uint16_t kFlcMagic = 0xAF12;
constexpr size_t kHeaderSize = 128;
constexpr size_t kFirstFrameAt = 80; // where an FLC header keeps the offset of frame 1
constexpr uint16_t kFrameType = 0xF1FA;
constexpr size_t kFrameHead = 16;
constexpr size_t kChunkHead = 6;

enum TFlicChunk : uint16_t {
    fcColour256 = 4, // palette entries of 0..255
    fcColour64 = 11, // palette entries of 0..63
    fcBlack = 13,    // says nothing of the picture's size: a few bytes could claim any
    fcByteRun = 15,
    fcCopy = 16,
    fcDeltaFli = 12,
    fcDeltaFlc = 7,
};

// Packets of (entries to skip, entries to set, 0 meaning 256), then the entries' colours.
void ReadColours(TByteReader& in, bool sixBit, QVector<QRgb>& palette) {
    const uint16_t packets = in.LE16();
    size_t index = 0;
    for (uint16_t p = 0; p < packets; ++p) {
        index += in.U8();
        size_t count = in.U8();
        if (count == 0) count = 256;
        const TBytes rgb = in.Take(count * 3);
        for (size_t i = 0; i < count && index < 256; ++i, ++index) {
            const auto v = [&](size_t k) {
                return sixBit ? Sample6To8(rgb[3 * i + k] & 63) : rgb[3 * i + k];
            };
            palette[int(index)] = qRgb(v(0), v(1), v(2));
        }
    }
}

// Each line: an obsolete packet count, then signed counts until the line is full: n >= 0
// repeats the next byte n times, n < 0 copies -n bytes.
void ReadByteRun(TByteReader& in, QImage& image) {
    const size_t width = size_t(image.width());
    for (int y = 0; y < image.height(); ++y) {
        uint8_t* line = image.scanLine(y);
        in.Skip(1);
        size_t x = 0;
        while (x < width) {
            const int count = int8_t(in.U8());
            if (count >= 0) {
                if (count == 0) Fail("empty run");
                const size_t n = std::min(size_t(count), width - x);
                std::memset(line + x, in.U8(), n);
                x += n;
            } else {
                const TBytes bytes = in.Take(size_t(-count));
                const size_t n = std::min(bytes.size(), width - x);
                std::memcpy(line + x, bytes.data(), n);
                x += n;
            }
        }
    }
}

void ReadCopy(TByteReader& in, QImage& image) {
    for (int y = 0; y < image.height(); ++y)
        std::memcpy(image.scanLine(y), in.Take(size_t(image.width())).data(),
                    size_t(image.width()));
}

} // namespace

bool IsFlic(TBytes data) {
    if (data.size() < 6) return false;
    const uint16_t magic = uint16_t(data[4] | data[5] << 8);
    return magic == kFliMagic || magic == kFlcMagic;
}

TBitmap DecodeFlicFirstFrame(TBytes data) {
    TByteReader in(data, "Flic");
    in.Skip(4); // size of the file
    const uint16_t magic = in.LE16();
    in.Skip(2); // frames
    const uint16_t width = in.LE16(), height = in.LE16(), depth = in.LE16();
    in.Seek(kFirstFrameAt);
    const uint32_t firstFrame = in.LE32();
    in.Seek(kHeaderSize);
    if (magic != kFliMagic && magic != kFlcMagic) Fail("not a flic");
    if (depth != 8 && depth != 0) Fail("unsupported depth");
    if (width == 0 || height == 0) Fail("empty image");
    CheckImageSize(width, height);

    // Frame 1 follows the header, after optional prefix chunks an FLC may skip by its offset.
    if (magic == kFlcMagic && firstFrame != 0) in.Seek(firstFrame);
    while (true) {
        const uint32_t size = in.LE32();
        const uint16_t type = in.LE16();
        if (size < kChunkHead || size - kChunkHead > in.Left()) Fail("bad chunk size");
        if (type == kFrameType) {
            in.Seek(in.Pos() - kChunkHead);
            break;
        }
        in.Skip(size - kChunkHead);
    }
    const uint32_t frameSize = in.LE32();
    if (frameSize < kFrameHead) Fail("bad frame size");
    TByteReader frame(in.Take(frameSize - 4), "Flic");
    frame.Skip(kFrameHead - 4);

    QVector<QRgb> palette = GreyRamp(256);
    QImage image;
    while (frame.Left() >= kChunkHead) {
        const uint32_t size = frame.LE32();
        const uint16_t type = frame.LE16();
        if (size < kChunkHead || size - kChunkHead > frame.Left()) Fail("bad chunk size");
        TByteReader chunk(frame.Take(size - kChunkHead), "Flic");
        switch (type) {
        case fcColour256:
        case fcColour64:
            ReadColours(chunk, type == fcColour64, palette);
            break;
        case fcByteRun:
        case fcCopy:
            // A whole picture needs a byte per pixel (raw), or per line its count and runs of
            // two bytes for at most 127 pixels.
            if (type == fcCopy && uint64_t(width) * height > chunk.Left()) Fail("truncated");
            if (type == fcByteRun &&
                (1 + (uint64_t(width) + 126) / 127 * 2) * height > chunk.Left())
                Fail("truncated");
            image = NewCheckedImage(width, height, QImage::Format_Indexed8);
            if (type == fcByteRun) ReadByteRun(chunk, image);
            if (type == fcCopy) ReadCopy(chunk, image);
            break;
        case fcBlack:
            Fail("first frame is a black screen");
        case fcDeltaFli:
        case fcDeltaFlc:
            Fail("first frame holds only changes");
        default:
            break; // postage stamps and the like
        }
    }
    if (image.isNull()) Fail("no picture in the first frame");
    image.setColorTable(palette);
    TBitmap picture(std::move(image));
    picture.SetFoundBitDepth(8);
    return picture;
}
