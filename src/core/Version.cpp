// SPDX-License-Identifier: GPL-2.0-or-later
#include "core/Version.h"

#ifndef TAVELUNE_VERSION
#error "The build gives the version (TAVELUNE_VERSION)"
#endif

const char* const kTaveluneVersion = TAVELUNE_VERSION;

QString VersionText(const QString& program) {
    return program + QLatin1Char(' ') + QLatin1String(kTaveluneVersion) +
           QStringLiteral("\n"
                          "Copyright (c) 2026 the Tavelune developers\n"
                          "License GPL-2.0-or-later: GNU GPL version 2 or later "
                          "<https://gnu.org/licenses/gpl.html>.\n"
                          "This is free software: you are free to change and redistribute it.\n"
                          "There is NO WARRANTY, to the extent permitted by law.\n");
}
