#pragma once
// Format tests on file names: each takes the name's extension (from the last dot of the file
// part, dot included), lower-cases it and compares. An empty extension fails every test.

#include <QString>

// ".JPG" for "/a/b/photo.JPG"; empty when the file part has no dot.
QString FileExtension(const QString& fileName);
QString LowerExtension(const QString& fileName);

// True when the extension occurs anywhere inside the picture factory's masks of the JPEG
// class, so a leading piece such as ".jp" passes too.
bool IsJpegName(const QString& fileName);
bool IsTiffName(const QString& fileName); // .tif, .tiff, .fax
bool IsRawName(const QString& fileName);  // the camera RAW extensions
bool IsPngName(const QString& fileName);
bool IsGifName(const QString& fileName);
bool IsOxiName(const QString& fileName);
bool IsOxsName(const QString& fileName);
bool IsBmpName(const QString& fileName); // .bmp, .dib
bool IsRleName(const QString& fileName);
bool IsTgaName(const QString& fileName);
bool IsIcoName(const QString& fileName);
bool IsMetafileName(const QString& fileName); // .wmf, .emf
bool IsWebpName(const QString& fileName);

// The camera RAW extension table: extension lists without dots, separated by ";".
struct TRawFilter {
    const char* Extensions;
    const char* Description;
};
extern const TRawFilter RawFilters[12];
