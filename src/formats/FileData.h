// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Reading a whole file, and writing one so that a failure never harms what was there.

#include "core/AtomicFile.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <vector>

// The file's bytes; throws ETaveluneError when it cannot be read.
QByteArray ReadWholeFile(const QString& fileName);
