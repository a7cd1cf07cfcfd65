// SPDX-License-Identifier: GPL-2.0-or-later
#include "formats/TiffUtils.h"

#include "core/Errors.h"
#include "core/ReadAs24.h"
#include "formats/ColourManagement.h"
#include "formats/Graphic.h"

#include <algorithm>
#include <climits>
#include <cstdarg>
#include <cstring>
#include <memory>
#include <new>

#include <tiffio.h>

namespace {

// The file in memory, read or written by libtiff through the client callbacks.
struct TTiffStream {
    const uint8_t* Data = nullptr; // reading
    size_t Size = 0;
    std::vector<uint8_t>* Out = nullptr; // writing
    uint64_t Pos = 0;
    int Errors = 0; // counted while writing
};

tmsize_t StreamRead(thandle_t h, void* buf, tmsize_t n) {
    auto* s = static_cast<TTiffStream*>(h);
    const uint64_t size = s->Out ? s->Out->size() : s->Size;
    const uint8_t* data = s->Out ? s->Out->data() : s->Data;
    if (n <= 0 || s->Pos >= size) return 0;
    const uint64_t count = std::min<uint64_t>(uint64_t(n), size - s->Pos);
    std::memcpy(buf, data + s->Pos, size_t(count));
    s->Pos += count;
    return tmsize_t(count);
}

tmsize_t StreamWrite(thandle_t h, void* buf, tmsize_t n) {
    auto* s = static_cast<TTiffStream*>(h);
    if (!s->Out || n < 0) return -1;
    try {
        const uint64_t end = s->Pos + uint64_t(n);
        if (end > s->Out->size()) s->Out->resize(size_t(end));
        std::memcpy(s->Out->data() + s->Pos, buf, size_t(n));
    } catch (...) {
        return -1;
    }
    s->Pos += uint64_t(n);
    return n;
}

toff_t StreamSeek(thandle_t h, toff_t off, int whence) {
    auto* s = static_cast<TTiffStream*>(h);
    const uint64_t size = s->Out ? s->Out->size() : s->Size;
    uint64_t base = 0;
    if (whence == SEEK_CUR) base = s->Pos;
    if (whence == SEEK_END) base = size;
    const uint64_t pos = base + off;
    if (pos < base) return toff_t(-1);
    s->Pos = pos;
    return pos;
}

int StreamClose(thandle_t) {
    return 0;
}

toff_t StreamSize(thandle_t h) {
    auto* s = static_cast<TTiffStream*>(h);
    return s->Out ? s->Out->size() : s->Size;
}

// Reading maps the bytes directly, so strips are not copied once more.
int StreamMap(thandle_t h, void** base, toff_t* size) {
    auto* s = static_cast<TTiffStream*>(h);
    if (s->Out) return 0;
    *base = const_cast<uint8_t*>(s->Data);
    *size = s->Size;
    return 1;
}

void StreamUnmap(thandle_t, void*, toff_t) {}

int CountError(TIFF*, void* user, const char*, const char*, va_list) {
    ++static_cast<TTiffStream*>(user)->Errors;
    return 1;
}

int IgnoreWarning(TIFF*, void*, const char*, const char*, va_list) {
    return 1;
}

struct TTiffCloser {
    void operator()(TIFF* t) const { TIFFClose(t); }
};
using TTiffPtr = std::unique_ptr<TIFF, TTiffCloser>;

TTiffPtr Open(TTiffStream& stream, const char* mode) {
    std::unique_ptr<TIFFOpenOptions, void (*)(TIFFOpenOptions*)> options(TIFFOpenOptionsAlloc(),
                                                                         TIFFOpenOptionsFree);
    if (!options) throw std::bad_alloc();
    TIFFOpenOptionsSetErrorHandlerExtR(options.get(), CountError, &stream);
    TIFFOpenOptionsSetWarningHandlerExtR(options.get(), IgnoreWarning, &stream);
    TTiffPtr tif(TIFFClientOpenExt("memory", mode, &stream, StreamRead, StreamWrite, StreamSeek,
                                   StreamClose, StreamSize, StreamMap, StreamUnmap, options.get()));
    if (!tif) throw ETaveluneError("TIFF: cannot open");
    return tif;
}

// libtiff's RGBA pixels hold red in the low byte and colour multiplied by alpha; the picture
// holds blue in the low byte and plain colour.
bool ToPictureOrder(QImage& image) {
    bool alpha = false;
    for (int y = 0; y < image.height(); ++y) {
        auto* p = reinterpret_cast<uint32_t*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const uint32_t v = p[x];
            uint32_t r = TIFFGetR(v), g = TIFFGetG(v), b = TIFFGetB(v);
            const uint32_t a = TIFFGetA(v);
            if (a < 255) {
                alpha = true;
                if (a > 0) {
                    r = std::min<uint32_t>(255, (r * 255 + a / 2) / a);
                    g = std::min<uint32_t>(255, (g * 255 + a / 2) / a);
                    b = std::min<uint32_t>(255, (b * 255 + a / 2) / a);
                }
            }
            p[x] = (a << 24) | (r << 16) | (g << 8) | b;
        }
    }
    return alpha;
}

