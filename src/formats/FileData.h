#pragma once
// Reading a whole file, and writing one so that a failure never harms what was there.

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <vector>

// The file's bytes; throws ETaveluneError when it cannot be read.
QByteArray ReadWholeFile(const QString& fileName);

// Writes into a temporary file beside the target and renames it over the target only when
// everything was written; on failure the target is untouched and the temporary file removed.
// Throws ETaveluneError on failure.
void WriteFileAtomically(const QString& fileName, const std::vector<uint8_t>& bytes);
