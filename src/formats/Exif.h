// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// EXIF metadata of photographs: the orientation that turns a picture upright on opening, and
// the camera and date lines of the open dialog's information text. Nothing here ever fails:
// an unreadable or damaged file simply has no metadata.

#include "formats/ExifMetadata.h"

#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <span>

// The orientation value 1..8, or 0 when the file has no EXIF block, no Orientation tag, or
// cannot be read, and for formats whose reader applies their own orientation (HEIF, AVIF,
// JPEG XL), where the EXIF tag only repeats what the picture already shows.
int ReadExifOrientation(const QString& fileName);
// False for the formats whose reader applies their own orientation.
bool OrientationFromExif(const QString& fileName);

// JPEG, TIFF and camera RAW names, and the formats whose library finds an EXIF block (WebP,
// AVIF, HEIF, JPEG XL).
bool HasExifName(const QString& fileName);

// Up to three lines joined by a carriage return: maker and model (or the software), then the
// date in the date display format; empty when nothing applies. Camera RAW names give the RAW
// component's information text instead.
QString ExifInfoText(const QString& fileName);
QString ExifInfoText(const QString& fileName, const QLocale& locale);

// The metadata of a file of one of those names (camera RAW aside); no block for any other name
// or an unreadable file.
TExifMetadata ReadExifMetadata(const QString& fileName);
// The same from the file's bytes already in memory (the name tells the format).
TExifMetadata ExifMetadataFromBytes(const QString& fileName, std::span<const uint8_t> bytes);

int ExifOrientation(const TExifMetadata& metadata);
// The orientation of an EXIF block as a load found it (OptionsOE().ExifBlock); 0 when none.
int ExifOrientation(const QByteArray& block);
QString ExifInfoLines(const TExifMetadata& metadata, const QLocale& locale);

// "yyyy:mm:dd hh:nn:ss" read by character positions; 30 December 1899 00:00 when the text
// does not read that way.
QDateTime ExifDateTime(const QString& text);

// An information line as shown: enclosing double quotes removed, control characters turned
// into spaces, blanks trimmed.
QString CleanInfoLine(QString line);
// The cleaned lines that are not empty, joined by carriage returns.
QString JoinInfoLines(const QStringList& lines);

// The RAW component's information text for a file name. Until one is installed, RAW names
// have an empty text, as when the decoder cannot be loaded.
using TRawInfoTextProvider = std::function<QString(const QString& fileName)>;
void SetRawInfoTextProvider(TRawInfoTextProvider provider);
