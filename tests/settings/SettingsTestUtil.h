// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Fakes of the main window's side of the settings store, and small file helpers.

#include "FullDisk.h"
#include "settings/AppPaths.h"
#include "settings/SettingsEffects.h"
#include "settings/SettingsStore.h"
#include "settings/ViewerSettings.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <ostream>

inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

inline void PrintTo(const QByteArray& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

// Records every effect as a short line, in order.
class TFakeEffects : public ISettingsEffects {
public:
    QStringList log;
    bool fullScreen = false;
    bool loadSucceeds = true;

    void PrintUnitChanged() override { log << "unit"; }
    void BackgroundColourChanged(TColor c) override {
        log << QStringLiteral("cf %1").arg(c, 6, 16, QChar(u'0'));
    }
    void ScrollStepChanged(int step) override { log << QStringLiteral("step %1").arg(step); }
    bool IsFullScreen() const override { return fullScreen; }
    void SetFullScreen(bool on) override {
        fullScreen = on;
        log << QStringLiteral("fullscreen %1").arg(on);
    }
    void Maximise() override { log << "maximise"; }
    bool LoadPattern(const QString& path) override {
        log << "load " + QFileInfo(path).fileName();
        return loadSucceeds;
    }
    void DiscardPattern() override { log << "discard"; }
};

class TFakeMessages : public ISettingsMessages {
public:
    QStringList shown;
    void ShowError(const QString& text) override { shown << text; }
};

inline void WriteFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    f.write(bytes);
}

inline QByteArray ReadFile(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return "<missing>";
    return f.readAll();
}

// A program installed in a temporary folder: "<tmp>/prog/tavelune", the user configuration
// folder "<tmp>/config".
struct TTempProgram {
    QTemporaryDir dir;
    QString ProgramFolder() const { return dir.filePath("prog"); }
    QString ProgramFile() const { return dir.filePath("prog/tavelune"); }
    QString ConfigFolder() const { return dir.filePath("config"); }
    TTempProgram() { QDir().mkpath(ProgramFolder()); }
    TAppPaths Paths(const QStringList& dataFolders = {}) const {
        return TAppPaths(ProgramFile(), ConfigFolder(), dataFolders);
    }
};

// Every field of the record, one "key=value" line each, for whole-record comparisons.
QString Describe(const TViewerSettings& s);
