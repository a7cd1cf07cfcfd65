// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The EMF reader draws through the helper program tavelune-emf-render (the EMF on its standard
// input, the SVG on its standard output), so that libemf2svg never runs in this process: a
// crash or a hang in it cannot take the viewer down, and its licence (GPL version 2 only)
// never meets the LGPL version 3 libraries linked here. The helper runs with a time limit and
// a limit on its output; any failure of it ends in ETaveluneError, so in the load message.

#include "formats/ByteIO.h"

#include <QByteArray>
#include <QString>
#include <functional>

inline constexpr char kEmfHelperName[] = "tavelune-emf-render";

struct TEmfHelperLimits {
    int TimeoutMs = 20000;
    qint64 MaxOutputBytes = qint64(256) << 20; // as the WMF reader's SVG
};

// The helper program in the first of ProgramLibraryFolders() that holds it; empty when none.
QString FindEmfHelper();

// Runs the program on the bytes and returns what it wrote. Throws ETaveluneError when the
// program is missing or cannot start, is killed by a signal, exits with a status other than 0,
// runs out of time, or writes nothing or more than the limit (it is killed then).
QByteArray RunEmfHelper(const QString& program, TBytes emf, const TEmfHelperLimits& limits = {});

// What turns a checked EMF into SVG; by default RunEmfHelper(FindEmfHelper(), ...).
using TEmfDrawer = std::function<QByteArray(TBytes emf)>;
// Replaces the drawer for the whole process, before any file is read (tests; the fuzz programs
// draw in their own process); an empty function restores the helper program.
void SetEmfDrawer(TEmfDrawer drawer);
QByteArray DrawEmf(TBytes emf);
