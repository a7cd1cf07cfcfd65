// SPDX-License-Identifier: GPL-2.0-or-later
#include "settings/Themes.h"

#include "settings/SettingsStore.h"

#include <QDir>
#include <QFileInfo>

TCurrentFolderGuard::TCurrentFolderGuard(const QString& folder)
    : m_previous(QDir::currentPath()), m_entered(QDir::setCurrent(folder)) {}

TCurrentFolderGuard::~TCurrentFolderGuard() {
    if (m_entered) QDir::setCurrent(m_previous);
}

bool IsThemeFileName(const QString& path) {
    return QFileInfo(path).suffix().compare(QLatin1String(kThemeExtension), Qt::CaseInsensitive) ==
           0;
}

QString FindThemeArgument(const QStringList& arguments) {
    for (const QString& arg : arguments)
        if (IsThemeFileName(arg)) return arg;
    return {};
}

QString ThemeArgumentPath(const QString& argument, const QString& themesFolder) {
    const QFileInfo info(argument);
    // A bare name has no folder part at all; "./x.tlt" names the current folder.
    const bool bare = !argument.contains(u'/') && !argument.contains(QDir::separator());
    const QString folder = bare ? themesFolder : info.path();
    return QDir(QDir(folder).absolutePath()).filePath(info.fileName());
}

bool LoadThemeFile(TSettingsStore& store, const QString& path) {
    const QFileInfo info(path);
    TCurrentFolderGuard guard(info.absolutePath());
    if (!guard.Entered()) return false;
    store.LoadSettingsFile(info.absoluteFilePath());
    return true;
}

bool LoadCommandLineTheme(TSettingsStore& store, const QStringList& arguments) {
    const QString arg = FindThemeArgument(arguments);
    if (arg.isEmpty()) return false;
    return LoadThemeFile(store, ThemeArgumentPath(arg, store.Paths().ThemesFolder()));
}
