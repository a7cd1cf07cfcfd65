// SPDX-License-Identifier: GPL-2.0-or-later
// The "?" menu: the help file, the maker's web site and the About box.
#include "viewer/Main.h"

#include "dialogs/Apropos.h"
#include "dialogs/DialogHost.h"
#include "dialogs/UserDialogs.h"

#include <QFileInfo>
#include <QUrl>

void TMainForm::InformationCommand() {
    const QString help = m_paths.HelpFile();
    if (help.isEmpty() || !QFileInfo(help).isFile()) {
        UserDialogs().Message(QStringLiteral("File not found !"), mkInformation, mbOk);
        return;
    }
    OpenUrl(QUrl::fromLocalFile(help));
}

void TMainForm::WebSiteCommand() {
    OpenUrl(QUrl(QString::fromUtf8(kMakerWebAddress)));
}

void TMainForm::AboutCommand() {
    m_commandDialogs->About();
}
