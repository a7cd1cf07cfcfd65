// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// One folder's entries as the folder listings need them: the names of its files and of its
// subfolders (links followed), and an identity that is the same for every path to the folder.

#include <QString>
#include <QStringList>

struct TFolderContents {
    QString identity;    // empty when the folder cannot be read: then the lists are empty too
    QStringList files;   // regular files; broken links, pipes and devices are left out
    QStringList folders; // only when asked for
};

// folder is a path text with or without its final separator.
TFolderContents ReadFolder(const QString& folder, bool wantFolders);
