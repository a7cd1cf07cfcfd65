// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Graphic classes and graphic objects: what the registry maps an extension to, and what one
// load or save works on. A class names a format and carries its reader and writer; a reader
// turns the bytes of a file into the object's picture and throws ETaveluneError on bad input,
// a writer turns the picture into the bytes of a file.

#include "core/Bitmap.h"

#include <QByteArray>
#include <QString>
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <span>
#include <vector>

class TGraphic;
class IFrameSource;

struct TReadInput {
    QString FileName;               // for readers that need more than the bytes
    std::span<const uint8_t> Bytes; // the whole file
    bool Preview = false;           // a quick, possibly reduced picture is enough
    // Turn the picture into sRGB by its embedded profile. Decided by the caller and carried
    // with the input, since decoding may run away from the thread that asked for it.
    bool ColourManagement = true;
    // Which picture of a file holding several: the page of a multi-page file, the frame of an
    // animation (0-based). Readers of single pictures ignore it; past the last one fails.
    int ImageIndex = 0;
    // 2, 4 or 8: a picture this many times smaller on each side will do (JPEG decodes at that
    // scale, HEIF gives its smallest thumbnail at least that large, RAW its embedded preview or
    // nothing; other readers deliver the full size). The stored size is still reported.
    int Reduction = 1;
};

// The ink samples of a CMYK file, kept beside the picture when the file carries a profile so
// that the dispatcher can convert them with it. The picture itself then already holds the plain
// conversion that stands when colour management is off or the profile cannot be used.
struct TCmykSamples {
    int Width = 0;
    int Height = 0;
    bool Inverted = false;        // 255 means no ink (Adobe's writers); otherwise 0 does
    std::vector<uint8_t> Samples; // cyan, magenta, yellow, black per pixel; rows top-down, unpadded
    bool Empty() const { return Samples.empty(); }
};

using TGraphicReader = void (*)(const TReadInput& input, TGraphic& graphic);
using TGraphicWriter = std::vector<uint8_t> (*)(const TGraphic& graphic);
// The TIFF-structured EXIF block of a file, found without decoding its pixels; empty for none.
using TExifReader = QByteArray (*)(std::span<const uint8_t> bytes);
// The frame source of an animated file (formats/Animation.h); may answer nothing for a still.
using TAnimationOpener = std::unique_ptr<IFrameSource> (*)(QByteArray bytes);

// What a reader decodes reduced far cheaper than in full, found from the header alone.
struct TReducedDecoding {
    int Width = 0; // the size stored in the file
    int Height = 0;
    int Smallest = 0; // the smallest reduction (2, 4 or 8) given cheaply; 0: none
    bool Allows(int reduction) const { return Smallest > 0 && reduction >= Smallest; }
};
using TReductionProbe = TReducedDecoding (*)(std::span<const uint8_t> bytes);

// Whether a smaller picture of w x h is in the proportions of width x height: encoders round
// a thumbnail's sides, by two pixels either way at most.
inline bool InProportion(int64_t w, int64_t h, int64_t width, int64_t height) {
    return std::abs(w * height - h * width) <= 2 * std::max(width, height);
}

struct TGraphicClass {
    const char* Name;
    TGraphicReader Read = nullptr;  // none yet: loading fails with the load message
    TGraphicWriter Write = nullptr; // none: not a save format
    // Icons and metafiles are drawn onto the transparency key colour rather than copied.
    bool DrawnOnKey = false;
    // Formats whose EXIF block the information lines and the orientation read from the bytes.
    TExifReader ReadExif = nullptr;
    // The format carries its own orientation and its reader applies it, so an EXIF Orientation
    // tag in the file is not acted on again.
    bool OrientedByReader = false;
    TAnimationOpener OpenAnimation = nullptr;
    TReductionProbe ProbeReduction = nullptr; // none: never decoded reduced
};

class TGraphic {
public:
    explicit TGraphic(const TGraphicClass& cls) : m_class(&cls) {}

    const TGraphicClass& Class() const { return *m_class; }
    bool Is(const TGraphicClass& cls) const { return m_class == &cls; }

    TBitmap Picture;

    // Filled by readers that know the size stored in the file (0 = take the picture's).
    int FileWidth = 0;
    int FileHeight = 0;
    // How many pictures the file holds (pages, or frames when Animated), at least 1.
    int ImageCount = 1;
    bool Animated = false; // the pictures are frames of an animation
    int FrameDelay = 0;    // the delay of the frame read, in ms (animations)
    int LoopCount = 0;     // how often an animation plays, 0 for ever

    // What a reader found beside the pixels, handed on as stored; the dispatcher acts on them
    // (colour conversion, orientation, the information lines). Empty when the file has none.
    QByteArray IccProfile; // the embedded ICC profile
    QByteArray ExifBlock;  // the TIFF-structured EXIF block, from its byte-order mark on
    // Set only for a CMYK file with a profile, when the input asks for colour management.
    TCmykSamples Cmyk;

    // Writer settings of the JPEG writer (quality 1..100); the WebP writer takes the quality too,
    // 100 meaning lossless.
    int Quality = 90;
    bool Progressive = false;

private:
    const TGraphicClass* m_class;
};

// The graphic classes of the registry. Each codec file defines its own.
extern const TGraphicClass gcBitmap;   // bmp, rle, dib
extern const TGraphicClass gcIcon;     // ico
extern const TGraphicClass gcMetafile; // wmf, emf
extern const TGraphicClass gcJpeg;
extern const TGraphicClass gcTarga;
extern const TGraphicClass gcPcx;
extern const TGraphicClass gcRla;
extern const TGraphicClass gcSgi;
extern const TGraphicClass gcPsd;
extern const TGraphicClass gcPortableMap;
extern const TGraphicClass gcAutodesk;
extern const TGraphicClass gcPhotoCd;
extern const TGraphicClass gcDrHalo;
extern const TGraphicClass gcPaintShopPro;
extern const TGraphicClass gcTiff;
extern const TGraphicClass gcGif;
extern const TGraphicClass gcPng;
extern const TGraphicClass gcOxs;
extern const TGraphicClass gcOxi;
extern const TGraphicClass gcWebp; // webp
extern const TGraphicClass gcAvif; // avif, avifs
extern const TGraphicClass gcHeif; // heic, heif, hif
extern const TGraphicClass gcJxl;  // jxl
extern const TGraphicClass gcSvg;  // svg, svgz
// Not in the registry: camera RAW files, and the run-length bitmap writer.
extern const TGraphicClass gcRaw;
extern const TGraphicClass gcRleBitmap;
