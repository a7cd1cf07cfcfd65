// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Folder listings for the image list: the files of one folder, or of a folder and all its
// subfolders, that match a mask such as "*.png;*.jpg", in a case-insensitive name order.

#include "browse/ImageExtensions.h"

#include <QString>
#include <QStringList>

// The mask's extensions, lower-cased and without dot: "*.PNG; *.jpg" gives png, jpg. Spaces are
// removed first; patterns that are not of the form "*.ext" contribute nothing.
QStringList MaskExtensions(const QString& mask);

// The folder with a path separator at its end.
QString FolderWithSeparator(const QString& folder);
// The folder joined with a name, with exactly one separator between them.
QString JoinPath(const QString& folder, const QString& name);

// Sorts without regard to letter case; texts that differ only in case keep a fixed order.
void SortNamesCaseInsensitive(QStringList& names);
// The order of SortNamesCaseInsensitive and of the listings below.
bool NameLessCaseInsensitive(const QString& a, const QString& b);

// Names of the files directly inside folder whose extension is one of the mask's and passes
// accept; hidden files and folders are left out. Empty when the folder does not exist.
QStringList ListFolder(const QString& folder, const QString& mask,
                       const TExtensionFilter& accept = IsRegisteredImageExtension);

// Full paths (folder as given + name) of the matching files of folder, hidden ones included,
// and with includeSubfolders of every subfolder whose name does not begin with ".", sorted by
// the whole path text. Folder links are followed, but each real folder is read once, so links
// that lead back into the tree cannot make the scan loop.
QStringList ScanFolder(const QString& folder, const QString& mask, bool includeSubfolders,
                       const TExtensionFilter& accept = IsRegisteredImageExtension);
