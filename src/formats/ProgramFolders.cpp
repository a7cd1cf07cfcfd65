// SPDX-License-Identifier: GPL-2.0-or-later
#include "formats/ProgramFolders.h"

#include <QCoreApplication>
#include <QDir>

QStringList ProgramLibraryFolders() {
    QStringList folders;
    if (QCoreApplication::instance()) {
        const QDir program(QCoreApplication::applicationDirPath());
        folders << program.path();
#ifdef TAVELUNE_PRIVATE_LIB_SUBDIR
        folders << QDir::cleanPath(
            program.filePath(QStringLiteral("../" TAVELUNE_PRIVATE_LIB_SUBDIR)));
#endif
    }
#ifdef TAVELUNE_PRIVATE_LIB_DIR
    folders << QStringLiteral(TAVELUNE_PRIVATE_LIB_DIR);
#endif
    folders.removeDuplicates();
    return folders;
}
