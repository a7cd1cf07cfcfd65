// SPDX-License-Identifier: GPL-2.0-or-later
#include "settings/AppPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

bool FolderWritable(const QString& folder) {
    if (!QFileInfo(folder).isDir()) return false;
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".tavelune-probe-XXXXXX")));
    return probe.open();
}

TAppPaths::TAppPaths(const QString& programFile, const QString& userConfigFolder,
                     const QStringList& dataFolders)
    : m_programFile(QFileInfo(programFile).absoluteFilePath()),
      m_programFolder(QFileInfo(m_programFile).absolutePath()), m_dataFolders(dataFolders) {
    const QDir program(m_programFolder);
    m_settingsFile = FolderWritable(m_programFolder)
                         ? program.filePath(QLatin1String(kSettingsFileName))
                         : QDir(userConfigFolder).filePath(QLatin1String(kSettingsFileName));

    m_themesFolder = m_programFolder;
    QStringList candidates{m_programFolder};
    candidates += dataFolders;
    for (const QString& folder : candidates) {
        const QString themes = QDir(folder).filePath(QLatin1String(kThemesFolderName));
        if (QFileInfo(themes).isDir()) {
            m_themesFolder = themes;
            break;
        }
    }
}

QStringList InstalledDataFolders(const QString& programFolder,
                                 const QStringList& genericDataFolders) {
    const QString name = QLatin1String(kDataFolderName);
    QStringList folders{
        QDir::cleanPath(QDir(programFolder).filePath(QStringLiteral("../share/") + name))};
    for (const QString& generic : genericDataFolders) {
        const QString folder = QDir::cleanPath(QDir(generic).filePath(name));
        if (!folders.contains(folder)) folders << folder;
    }
    return folders;
}

TAppPaths TAppPaths::FromApplication() {
    return TAppPaths(QCoreApplication::applicationFilePath(),
                     QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation),
                     InstalledDataFolders(
                         QCoreApplication::applicationDirPath(),
                         QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation)));
}

QString TAppPaths::HelpFile() const {
    const QFileInfo program(m_programFile);
    const QString name = program.completeBaseName() + QStringLiteral(".htm");
    QStringList candidates{program.dir().filePath(name)};
    candidates << QDir(m_programFolder).filePath(QStringLiteral("../share/tavelune/") + name);
    for (const QString& folder : m_dataFolders)
        candidates << QDir(folder).filePath(name);
    for (const QString& candidate : candidates)
        if (QFileInfo(candidate).isFile()) return QDir::cleanPath(candidate);
    return {};
}
