#pragma once
// Graphic classes and graphic objects: what the registry maps an extension to, and what one
// load or save works on. A class names a format and carries its reader and writer; a reader
// turns the bytes of a file into the object's picture and throws ETaveluneError on bad input,
// a writer turns the picture into the bytes of a file.

#include "core/Bitmap.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <span>
#include <vector>

class TGraphic;

struct TReadInput {
    QString FileName;               // for readers that need more than the bytes
    std::span<const uint8_t> Bytes; // the whole file
    bool Preview = false;           // a quick, possibly reduced picture is enough
    // 2, 4 or 8: a picture this many times smaller on each side will do (JPEG decodes at that
    // scale; other readers deliver the full size). The stored size is still reported.
    int Reduction = 1;
};

using TGraphicReader = void (*)(const TReadInput& input, TGraphic& graphic);
using TGraphicWriter = std::vector<uint8_t> (*)(const TGraphic& graphic);

struct TGraphicClass {
    const char* Name;
    TGraphicReader Read = nullptr;  // none yet: loading fails with the load message
    TGraphicWriter Write = nullptr; // none: not a save format
    // Icons and metafiles are drawn onto the transparency key colour rather than copied.
    bool DrawnOnKey = false;
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
    bool Animated = false;

    // What a reader found beside the pixels, handed on as stored; the dispatcher acts on them
    // (colour conversion, orientation, the information lines). Empty when the file has none.
    QByteArray IccProfile; // the embedded ICC profile
    QByteArray ExifBlock;  // the TIFF-structured EXIF block, from its byte-order mark on

    // Writer settings of the JPEG writer (quality 1..100).
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
// Not in the registry: camera RAW files, and the run-length bitmap writer.
extern const TGraphicClass gcRaw;
extern const TGraphicClass gcRleBitmap;
