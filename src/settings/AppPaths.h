// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Where the program's own files live: its folder, the settings file and the themes folder.
// Fixed when the object is made; tests point one at a temporary folder.

#include <QString>
#include <QStringList>

class TAppPaths {
public:
    // programFile: the program's own file path. userConfigFolder: where the settings file goes
    // when the program's folder cannot be written. dataFolders: installed data folders, in order
    // of preference, looked in for "Themes" when the program's folder has none.
    TAppPaths(const QString& programFile, const QString& userConfigFolder,
              const QStringList& dataFolders = {});

    // The running program's paths (application file path, the per-user configuration folder,
    // the installed data folders).
    static TAppPaths FromApplication();

    const QString& ProgramFile() const { return m_programFile; }
    const QString& ProgramFolder() const { return m_programFolder; }
    // "Tavelune.ini" beside the program when that folder is writable, else in the user's
    // configuration folder.
    const QString& SettingsFile() const { return m_settingsFile; }
    // "Themes" beside the program when it exists, else "Themes" in the first data folder that
    // has one, else the program's folder.
    const QString& ThemesFolder() const { return m_themesFolder; }
    // The HTML manual: the program's path with the extension ".htm" when that file exists,
    // else the same name in the installed data folder (<prefix>/share/tavelune beside the
    // program's bin folder, then the data folders given); empty when none exists. Looked up
    // at each call, so a manual installed later is found.
    QString HelpFile() const;

private:
    QString m_programFile;
    QString m_programFolder;
    QString m_settingsFile;
    QString m_themesFolder;
    QStringList m_dataFolders;
};

inline constexpr const char* kSettingsFileName = "Tavelune.ini";
inline constexpr const char* kThemesFolderName = "Themes";
// Name of the program's folder below an installed "share" folder.
inline constexpr const char* kDataFolderName = "tavelune";

// The installed data folders, in order: "../share/tavelune" from the program's folder (an
// installed tree found wherever it was put), then "tavelune" in each of the system's generic
// data folders (the XDG data folders on Linux). Repeats are dropped.
QStringList InstalledDataFolders(const QString& programFolder,
                                 const QStringList& genericDataFolders);

// True when a file can be created in the folder (tried, not guessed from permission bits).
bool FolderWritable(const QString& folder);
