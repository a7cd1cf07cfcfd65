// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The interface texts that shared code shows (button captions, headings, filter names, the
// load/save failure messages). They start with the English texts; the main window may replace
// them at start-up, and every subsystem reads them from here.

#include <QString>

struct TInterfaceTexts {
    // Message and input boxes.
    QString Yes = QStringLiteral("&Yes");
    QString No = QStringLiteral("&No");
    QString Ok = QStringLiteral("Ok");
    QString Cancel = QStringLiteral("Cancel");
    QString Warning = QStringLiteral("Avertissement");
    QString Error = QStringLiteral("Erreur");
    QString Information = QStringLiteral("Information");
    QString Confirm = QStringLiteral("Confirm");
    QString InputHeading = QStringLiteral("Saisie");
    // Open and save dialogs.
    QString AllImages = QStringLiteral("All images");
    QString CommonImages = QStringLiteral("Common images");
    QString Preview = QStringLiteral("Preview");
    QString ImageProperties = QStringLiteral("Image properties");
    QString Icon = QStringLiteral("Icon");
    QString OstrevaldenSelection = QStringLiteral("Ostrevalden Selection");
    // The load/save dispatcher's failure messages; %s is the file name.
    QString LoadFailed = QStringLiteral("Unable to load image in file \"%s\" !");
    QString SaveFailed = QStringLiteral("Unable to save image in file \"%s\" !");
};

// The one table of the process.
TInterfaceTexts& InterfaceTexts();
