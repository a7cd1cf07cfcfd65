// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A settings dialog over a record and a settings file in a temporary folder, with the main
// window's side faked and the message box scripted.

#include "ScriptedDialogs.h"
#include "dialogs/ColorEditor.h"
#include "dialogs/ParamsForm.h"
#include "dialogs/Spin2.h"
#include "settings/IniFile.h"
#include "settings/SettingsTestUtil.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>
#include <gtest/gtest.h>

// Every field the dialog shows or sets, one "key=value" line each, the step as a step.
inline QStringList Fields(const TViewerSettings& s) {
    auto b = [](bool v) { return v ? QStringLiteral("1") : QStringLiteral("0"); };
    auto n = [](int v) { return QString::number(v); };
    auto c = [](TColor v) { return QString::number(v, 16); };
    return {"cf=" + c(s.cf),
            "bmotif=" + b(s.bmotif),
            "zoom=" + n(s.zoom),
            "breduction=" + b(s.breduction),
            "boptimiserz=" + b(s.boptimiserz),
            "bcadre=" + b(s.bcadre),
            "bombre=" + b(s.bombre),
            "b3d=" + b(s.b3d),
            "brayures=" + b(s.brayures),
            "teinte=" + n(s.teinte),
            "reglage=" + n(s.reglage),
            "bflou=" + b(s.bflou),
            "cadre=" + c(s.cadre.colour) + "," + n(s.cadre.width),
            "vtaille=" + n(s.vtaille),
            "bva=" + b(s.bva),
            "delai=" + n(s.delai),
            "bboucler=" + b(s.bboucler),
            "bquitter=" + b(s.bquitter),
            "bsa=" + b(s.bsa),
            "bss=" + b(s.bss),
            "step=" + n(s.fluidite),
            "bcmt=" + b(s.bcmt),
            "ccmt=" + c(s.ccmt),
            "tcmt=" + n(s.tcmt),
            "scmt=" + CommentStylesToText(s.scmt),
            "pcmt=" + n(s.pcmt),
            "scmtnf=" + b(s.scmtnf),
            "rotation=" + n(s.rotation),
            "bcouleurs=" + b(s.bcouleurs),
            "motif=" + s.motif,
            "defdir=" + s.defdir,
            "lk=" + s.lk,
            "unit=" + n(s.unit)};
}

// A record where every key the dialog shows differs from its default.
inline void MakeDistinct(TViewerSettings& s) {
    s.cf = RGBColor(0x12, 0x34, 0x56);
    s.motif = QStringLiteral("/somewhere/pattern.png");
    s.bmotif = true;
    s.zoom = 3;
    s.breduction = false;
    s.boptimiserz = false;
    s.bcadre = false;
    s.bombre = false;
    s.b3d = true;
    s.brayures = true;
    s.teinte = 4;
    s.reglage = 2;
    s.bflou = true;
    s.cadre = {RGBColor(0xAB, 0xCD, 0xEF), 27};
    s.vtaille = 1234;
    s.bva = true;
    s.delai = 7;
    s.bboucler = false;
    s.bquitter = true;
    s.bsa = false;
    s.bss = false;
    s.fluidite = 8;
    s.bcmt = true;
    s.ccmt = RGBColor(0xFE, 0xDC, 0xBA);
    s.tcmt = 17;
    s.scmt = {true, false, true};
    s.pcmt = 1;
    s.scmtnf = false;
    s.rotation = 4;
    s.bcouleurs = false;
}

class ParamsFormTest : public testing::Test {
protected:
    TTempProgram program;
    TAppPaths paths = program.Paths();
    TViewerSettings s = DefaultViewerSettings(paths);
    TFakeEffects effects;
    TFakeMessages messages;
    TSettingsStore store{s, paths, effects, messages};
    TScriptedUserDialogs dialogs;
    TUserDialogsScope scope{dialogs};
    bool maximised = false;
    TParamsForm form{store, effects, [this] { return maximised; }};

    QString SettingsFile() const { return paths.SettingsFile(); }
    std::optional<QString> Saved(const char* key) const {
        TIniFile file;
        if (!file.LoadFromFile(SettingsFile())) return std::nullopt;
        return file.Read(QStringLiteral("Params"), QLatin1String(key));
    }
};
