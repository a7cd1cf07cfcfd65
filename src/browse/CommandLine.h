// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The program's arguments: the slideshow switch and the one argument the viewer opens.

#include <QString>
#include <QStringList>
#include <functional>

// Whether a file or folder exists under a path.
using TPathExists = std::function<bool(const QString& path)>;
bool PathExists(const QString& path);

// A switch begins with "-" or "/". Absolute paths begin with "/" too and are not switches: an
// argument beginning with "/" is a switch only when nothing exists under it.
bool IsSwitchArgument(const QString& argument, const TPathExists& exists = PathExists);

// -1 when no switch sets the slideshow; else 1 or 0 from the last "diaporama=" switch with a
// value it knows ("1", "oui", "0", "non", any letter case).
int ReadSlideshowSwitch(const QStringList& arguments, const TPathExists& exists = PathExists);

// The first argument that is neither a switch nor a theme file; empty when there is none.
QString OpenArgument(const QStringList& arguments, const TPathExists& exists = PathExists);

// "--help" and "--version" ask for the usage or the version instead of a window; as for the
// "/" switches, an argument is taken so only when nothing exists under that name. The first
// such argument counts.
enum class TInfoRequest { None, Help, Version };
TInfoRequest ReadInfoRequest(const QStringList& arguments, const TPathExists& exists = PathExists);

// What "--help" prints.
QString ViewerUsage();
