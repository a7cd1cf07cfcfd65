// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Reading a whole file, and writing one so that a failure never harms what was there.

#include "core/AtomicFile.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <vector>

// What tells a file's versions apart cheaply: its size and modification time.
struct TFileStamp {
    qint64 Size = -1; // -1: no such file
    qint64 ModifiedMs = 0;
    friend bool operator==(const TFileStamp&, const TFileStamp&) = default;
};
TFileStamp FileStampOf(const QString& fileName);

// The file's bytes; throws ETaveluneError when it cannot be read. With stamp, also the size
// and modification time of the file the bytes came from.
QByteArray ReadWholeFile(const QString& fileName, TFileStamp* stamp = nullptr);
