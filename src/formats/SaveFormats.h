// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The table of save formats, the filters of the open and save dialogs, and the lookup of a
// file name's save format.

#include <QString>
#include <vector>

struct TFiltres {
    QString Extensions;  // ".jpg;.jpeg;.jpe;.jfif" (at most 40 characters)
    QString Description; // "JPEG" (at most 100 characters)
};

// Filled at start-up in a fixed order (BMP, GIF, JPEG, Ostrevalden, PNG, RLE, Targa, TIFF).
const std::vector<TFiltres>& SaveFormats();
void FillSaveFormats();
void ClearSaveFormats();

QString BuildOpenFilter(bool allImages, bool registryAll, bool commonImages, bool dropLongMasks);
QString BuildSaveFilter();
// 0-based index of the save format whose extension list contains the name's lower-cased
// extension, searching from the last; -1 for none or no extension.
int FindSaveFilterIndex(const QString& fileName);
