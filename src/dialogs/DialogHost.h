// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// What every window of the program shares: the main window they are placed on, the dialog
// font, the owner of a new dialog, the beep of refused keys and the opener of web addresses.
// The last two are replaceable so that tests neither make noise nor start a browser.

#include "core/Color.h"

#include <QColor>
#include <QFont>
#include <QString>
#include <functional>

class QUrl;
class QWidget;

// The main window registers itself at start-up; dialogs are centred on it.
void SetDialogMainWindow(QWidget* mainWindow);
QWidget* DialogMainWindow();
// The owner of a new dialog: the program's active window, else the main window (may be null).
QWidget* DialogOwner();
// Centres a top-level window on the main window (nothing when there is none).
void CentreOnMainWindow(QWidget& window);

// The one font of the program's windows: the desktop's default interface font.
QFont DialogFont();
void ApplyDialogFont(QWidget& window);

// The program's name for title bars, and its file name with extension.
QString ProgramName();
QString ProgramFileName();

// Sounds the refusal of a key; a hook replaces the sound (null restores it).
void Beep();
void SetBeepHook(std::function<void()> hook);

// Opens a web address or document with the desktop's handler; a hook replaces it.
bool OpenUrl(const QUrl& url);
void SetUrlOpener(std::function<bool(const QUrl&)> opener);

// A program colour (system colours resolved) as a QColor.
QColor QColorOf(TColor c);
