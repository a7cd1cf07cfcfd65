// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Theme files (".tlt"): settings files holding a subset of the keys, read through the settings
// store while their folder is the current folder, so that relative paths in them name files
// beside the theme.

#include <QString>
#include <QStringList>

class TSettingsStore;

inline constexpr const char* kThemeExtension = "tlt";

// Makes a folder current for the lifetime of the object and restores the previous current
// folder afterwards, also when leaving by an exception.
class TCurrentFolderGuard {
public:
    explicit TCurrentFolderGuard(const QString& folder);
    ~TCurrentFolderGuard();
    TCurrentFolderGuard(const TCurrentFolderGuard&) = delete;
    TCurrentFolderGuard& operator=(const TCurrentFolderGuard&) = delete;

    // False when the folder could not be made current (the current folder is then unchanged).
    bool Entered() const { return m_entered; }

private:
    QString m_previous;
    bool m_entered = false;
};

bool IsThemeFileName(const QString& path);

// The first program argument with the theme extension (letter case ignored), or empty.
QString FindThemeArgument(const QStringList& arguments);

// The file a theme argument names: beside its own folder part, or in the themes folder when it
// has none. Always an absolute path.
QString ThemeArgumentPath(const QString& argument, const QString& themesFolder);

// Reads a theme file with its folder current. False when its folder cannot be entered (the
// theme is then not applied); a missing file changes nothing and is no failure.
bool LoadThemeFile(TSettingsStore& store, const QString& path);

// The theme named on the command line (the first one only); false when there is none or it
// could not be applied.
bool LoadCommandLineTheme(TSettingsStore& store, const QStringList& arguments);
