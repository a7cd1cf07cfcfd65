// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Reading and writing the settings record: the settings file, theme files (same form) and the
// few keys written at exit. The main window owns the record, the paths and the two interfaces;
// the store only holds references to them.

#include "settings/AppPaths.h"
#include "settings/SettingsEffects.h"
#include "settings/ViewerSettings.h"

#include <QString>

class TIniFile;

inline constexpr const char* kSettingsSection = "Params";

// The texts the settings file receives on "Save", exactly as they are written, one per key.
struct TSettingsValues {
    QString cf, bcadre, bombre, b3d, zoom, breduction, brayures, bmotif, bboucler, delai, teinte,
        reglage, bflou, bsa, bss, fluidite, cadre, bva, vtaille, pe, rotation, bquitter, bcmt, tcmt,
        ccmt, pcmt, scmt, scmtnf, boptimiserz, bagrandir, bcouleurs;
};

// The values of a record; bagrandir is "1" only for a maximised window out of full screen.
TSettingsValues SettingsValuesOf(const TViewerSettings& s, bool fullScreen, bool maximised);

class TSettingsStore {
public:
    TSettingsStore(TViewerSettings& settings, const TAppPaths& paths, ISettingsEffects& effects,
                   ISettingsMessages& messages);

    TViewerSettings& Settings() { return m_settings; }
    const TAppPaths& Paths() const { return m_paths; }

    // Reads the section "Params" of the file into the record, applying the effects of reading
    // key by key. A missing or unreadable file changes nothing at all.
    void LoadSettingsFile(const QString& path);
    // The same from a file already parsed; isSettingsFile tells the settings file from a theme.
    void LoadSettings(const TIniFile& file, bool isSettingsFile);

    // Writes the 31 keys to the settings file in one atomic step; on failure shows
    // "Impossible d'écrire dans <path>", leaves the file as it was and returns false.
    bool SaveSettingsFile(const TSettingsValues& values);
    // Writes `defdir` and `unit`; failures are ignored.
    void SaveExitSettings();

    // When no pattern path is set: the program's file path with the extension ".jpg", ".gif",
    // ".png" or ".bmp", the first that exists.
    void FindDefaultPattern();

    // Start-up, after the settings file was read: looks for the default pattern and remembers
    // the pattern path in force as the start-up pattern.
    void RememberStartupPattern();
    // Start-up, after the command-line theme: loads the pattern picture unless the files read
    // switched the pattern off. From then on a pattern switched on is loaded when it is read.
    void FinishStartup();
    bool StartupOver() const { return m_startupOver; }

    // The folder-choice dialog's last folder (`cdir`): read from the settings file, the default
    // folder when the file has none; written silently.
    QString ReadChosenFolder();
    void WriteChosenFolder(const QString& folder);

private:
    TViewerSettings& m_settings;
    const TAppPaths& m_paths;
    ISettingsEffects& m_effects;
    ISettingsMessages& m_messages;
    bool m_startupOver = false;
};

// True when both paths name the same file.
bool SamePath(const QString& a, const QString& b);
