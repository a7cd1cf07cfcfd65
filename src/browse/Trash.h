// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The desktop's trash (the freedesktop.org trash of the user's home): a file sent there stays
// recoverable, with a ".trashinfo" record of where it came from and when.

#include <QDateTime>
#include <QString>

// $XDG_DATA_HOME/Trash, or ~/.local/share/Trash when that variable is unset or not absolute.
QString HomeTrashFolder();

struct TTrashResult {
    int Error = 0;    // 0 when the file is in the trash; otherwise it is where it was
    QString FilePath; // where it went: <trash>/files/<name>
    QString InfoPath; // <trash>/info/<name>.trashinfo
};

// The text of a ".trashinfo" record.
QByteArray TrashInfoText(const QString& originalPath, const QDateTime& deleted);

// Moves the file into trashFolder's "files" folder under a free name (the file's own name, else
// "name 2.ext", "name 3.ext"...), after writing its record into "info"; both folders are made
// when missing. Files of other file systems are copied there, then removed. The outcome is
// checked on disk: the file must be in the trash and gone from its folder.
TTrashResult MoveToTrash(const QString& path, const QString& trashFolder,
                         const QDateTime& deleted = QDateTime::currentDateTime());
