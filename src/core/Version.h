// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The program's version (the build's project version) and what "--version" prints.

#include <QString>

extern const char* const kTaveluneVersion;

// "<program> <version>", the rights notice and the licence, one per line.
QString VersionText(const QString& program);
