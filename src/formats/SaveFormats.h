#pragma once
// The table of save formats, the filters of the open and save dialogs, and the lookup of a
// file name's save format.

#include <QString>
#include <vector>

struct TFiltres {
    QString Extensions;  // ".jpg;.jpeg;.jpe;.jfif" (at most 40 characters)
    QString Description; // "JPEG" (at most 100 characters)
};

// The masks of the "Common images" entry of the open filters, and the folder mask at start-up.
inline constexpr char kCommonImageMasks[] = "*.png;*.jpg;*.jpeg;*.tif;*.tiff;*.tga;*.bmp;*.gif;"
                                            "*.oxi;*.webp;*.avif;*.heic;*.heif;*.jxl;*.svg";

// Filled at start-up in a fixed order (BMP, GIF, JPEG, PNG, RLE, Targa, TIFF, WebP): the
// writable formats only.
const std::vector<TFiltres>& SaveFormats();
void FillSaveFormats();
void ClearSaveFormats();

QString BuildOpenFilter(bool allImages, bool registryAll, bool commonImages, bool dropLongMasks);
QString BuildSaveFilter();
// 0-based index of the save format whose extension list contains the name's lower-cased
// extension, searching from the last; -1 for none or no extension.
int FindSaveFilterIndex(const QString& fileName);
