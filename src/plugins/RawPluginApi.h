// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The calling interface of the camera RAW decoder library (libtavelune_raw), a shared object
// the viewer loads at run time and looks up by the entry names "RawInfo", "FromRawToPSD" and
// "ExtractThumbnail", and "RawOrientation" where the library has it (older builds do not: the
// host then does without what needs it). Plain C types only, so either side can be rebuilt
// alone.
//
// Files. The library never opens a file itself: every access goes through the host's callback
// table. Open returns a handle for the name and mode ("rb" to read the RAW file, "wb" to write
// a thumbnail) or null; the library keeps the handle it opened in the caller's file slot, so
// the host can close what an aborted call left open. Read, Write, Seek, Tell and Eof follow
// fread, fwrite, fseek (0 on success), ftell and feof; Gets and Getc follow fgets and fgetc;
// Puts and Putc follow fputs and fputc.
//
// Results. Every entry returns 0 on success, otherwise a non-zero code (LibRaw's own negative
// error codes, or one of the codes below); the abort flag is set to 1 when the call stopped
// because of a failure, 0 otherwise. Text buffers always come back terminated.
//
// Texts. Maker and model are at most 1000 characters plus the terminator (buffers of
// kRawMakerSize bytes), the date at most 30 (kRawDateSize): "yyyy:mm:dd hh:nn:ss" in local
// time, or empty when the file has none.

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

enum {
    kRawMakerSize = 1001,
    kRawModelSize = 1001,
    kRawDateSize = 31,
};

// Codes of the library's own besides LibRaw's.
enum {
    kRawErrorBadArguments = 1, // a null pointer or a size that does not match the file
    kRawErrorNoThumbnail = 2,  // the file has no thumbnail the library can write
    kRawErrorWrite = 3,        // the output could not be written
    kRawErrorInternal = 4,     // an unexpected failure inside the library
};

// Thumbnail kinds reported through TRawOptions.ThumbnailKind.
enum {
    kRawThumbNone = 0,
    kRawThumbJpeg = 1,
    kRawThumbPpm = 2,
    kRawThumbTiff = 3,
};

typedef struct TRawFileCallbacks {
    void* Context; // passed back to every callback
    void* (*Open)(void* context, const char* name, const char* mode);
    int (*Close)(void* context, void* file);
    size_t (*Read)(void* context, void* file, void* buffer, size_t size, size_t count);
    size_t (*Write)(void* context, void* file, const void* buffer, size_t size, size_t count);
    int (*Seek)(void* context, void* file, int64_t offset, int whence);
    int64_t (*Tell)(void* context, void* file);
    int (*Eof)(void* context, void* file);
    char* (*Gets)(void* context, void* file, char* line, int size);
    int (*Getc)(void* context, void* file);
    int (*Puts)(void* context, void* file, const char* line);
    int (*Putc)(void* context, void* file, int c);
} TRawFileCallbacks;

// Shooting data of the file (0 where unknown).
typedef struct TRawNumbers {
    int32_t IsoSpeed;
    float ExposureTime; // seconds
    float Aperture;     // f-number
    float FocalLength;  // millimetres
} TRawNumbers;

typedef struct TRawOptions {
    int32_t Thumbnail;     // in: 1 = write the embedded thumbnail to the output name
    int32_t ThumbnailKind; // out: kRawThumbJpeg, kRawThumbPpm or kRawThumbTiff
    int32_t HalfSize;      // in: 1 = decode at half the width and height
} TRawOptions;

// stage 0 at the start (total 100, done 0), 1 while running (done of total), 2 at the end.
typedef void (*TRawProgress)(int32_t stage, int32_t total, int32_t done);

// The size of the picture a full decode delivers (turned as the camera says; halved with
// halfSize), the shooting data and the texts.
typedef int32_t (*TRawInfoEntry)(const TRawFileCallbacks* io, void** fileSlot, TRawNumbers* numbers,
                                 const char* fileName, int32_t halfSize, int32_t* width,
                                 int32_t* height, char* maker, char* model, char* date,
                                 int32_t* abortFlag);

// Full decode (empty output name, options->Thumbnail 0): 24-bit pixels, bytes blue, green,
// red, into rows[0..height-1], each at least 3 * width bytes; width and height must be those
// RawInfo reported. Thumbnail (options->Thumbnail 1): the embedded thumbnail is written to
// outputName and its kind reported; rows may be null and width and height 0.
typedef int32_t (*TFromRawToPsdEntry)(const TRawFileCallbacks* io, void** fileSlot,
                                      TRawNumbers* numbers, TRawProgress progress,
                                      const char* inputName, const char* outputName,
                                      TRawOptions* options, uint8_t** rows, int32_t width,
                                      int32_t height, char* maker, char* model, char* date,
                                      int32_t* abortFlag);

// The embedded thumbnail written to outputName, its kind in *kind.
typedef int32_t (*TExtractThumbnailEntry)(const TRawFileCallbacks* io, void** fileSlot,
                                          const char* inputName, const char* outputName,
                                          int32_t* kind, int32_t* abortFlag);

// How a full decode turns the stored picture (LibRaw's flip, 0 to 7): 0 not at all, 3 half a
// turn, 5 a quarter turn anticlockwise, 6 a quarter turn clockwise. Pixel (row, column) of the
// turned picture is stored at (column, row) with bit 4, else at (row, column), the stored row
// counted from the bottom with bit 2 and the stored column from the right with bit 1. Cameras
// store the embedded thumbnail unturned.
typedef int32_t (*TRawOrientationEntry)(const TRawFileCallbacks* io, void** fileSlot,
                                        const char* fileName, int32_t* flip, int32_t* abortFlag);

#ifdef __cplusplus
}
#endif
