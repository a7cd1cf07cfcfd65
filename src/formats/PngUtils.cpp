// SPDX-License-Identifier: GPL-2.0-or-later
#include "formats/PngUtils.h"

#include "core/Errors.h"
#include "core/ReadAs24.h"
#include "formats/ColourManagement.h"
#include "formats/Graphic.h"
#include "formats/ImageFiles.h"

#include <QtGlobal>
#include <array>
#include <csetjmp>
#include <cstring>
#include <new>

#include <png.h>

// libpng reports errors by a longjmp to the setjmp of the function that called into it. Those
// functions hold only plain C data; buffers and the codec objects belong to the C++ callers.

namespace {

void PngError(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}
void PngWarning(png_structp, png_const_charp) {}

struct TPngSource {
    const uint8_t* Data;
    size_t Size;
    size_t Pos;
};

void PngRead(png_structp png, png_bytep out, size_t n) {
    auto* src = static_cast<TPngSource*>(png_get_io_ptr(png));
    if (n > src->Size - src->Pos) png_error(png, "truncated");
    std::memcpy(out, src->Data + src->Pos, n);
    src->Pos += n;
}

struct TPngHeader {
    png_uint_32 Width, Height;
    int BitDepth, ColorType, Interlace;
    int PaletteSize;
    png_color Palette[256];
    int TransCount; // palette: entries of trans_alpha; others: 1 when a colour is transparent
    png_byte TransAlpha[256];
    png_color_16 TransColor;
};

struct TPngReader {
    png_structp Png = nullptr;
    png_infop Info = nullptr;
    TPngSource Source{};
    ~TPngReader() { png_destroy_read_struct(&Png, Info ? &Info : nullptr, nullptr); }
};

bool ReadHeader(TPngReader* r, TPngHeader* h) {
    if (setjmp(png_jmpbuf(r->Png))) return false;
    png_set_read_fn(r->Png, &r->Source, PngRead);
    png_read_info(r->Png, r->Info);
    png_get_IHDR(r->Png, r->Info, &h->Width, &h->Height, &h->BitDepth, &h->ColorType, &h->Interlace,
                 nullptr, nullptr);
    h->PaletteSize = 0;
    png_colorp palette = nullptr;
    if (png_get_PLTE(r->Png, r->Info, &palette, &h->PaletteSize) == 0) h->PaletteSize = 0;
    if (h->PaletteSize > 256) h->PaletteSize = 256;
    if (h->PaletteSize > 0) std::memcpy(h->Palette, palette, sizeof(png_color) * h->PaletteSize);
    h->TransCount = 0;
    png_bytep alpha = nullptr;
    png_color_16p colour = nullptr;
    if (png_get_tRNS(r->Png, r->Info, &alpha, &h->TransCount, &colour) == 0) h->TransCount = 0;
    if (h->TransCount > 256) h->TransCount = 256;
    if (h->ColorType == PNG_COLOR_TYPE_PALETTE && h->TransCount > 0)
        std::memcpy(h->TransAlpha, alpha, size_t(h->TransCount));
    else if (h->TransCount > 0 && colour)
        h->TransColor = *colour;
    else
        h->TransCount = 0;
    return true;
}

// Decodes every row into rows[], which the caller sized for the transformed pixels.
bool ReadRows(TPngReader* r, png_bytepp rows, bool toBgra, bool toBgr) {
    if (setjmp(png_jmpbuf(r->Png))) return false;
    png_set_strip_16(r->Png);
    png_set_packing(r->Png);
    if (toBgra) {
        png_set_gray_to_rgb(r->Png);
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
        png_set_bgr(r->Png); // blue, green, red, alpha: QImage::Format_ARGB32 in memory
#else
        png_set_swap_alpha(r->Png);
#endif
    } else if (toBgr) {
        png_set_bgr(r->Png);
    }
    png_set_interlace_handling(r->Png);
    png_read_update_info(r->Png, r->Info);
    png_read_image(r->Png, rows);
    return true;
}

std::vector<png_bytep> RowTable(QImage& image) {
    std::vector<png_bytep> rows(size_t(image.height()));
    for (int y = 0; y < image.height(); ++y)
        rows[size_t(y)] = image.scanLine(y);
    return rows;
}

QImage NewQImage(int w, int h, QImage::Format format) {
    QImage image(w, h, format);
    if (image.isNull()) throw std::bad_alloc();
    return image;
}

// Bits per pixel of the decoded picture as the dialogs report it.
int DecodedDepth(const TPngHeader& h) {
    if (h.ColorType == PNG_COLOR_TYPE_PALETTE || h.ColorType == PNG_COLOR_TYPE_GRAY) {
        if (h.BitDepth == 1) return 1;
        if (h.BitDepth <= 4) return 4;
        return 8;
    }
    return 24;
}

// Palette or grey samples, one byte each, turned into 24-bit pixels through a table.
TBitmap FromSamples(const TPngHeader& h, TPngReader& r) {
    std::vector<uint8_t> samples(size_t(h.Width) * h.Height);
    std::vector<png_bytep> rows(h.Height);
    for (png_uint_32 y = 0; y < h.Height; ++y)
        rows[y] = samples.data() + size_t(y) * h.Width;
    if (!ReadRows(&r, rows.data(), false, false)) throw ETaveluneError("PNG: bad image data");

    std::array<TTriple, 256> table{}; // indices past the palette show black
    bool transparent = false;
    TColor key = 0;
    if (h.ColorType == PNG_COLOR_TYPE_PALETTE) {
        for (int i = 0; i < h.PaletteSize; ++i)
            table[size_t(i)] = {h.Palette[i].blue, h.Palette[i].green, h.Palette[i].red};
        // Transparent as a colour key only when every tRNS entry is 0 or 255.
        bool binary = h.TransCount > 0;
        int first = -1;
        for (int i = 0; i < h.TransCount; ++i) {
            if (h.TransAlpha[i] != 0 && h.TransAlpha[i] != 255) binary = false;
            if (h.TransAlpha[i] == 0 && first < 0) first = i;
        }
        if (binary && first >= 0) {
            transparent = true;
            TTriple keyTriple = table[size_t(first)];
            // An opaque entry of the same colour would turn transparent too: use the key colour.
            for (int i = 0; i < 256; ++i) {
                const bool clear = i < h.TransCount && h.TransAlpha[i] == 0;
                if (!clear && i < h.PaletteSize && table[size_t(i)] == keyTriple)
                    keyTriple = ColorToTriple(TransparentKeyColour);
            }
            for (int i = 0; i < h.TransCount; ++i)
                if (h.TransAlpha[i] == 0) table[size_t(i)] = keyTriple;
            key = RGBColor(keyTriple.r, keyTriple.g, keyTriple.b);
        }
    } else {
        const int maxValue = h.BitDepth >= 8 ? 255 : (1 << h.BitDepth) - 1;
        for (int v = 0; v <= maxValue; ++v) {
            const uint8_t g = uint8_t(v * 255 / maxValue);
            table[size_t(v)] = TTriple{g, g, g};
        }
        if (h.TransCount > 0) {
            const int g = h.BitDepth == 16 ? h.TransColor.gray >> 8 : h.TransColor.gray;
            if (g <= maxValue) {
                transparent = true;
                const uint8_t v = uint8_t(g * 255 / maxValue);
                key = RGBColor(v, v, v);
            }
        }
    }

    QImage image = NewQImage(int(h.Width), int(h.Height), QImage::Format_BGR888);
    for (png_uint_32 y = 0; y < h.Height; ++y) {
        const uint8_t* s = rows[y];
        uint8_t* d = image.scanLine(int(y));
        for (png_uint_32 x = 0; x < h.Width; ++x, d += 3) {
            const TTriple t = table[s[x]];
            d[0] = t.b;
            d[1] = t.g;
            d[2] = t.r;
        }
    }
    TBitmap picture(std::move(image));
    picture.SetTransparent(transparent);
    if (transparent) picture.SetTransparentColor(key);
    return picture;
}

// ---- writing

struct TPngWriter {
    png_structp Png = nullptr;
    png_infop Info = nullptr;
    std::vector<uint8_t> Out;
    ~TPngWriter() { png_destroy_write_struct(&Png, Info ? &Info : nullptr); }
};

void PngWrite(png_structp png, png_bytep data, size_t n) {
    auto* w = static_cast<TPngWriter*>(png_get_io_ptr(png));
    bool ok = true;
    try {
        w->Out.insert(w->Out.end(), data, data + n);
    } catch (...) {
        ok = false;
    }
    if (!ok) png_error(png, "out of memory");
}

void PngFlush(png_structp) {}

bool WriteRows(TPngWriter* w, png_uint_32 width, png_uint_32 height, png_bytepp rows) {
    if (setjmp(png_jmpbuf(w->Png))) return false;
    png_set_write_fn(w->Png, w, PngWrite, PngFlush);
    png_set_IHDR(w->Png, w->Info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_filter(w->Png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
    png_set_compression_level(w->Png, 0);
    png_write_info(w->Png, w->Info);
    png_set_bgr(w->Png);
    png_write_image(w->Png, rows);
    png_write_end(w->Png, nullptr);
    return true;
}

void ReadPng(const TReadInput& input, TGraphic& graphic) {
    graphic.Picture = DecodePng(input.Bytes, &graphic.IccProfile);
}

// The iCCP profile, inflated by libpng within its chunk size limit; none when an sRGB chunk says
// the pixels are sRGB already.
QByteArray EmbeddedProfile(const TPngReader& r) {
    if (png_get_valid(r.Png, r.Info, PNG_INFO_sRGB)) return {};
    png_charp name = nullptr;
    int compression = 0;
    png_bytep profile = nullptr;
    png_uint_32 length = 0;
    if (!png_get_iCCP(r.Png, r.Info, &name, &compression, &profile, &length) || !profile ||
        length > png_uint_32(kMaxIccProfileSize))
        return {};
    return QByteArray(reinterpret_cast<const char*>(profile), qsizetype(length));
}

std::vector<uint8_t> WritePng(const TGraphic& graphic) {
    return EncodePng(graphic.Picture);
}

} // namespace

const TGraphicClass gcPng{"TPngImage", ReadPng, WritePng};

TBitmap DecodePng(TBytes data, QByteArray* iccProfile) {
    TPngReader r;
    r.Png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, PngError, PngWarning);
    if (!r.Png) throw std::bad_alloc();
    r.Info = png_create_info_struct(r.Png);
    if (!r.Info) throw std::bad_alloc();
    r.Source = {data.data(), data.size(), 0};
    png_set_chunk_malloc_max(r.Png, png_alloc_size_t(kMaxIccProfileSize));

    TPngHeader h{};
    if (!ReadHeader(&r, &h)) throw ETaveluneError("PNG: bad header");
    CheckImageSize(h.Width, h.Height);
    if (iccProfile) *iccProfile = EmbeddedProfile(r);

    if (h.ColorType & PNG_COLOR_MASK_ALPHA) {
        QImage image = NewQImage(int(h.Width), int(h.Height), QImage::Format_ARGB32);
        std::vector<png_bytep> rows = RowTable(image);
        if (!ReadRows(&r, rows.data(), true, false)) throw ETaveluneError("PNG: bad image data");
        TBitmap picture(std::move(image));
        picture.SetFoundBitDepth(32);
        return picture;
    }
    if (h.ColorType == PNG_COLOR_TYPE_RGB) {
        QImage image = NewQImage(int(h.Width), int(h.Height), QImage::Format_BGR888);
        std::vector<png_bytep> rows = RowTable(image);
        if (!ReadRows(&r, rows.data(), false, true)) throw ETaveluneError("PNG: bad image data");
        TBitmap picture(std::move(image));
        if (h.TransCount > 0) {
            const auto eight = [&](png_uint_16 v) { return h.BitDepth == 16 ? v >> 8 : v; };
            picture.SetTransparent(true);
            picture.SetTransparentColor(RGBColor(eight(h.TransColor.red), eight(h.TransColor.green),
                                                 eight(h.TransColor.blue)));
        }
        picture.SetFoundBitDepth(24);
        return picture;
    }
    TBitmap picture = FromSamples(h, r);
    picture.SetFoundBitDepth(DecodedDepth(h));
    return picture;
}

std::vector<uint8_t> EncodePng(const TBitmap& picture) {
    if (picture.Empty()) throw ETaveluneError("PNG: empty picture");
    TBitmap converted;
    const TBitmap* src = &ReadAs24(picture, converted);
    TPngWriter w;
    w.Png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, PngError, PngWarning);
    if (!w.Png) throw std::bad_alloc();
    w.Info = png_create_info_struct(w.Png);
    if (!w.Info) throw std::bad_alloc();
    // libpng copies each row before transforming it, so the rows are only read.
    std::vector<png_bytep> rows(size_t(src->Height()));
    for (int y = 0; y < src->Height(); ++y)
        rows[size_t(y)] = const_cast<png_bytep>(src->ScanLine(y));
    if (!WriteRows(&w, png_uint_32(src->Width()), png_uint_32(src->Height()), rows.data()))
        throw ETaveluneError("PNG: cannot encode");
    return std::move(w.Out);
}
