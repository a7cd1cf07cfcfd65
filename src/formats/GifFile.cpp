#include "formats/GifFile.h"

#include "core/Errors.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {

int ReadFromMemory(GifFileType* gif, GifByteType* out, int n) {
    auto* src = static_cast<TGifSource*>(gif->UserData);
    const size_t count = std::min(size_t(std::max(n, 0)), src->Size - src->Pos);
    std::memcpy(out, src->Data + src->Pos, count);
    src->Pos += count;
    return int(count);
}

// An application extension, stepped over; the loop block of NETSCAPE2.0 (sub-block 1, then
// the count) is read on the way.
bool ReadApplication(GifFileType* gif, GifByteType* ext, TGifScan& scan) {
    const bool netscape = ext && ext[0] == 11 && std::memcmp(ext + 1, "NETSCAPE2.0", 11) == 0;
    if (!netscape) return SkipGifExtension(gif, ext);
    GifByteType* block = nullptr;
    if (DGifGetExtensionNext(gif, &block) == GIF_ERROR) return false;
    if (block && block[0] >= 3 && block[1] == 1) {
        const int count = block[2] | (block[3] << 8);
        // The count is of repeats after the first play, as browsers read it; 0 is for ever.
        scan.LoopCount = count == 0 ? 0 : count + 1;
    }
    return SkipGifExtension(gif, block);
}

} // namespace

void GifFail(const char* what) {
    throw ETaveluneError(std::string("GIF: ") + what);
}

TGifPtr OpenGif(TGifSource& source) {
    int error = 0;
    TGifPtr gif(DGifOpen(&source, ReadFromMemory, &error));
    if (!gif) GifFail("not a GIF file");
    return gif;
}

bool SkipGifExtension(GifFileType* gif, GifByteType* ext) {
    while (ext != nullptr)
        if (DGifGetExtensionNext(gif, &ext) == GIF_ERROR) return false;
    return true;
}

QImage ReadGifFrame(GifFileType* gif) {
    const GifImageDesc& d = gif->Image;
    if (d.Width <= 0 || d.Height <= 0) GifFail("empty frame");
    CheckImageSize(d.Width, d.Height);
    QImage image(d.Width, d.Height, QImage::Format_Indexed8);
    if (image.isNull()) throw std::bad_alloc();
    const auto line = [&](int y) {
        if (DGifGetLine(gif, image.scanLine(y), d.Width) == GIF_ERROR) GifFail("bad image data");
    };
    ForGifRows(d.Height, d.Interlace, line);
    return image;
}

void ForGifRows(int height, bool interlace, const std::function<void(int y)>& line) {
    if (!interlace) {
        for (int y = 0; y < height; ++y)
            line(y);
        return;
    }
    static constexpr int kStart[] = {0, 4, 2, 1}, kStep[] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass)
        for (int y = kStart[pass]; y < height; y += kStep[pass])
            line(y);
}

TGifScan ScanGif(TBytes data) {
    TGifScan scan;
    TGifSource source{data.data(), data.size(), 0};
    int error = 0;
    const TGifPtr gif(DGifOpen(&source, ReadFromMemory, &error));
    if (!gif) return scan;
    int delay = 0;
    for (;;) {
        GifRecordType type;
        if (DGifGetRecordType(gif.get(), &type) == GIF_ERROR || type == TERMINATE_RECORD_TYPE)
            return scan;
        if (type == EXTENSION_RECORD_TYPE) {
            int code = 0;
            GifByteType* ext = nullptr;
            if (DGifGetExtension(gif.get(), &code, &ext) == GIF_ERROR) return scan;
            if (code == GRAPHICS_EXT_FUNC_CODE && ext && ext[0] >= 4) {
                GraphicsControlBlock gcb;
                if (DGifExtensionToGCB(ext[0], ext + 1, &gcb) == GIF_OK) delay = gcb.DelayTime * 10;
            }
            const bool read = code == APPLICATION_EXT_FUNC_CODE
                                  ? ReadApplication(gif.get(), ext, scan)
                                  : SkipGifExtension(gif.get(), ext);
            if (!read) return scan;
            continue;
        }
        if (type != IMAGE_DESC_RECORD_TYPE) continue;
        if (DGifGetImageDesc(gif.get()) == GIF_ERROR) return scan;
        if (scan.Frames++ == 0) scan.FirstDelay = delay;
        delay = 0;
        // The compressed data is stepped over block by block, never decoded.
        int codeSize = 0;
        GifByteType* block = nullptr;
        if (DGifGetCode(gif.get(), &codeSize, &block) == GIF_ERROR) return scan;
        while (block)
            if (DGifGetCodeNext(gif.get(), &block) == GIF_ERROR) return scan;
    }
}