QImage WithoutAlpha(const QImage& argb) {
    QImage out(argb.width(), argb.height(), QImage::Format_BGR888);
    if (out.isNull()) throw std::bad_alloc();
    for (int y = 0; y < argb.height(); ++y) {
        const auto* s = reinterpret_cast<const uint32_t*>(argb.constScanLine(y));
        uint8_t* d = out.scanLine(y);
        for (int x = 0; x < argb.width(); ++x, d += 3) {
            d[0] = uint8_t(s[x]);
            d[1] = uint8_t(s[x] >> 8);
            d[2] = uint8_t(s[x] >> 16);
        }
    }
    return out;
}

// The ink samples of the current page of an 8-bit CMYK file stored in strips, top row first;
// false for any other file, or when its data cannot be read.
bool ReadCmykSamples(TIFF* t, const TTiffStream& stream, TCmykSamples& cmyk) {
    uint32_t width = 0, height = 0;
    uint16_t photometric = 0, inkSet = INKSET_CMYK, bits = 1, samples = 1;
    uint16_t planar = PLANARCONFIG_CONTIG, orientation = ORIENTATION_TOPLEFT;
    if (!TIFFGetField(t, TIFFTAG_IMAGEWIDTH, &width) ||
        !TIFFGetField(t, TIFFTAG_IMAGELENGTH, &height) ||
        !TIFFGetField(t, TIFFTAG_PHOTOMETRIC, &photometric))
        return false;
    TIFFGetFieldDefaulted(t, TIFFTAG_INKSET, &inkSet);
    TIFFGetFieldDefaulted(t, TIFFTAG_BITSPERSAMPLE, &bits);
    TIFFGetFieldDefaulted(t, TIFFTAG_SAMPLESPERPIXEL, &samples);
    TIFFGetFieldDefaulted(t, TIFFTAG_PLANARCONFIG, &planar);
    TIFFGetFieldDefaulted(t, TIFFTAG_ORIENTATION, &orientation);
    if (photometric != PHOTOMETRIC_SEPARATED || inkSet != INKSET_CMYK || bits != 8 || samples < 4 ||
        orientation != ORIENTATION_TOPLEFT || TIFFIsTiled(t) || width == 0 || height == 0)
        return false;
    CheckImageSize(width, height);
    const bool contig = planar == PLANARCONFIG_CONTIG;
    const tmsize_t line = TIFFScanlineSize(t);
    if (line < tmsize_t(width) * (contig ? samples : 1)) return false;
    std::vector<uint8_t> row(static_cast<size_t>(line));
    std::vector<uint8_t> inks(size_t(width) * height * 4);
    for (uint16_t plane = 0; plane < (contig ? 1 : 4); ++plane)
        for (uint32_t y = 0; y < height; ++y) {
            if (TIFFReadScanline(t, row.data(), y, plane) < 0 || stream.Errors > 0) return false;
            uint8_t* out = inks.data() + size_t(y) * width * 4;
            if (contig) {
                for (uint32_t x = 0; x < width; ++x)
                    std::memcpy(out + 4 * x, row.data() + size_t(x) * samples, 4);
            } else {
                for (uint32_t x = 0; x < width; ++x)
                    out[4 * x + plane] = row[x];
            }
        }
    cmyk = TCmykSamples{int(width), int(height), false, std::move(inks)};
    return true;
}

int PageCount(TIFF* tif) {
    return std::max<int>(1, int(std::min<tdir_t>(TIFFNumberOfDirectories(tif), INT_MAX)));
}

// The number of pages, the page's embedded profile, and the ink samples of a CMYK file that has
// one when the input asks for colour management.
void ReadPagesAndColourData(const TReadInput& input, TGraphic& graphic) {
    TTiffStream stream;
    stream.Data = input.Bytes.data();
    stream.Size = input.Bytes.size();
    TTiffPtr tif = Open(stream, "r");
    graphic.ImageCount = PageCount(tif.get());
    if (input.ImageIndex > 0 && !TIFFSetDirectory(tif.get(), tdir_t(input.ImageIndex))) return;
    uint32_t length = 0;
    const void* profile = nullptr;
    if (!TIFFGetField(tif.get(), TIFFTAG_ICCPROFILE, &length, &profile) || !profile ||
        length == 0 || length > uint32_t(kMaxIccProfileSize))
        return;
    graphic.IccProfile = QByteArray(static_cast<const char*>(profile), qsizetype(length));
    if (input.ColourManagement && !ReadCmykSamples(tif.get(), stream, graphic.Cmyk))
        graphic.Cmyk = TCmykSamples{};
}

