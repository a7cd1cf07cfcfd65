#pragma once
// GIF files written with giflib itself, for exact control of palettes, frames and
// transparency.

#include <cstdint>
#include <gif_lib.h>
#include <vector>

struct TGifSpecFrame {
    int Width, Height;
    std::vector<uint8_t> Indices;
    int TransparentIndex = NO_TRANSPARENT_COLOR;
    bool Interlace = false;
    int Left = 0, Top = 0;
    int Delay = 0; // hundredths of a second
    int Disposal = DISPOSAL_UNSPECIFIED;
};

inline int AppendGifBytes(GifFileType* gif, const GifByteType* data, int n) {
    auto* out = static_cast<std::vector<uint8_t>*>(gif->UserData);
    out->insert(out->end(), data, data + n);
    return n;
}

// palette: red, green, blue triples; its size a power of two. loops >= 0 adds a NETSCAPE2.0
// loop block with that count.
inline std::vector<uint8_t> MakeGif(int screenW, int screenH, const std::vector<uint8_t>& palette,
                                    const std::vector<TGifSpecFrame>& frames, int loops = -1) {
    std::vector<uint8_t> out;
    int error = 0;
    GifFileType* gif = EGifOpen(&out, AppendGifBytes, &error);
    const int count = int(palette.size() / 3);
    ColorMapObject* map = GifMakeMapObject(count, nullptr);
    for (int i = 0; i < count; ++i)
        map->Colors[i] = {palette[size_t(3 * i)], palette[size_t(3 * i + 1)],
                          palette[size_t(3 * i + 2)]};
    EGifSetGifVersion(gif, true);
    EGifPutScreenDesc(gif, screenW, screenH, map->BitsPerPixel, 0, map);
    if (loops >= 0) {
        EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE);
        EGifPutExtensionBlock(gif, 11, "NETSCAPE2.0");
        const uint8_t block[3] = {1, uint8_t(loops), uint8_t(loops >> 8)};
        EGifPutExtensionBlock(gif, 3, block);
        EGifPutExtensionTrailer(gif);
    }
    for (const TGifSpecFrame& f : frames) {
        if (f.TransparentIndex != NO_TRANSPARENT_COLOR || f.Delay || f.Disposal) {
            GraphicsControlBlock gcb{};
            gcb.TransparentColor = f.TransparentIndex;
            gcb.DelayTime = f.Delay;
            gcb.DisposalMode = f.Disposal;
            GifByteType ext[4];
            const size_t n = EGifGCBToExtension(&gcb, ext);
            EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, int(n), ext);
        }
        EGifPutImageDesc(gif, f.Left, f.Top, f.Width, f.Height, f.Interlace, nullptr);
        std::vector<uint8_t> rows = f.Indices;
        if (f.Interlace) { // rows go out in the order of the four passes
            rows.clear();
            const int start[] = {0, 4, 2, 1}, step[] = {8, 8, 4, 2};
            for (int p = 0; p < 4; ++p)
                for (int y = start[p]; y < f.Height; y += step[p])
                    rows.insert(rows.end(), f.Indices.begin() + y * f.Width,
                                f.Indices.begin() + (y + 1) * f.Width);
        }
        for (int y = 0; y < f.Height; ++y)
            EGifPutLine(gif, rows.data() + y * f.Width, f.Width);
    }
    EGifCloseFile(gif, &error);
    GifFreeMapObject(map);
    return out;
}
