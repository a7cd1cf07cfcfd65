// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Camera RAW files through the decoder library (libtavelune_raw), loaded once at run time from
// the program's folder or the installed library folder. While it is not loaded every RAW
// operation fails with "DLL not loaded".

#include "core/Bitmap.h"
#include "formats/ByteIO.h"

#include <QString>
#include <QStringList>

// A picture taller than this is decoded at half its width and height instead; one still taller
// at half size is not decoded.
inline constexpr int kMaxRawHeight = 10000;

struct TRawFileInfo {
    int Width = 0, Height = 0; // of the picture a full decode delivers
    QString Maker, Model;
    QString Date; // "yyyy:mm:dd hh:nn:ss", or empty
    int IsoSpeed = 0;
    float ExposureTime = 0, Aperture = 0, FocalLength = 0;
};

// The folders searched for the library, in order.
QStringList RawLibraryFolders();
// Replaces the folders and forgets the library found so far: the next RAW operation looks
// again. An empty list restores the default folders.
void SetRawLibraryFolders(const QStringList& folders);
// Loads the library on first use; false while it cannot be loaded.
bool RawLibraryLoaded();

// Each throws ETaveluneError: "DLL not loaded", or "Error in decoding RAW image. Error code = "
// with the library's code (-1 when it aborted).
TRawFileInfo ReadRawInfo(TBytes data, const QString& fileName, bool halfSize = false);
// A 24-bit picture of the size RawInfo reported (with the same halfSize).
TBitmap DecodeRaw(TBytes data, const QString& fileName, int width, int height,
                  bool halfSize = false);
// The embedded thumbnail, read through a temporary file that is always removed.
TBitmap RawThumbnail(TBytes data, const QString& fileName);

// Maker, model and date of a RAW file, cleaned and joined by carriage returns; empty when the
// library is not loaded or the file cannot be read.
QString RawInfoText(const QString& fileName);
// Makes RawInfoText the EXIF layer's text for RAW names; done once at start-up already.
void InstallRawInfoText();