void ReadTiff(const TReadInput& input, TGraphic& graphic) {
    graphic.Picture = DecodeTiff(input.Bytes, nullptr, input.ImageIndex);
    ReadPagesAndColourData(input, graphic);
}

std::vector<uint8_t> WriteTiff(const TGraphic& graphic) {
    return EncodeTiff(graphic.Picture);
}

} // namespace

const TGraphicClass gcTiff{"TTiffImage", ReadTiff, WriteTiff};

TBitmap DecodeTiff(TBytes data, int* orientation, int page) {
    TTiffStream stream;
    stream.Data = data.data();
    stream.Size = data.size();
    TTiffPtr tif = Open(stream, "r");
    if (page < 0 || (page > 0 && !TIFFSetDirectory(tif.get(), tdir_t(page))))
        throw ETaveluneError("TIFF: no such page");

    uint32_t width = 0, height = 0;
    uint16_t samples = 1, bits = 1, orient = 1;
    if (!TIFFGetField(tif.get(), TIFFTAG_IMAGEWIDTH, &width) ||
        !TIFFGetField(tif.get(), TIFFTAG_IMAGELENGTH, &height))
        throw ETaveluneError("TIFF: no image size");
    TIFFGetFieldDefaulted(tif.get(), TIFFTAG_SAMPLESPERPIXEL, &samples);
    TIFFGetFieldDefaulted(tif.get(), TIFFTAG_BITSPERSAMPLE, &bits);
    TIFFGetFieldDefaulted(tif.get(), TIFFTAG_ORIENTATION, &orient);
    if (orientation) *orientation = orient;
    CheckImageSize(width, height);
    if (width == 0 || height == 0) throw ETaveluneError("TIFF: empty image");
    char message[1024];
    if (!TIFFRGBAImageOK(tif.get(), message)) throw ETaveluneError(message);

    QImage raster(int(width), int(height), QImage::Format_ARGB32);
    if (raster.isNull()) throw std::bad_alloc();
    // Opaque black wherever a damaged part leaves the reader nothing to write.
    raster.fill(0xFF000000u);
    static_assert(sizeof(uint32_t) == 4);
    // One block of width x height pixels: ARGB32 rows are never padded.
    auto* pixels = reinterpret_cast<uint32_t*>(raster.bits());
    // The reader goes on past a damaged strip or tile, so the rest of the picture is shown; it
    // fails only when it cannot go on at all.
    if (!TIFFReadRGBAImageOriented(tif.get(), width, height, pixels, ORIENTATION_TOPLEFT, 0))
        throw ETaveluneError("TIFF: cannot decode the image");
    tif.reset();

    if (ToPictureOrder(raster)) {
        TBitmap picture(std::move(raster));
        picture.SetFoundBitDepth(32);
        return picture;
    }
    TBitmap picture(WithoutAlpha(raster));
    const bool paletteDepth = samples == 1 && (bits == 1 || bits == 4 || bits == 8);
    picture.SetFoundBitDepth(paletteDepth ? bits : 24);
    return picture;
}

std::vector<uint8_t> EncodeTiff(const TBitmap& picture) {
    if (picture.Empty()) throw ETaveluneError("TIFF: empty picture");
    TBitmap converted;
    const TBitmap* src = &ReadAs24(picture, converted);
    std::vector<uint8_t> out;
    TTiffStream stream;
    stream.Out = &out;
    TTiffPtr tif = Open(stream, "w");
    const uint32_t width = uint32_t(src->Width()), height = uint32_t(src->Height());
    TIFF* t = tif.get();
    TIFFSetField(t, TIFFTAG_IMAGEWIDTH, width);
    TIFFSetField(t, TIFFTAG_IMAGELENGTH, height);
    TIFFSetField(t, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT);
    TIFFSetField(t, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(t, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
    TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, 3);
    TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(t, TIFFTAG_COMPRESSION, COMPRESSION_LZW);
    TIFFSetField(t, TIFFTAG_PREDICTOR, PREDICTOR_HORIZONTAL);
    TIFFSetField(t, TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(t, height));

    std::vector<uint8_t> row(size_t(width) * 3);
    for (uint32_t y = 0; y < height; ++y) {
        const uint8_t* s = src->ScanLine(int(y));
        for (size_t i = 0; i < row.size(); i += 3) {
            row[i] = s[i + 2];
            row[i + 1] = s[i + 1];
            row[i + 2] = s[i];
        }
        if (TIFFWriteScanline(t, row.data(), y, 0) < 0) throw ETaveluneError("TIFF: write");
    }
    if (!TIFFFlush(t)) throw ETaveluneError("TIFF: write");
    tif.reset();
    if (stream.Errors > 0) throw ETaveluneError("TIFF: write");
    return out;
}
