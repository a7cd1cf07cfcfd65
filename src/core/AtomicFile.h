// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The one way the program writes a file: the new content goes to a temporary file beside the
// target, is flushed and synced to disk with every step checked, and only then renamed over
// the target. A failure at any step leaves the target as it was and no temporary file behind.

#include <QByteArrayView>
#include <QString>

// Replaces (or creates) fileName with bytes. A symbolic link is followed, so the file it
// points to gets the new content; an existing file keeps its permissions. Throws
// ETaveluneError, naming the step that failed.
void WriteFileAtomically(const QString& fileName, QByteArrayView bytes);
