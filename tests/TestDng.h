// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Small DNG files written with libtiff for the camera RAW tests: a linear or colour filter array
// picture, with an uncompressed thumbnail or a JPEG preview in the first directory.

#include <QString>
#include <cstdint>
#include <tiffio.h>
#include <vector>

inline constexpr int kDngWidth = 64, kDngHeight = 48;
inline constexpr int kDngThumbWidth = 16, kDngThumbHeight = 12;

struct TDngSpec {
    // A red 8-bit RGB thumbnail of kDngThumbWidth x kDngThumbHeight.
    bool Thumbnail = false;
    // 16-bit linear sample of the left and right halves (the same value for all three).
    uint16_t Left = 0x2000, Right = 0x2000;
    // A colour filter array picture (red, green / green, blue) of 8-bit samples instead.
    bool Cfa = false;
    int Width = kDngWidth, Height = kDngHeight;
    // Linear samples, red, green and blue for each pixel, rows top-down, in place of the halves.
    std::vector<uint16_t> Samples = {};
    int Orientation = 0; // the TIFF tag; 0 writes none
    // A JPEG file stored as the preview, in place of the thumbnail, with the size its
    // directory gives.
    std::vector<uint8_t> Preview = {};
    int PreviewWidth = 0, PreviewHeight = 0;
};

inline void SetDngCameraTags(TIFF* t, const TDngSpec& s) {
    static const uint8_t version[4] = {1, 4, 0, 0};
    static const float identity[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
    static const float neutral[3] = {1, 1, 1};
    TIFFSetField(t, TIFFTAG_MAKE, "Tavelune");
    TIFFSetField(t, TIFFTAG_MODEL, "Test camera");
    TIFFSetField(t, TIFFTAG_DATETIME, "2009:07:14 18:30:05");
    TIFFSetField(t, TIFFTAG_DNGVERSION, version);
    TIFFSetField(t, TIFFTAG_UNIQUECAMERAMODEL, "Tavelune Test camera");
    TIFFSetField(t, TIFFTAG_COLORMATRIX1, uint16_t(9), identity);
    TIFFSetField(t, TIFFTAG_ASSHOTNEUTRAL, uint16_t(3), neutral);
    if (s.Orientation) TIFFSetField(t, TIFFTAG_ORIENTATION, uint16_t(s.Orientation));
}

inline void WriteDngCfa(TIFF* t, const TDngSpec& s) {
    static const uint16_t dim[2] = {2, 2};
    static const uint8_t pattern[4] = {0, 1, 1, 2};
    TIFFSetField(t, TIFFTAG_SUBFILETYPE, 0);
    TIFFSetField(t, TIFFTAG_IMAGEWIDTH, s.Width);
    TIFFSetField(t, TIFFTAG_IMAGELENGTH, s.Height);
    TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, 1);
    TIFFSetField(t, TIFFTAG_PHOTOMETRIC, 32803); // colour filter array
    TIFFSetField(t, TIFFTAG_CFAREPEATPATTERNDIM, dim);
    TIFFSetField(t, TIFFTAG_CFAPATTERN, uint16_t(4), pattern);
    TIFFSetField(t, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(t, TIFFTAG_COMPRESSION, COMPRESSION_NONE);
    TIFFSetField(t, TIFFTAG_ROWSPERSTRIP, 64);
    const std::vector<uint8_t> row(size_t(s.Width), 0x60);
    for (int y = 0; y < s.Height; ++y)
        TIFFWriteScanline(t, const_cast<uint8_t*>(row.data()), uint32_t(y), 0);
}

inline void WriteDngRaw(TIFF* t, const TDngSpec& s) {
    if (s.Cfa) return WriteDngCfa(t, s);
    TIFFSetField(t, TIFFTAG_SUBFILETYPE, 0);
    TIFFSetField(t, TIFFTAG_IMAGEWIDTH, s.Width);
    TIFFSetField(t, TIFFTAG_IMAGELENGTH, s.Height);
    TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, 16);
    TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, 3);
    TIFFSetField(t, TIFFTAG_PHOTOMETRIC, 34892); // linear raw
    TIFFSetField(t, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(t, TIFFTAG_COMPRESSION, COMPRESSION_NONE);
    TIFFSetField(t, TIFFTAG_ROWSPERSTRIP, s.Height);
    const size_t rowSamples = size_t(s.Width) * 3;
    std::vector<uint16_t> row(rowSamples);
    for (int y = 0; y < s.Height; ++y) {
        for (size_t i = 0; i < rowSamples; ++i)
            row[i] = !s.Samples.empty()         ? s.Samples[size_t(y) * rowSamples + i]
                     : int(i / 3) < s.Width / 2 ? s.Left
                                                : s.Right;
        TIFFWriteScanline(t, row.data(), uint32_t(y), 0);
    }
}

// The first directory of a file with a thumbnail or preview: a reduced picture.
inline void WriteDngReduced(TIFF* t, const TDngSpec& s) {
    const bool jpeg = !s.Preview.empty();
    const int w = jpeg ? s.PreviewWidth : kDngThumbWidth;
    const int h = jpeg ? s.PreviewHeight : kDngThumbHeight;
    TIFFSetField(t, TIFFTAG_SUBFILETYPE, FILETYPE_REDUCEDIMAGE);
    TIFFSetField(t, TIFFTAG_IMAGEWIDTH, w);
    TIFFSetField(t, TIFFTAG_IMAGELENGTH, h);
    TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, 3);
    TIFFSetField(t, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
    TIFFSetField(t, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(t, TIFFTAG_COMPRESSION, jpeg ? COMPRESSION_JPEG : COMPRESSION_NONE);
    TIFFSetField(t, TIFFTAG_ROWSPERSTRIP, h);
    SetDngCameraTags(t, s);
    uint64_t sub[1] = {0};
    TIFFSetField(t, TIFFTAG_SUBIFD, uint16_t(1), sub);
    if (jpeg) {
        // Stored as it is: the JPEG file is the strip.
        TIFFWriteRawStrip(t, 0, const_cast<uint8_t*>(s.Preview.data()), tmsize_t(s.Preview.size()));
        return;
    }
    std::vector<uint8_t> row(size_t(w) * 3);
    for (int x = 0; x < w; ++x)
        row[size_t(x) * 3] = 200;
    for (int y = 0; y < h; ++y)
        TIFFWriteScanline(t, row.data(), uint32_t(y), 0);
}

// The raw picture sits in the first directory, or with a thumbnail or preview in its
// sub-directory.
inline bool WriteDng(const QString& path, const TDngSpec& s) {
    TIFF* t = TIFFOpen(path.toLocal8Bit().constData(), "w");
    if (!t) return false;
    if (s.Thumbnail || !s.Preview.empty()) {
        WriteDngReduced(t, s);
        TIFFWriteDirectory(t);
    } else {
        SetDngCameraTags(t, s);
    }
    WriteDngRaw(t, s);
    TIFFWriteDirectory(t);
    TIFFClose(t);
    return true;
}
