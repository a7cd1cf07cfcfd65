// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Renaming, copying and moving files without ever replacing one that exists. Each returns 0 on
// success or the error number that stopped it (EEXIST when the target exists); a failure leaves
// the source where it was and no partial file behind.

#include <QString>

// A rename that fails when the target exists (also across folders of one file system; EXDEV
// across file systems).
int RenameNoReplace(const QString& from, const QString& to);

// Copies a regular file's bytes, permissions and dates through a temporary file beside the
// target, flushed to the disk before it takes the target's name.
int CopyNoReplace(const QString& from, const QString& to);

// A rename, or across file systems a flushed copy followed by the removal of the source; when
// the source cannot be removed the copy is removed again.
int MoveNoReplace(const QString& from, const QString& to);

// The folder of a file path, flushed so that a rename or removal in it survives a crash.
void SyncFolderOf(const QString& path);
