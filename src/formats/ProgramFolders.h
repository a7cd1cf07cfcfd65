// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Where the program's own parts that are not in its executable are looked for: the camera RAW
// decoder library and the EMF drawing helper program.

#include <QStringList>

// Beside the program first (a build folder or a portable copy), then the private library
// folder of the install tree the program sits in (<prefix>/<libdir>/tavelune, found from the
// program's folder, so a moved install tree still finds its parts), then the private library
// folder of the prefix the program was built for. Without an application object, only the
// last.
QStringList ProgramLibraryFolders();
