// SPDX-License-Identifier: GPL-2.0-or-later
#include "settings/SettingsStore.h"

#include "core/Errors.h"
#include "settings/IniFile.h"
#include "settings/SettingsColours.h"

#include <QDir>
#include <QFileInfo>
#include <array>
#include <utility>

namespace {

QString Section() {
    return QLatin1String(kSettingsSection);
}

QString BoolText(bool b) {
    return b ? QStringLiteral("1") : QStringLiteral("0");
}

// The order in which "Save" writes its keys.
using TValueField = QString TSettingsValues::*;
constexpr std::array<std::pair<const char*, TValueField>, 31> kSavedKeys{{
    {"cf", &TSettingsValues::cf},
    {"bcadre", &TSettingsValues::bcadre},
    {"bombre", &TSettingsValues::bombre},
    {"b3d", &TSettingsValues::b3d},
    {"zoom", &TSettingsValues::zoom},
    {"breduction", &TSettingsValues::breduction},
    {"brayures", &TSettingsValues::brayures},
    {"bmotif", &TSettingsValues::bmotif},
    {"bboucler", &TSettingsValues::bboucler},
    {"delai", &TSettingsValues::delai},
    {"teinte", &TSettingsValues::teinte},
    {"reglage", &TSettingsValues::reglage},
    {"bflou", &TSettingsValues::bflou},
    {"bsa", &TSettingsValues::bsa},
    {"bss", &TSettingsValues::bss},
    {"fluidite", &TSettingsValues::fluidite},
    {"cadre", &TSettingsValues::cadre},
    {"bva", &TSettingsValues::bva},
    {"vtaille", &TSettingsValues::vtaille},
    {"pe", &TSettingsValues::pe},
    {"rotation", &TSettingsValues::rotation},
    {"bquitter", &TSettingsValues::bquitter},
    {"bcmt", &TSettingsValues::bcmt},
    {"tcmt", &TSettingsValues::tcmt},
    {"ccmt", &TSettingsValues::ccmt},
    {"pcmt", &TSettingsValues::pcmt},
    {"scmt", &TSettingsValues::scmt},
    {"scmtnf", &TSettingsValues::scmtnf},
    {"boptimiserz", &TSettingsValues::boptimiserz},
    {"bagrandir", &TSettingsValues::bagrandir},
    {"bcouleurs", &TSettingsValues::bcouleurs},
}};

// The settings file as it stands, or an empty one when there is none yet. Throws when a file
// exists that cannot be read: writing over it would lose what it holds.
TIniFile CurrentFile(const QString& path) {
    TIniFile file;
    if (QFileInfo::exists(path) && !file.LoadFromFile(path))
        throw ETaveluneError("cannot read " + path.toStdString());
    return file;
}

} // namespace

TSettingsValues SettingsValuesOf(const TViewerSettings& s, bool fullScreen, bool maximised) {
    const int fluidity = FluidityIndex(s.fluidite);
    TSettingsValues v;
    v.cf = ColourToText(s.cf);
    v.bcadre = BoolText(s.bcadre);
    v.bombre = BoolText(s.bombre);
    v.b3d = BoolText(s.b3d);
    v.zoom = QString::number(s.zoom);
    v.breduction = BoolText(s.breduction);
    v.brayures = BoolText(s.brayures);
    v.bmotif = BoolText(s.bmotif);
    v.bboucler = BoolText(s.bboucler);
    v.delai = QString::number(s.delai);
    v.teinte = QString::number(s.teinte);
    v.reglage = QString::number(s.reglage);
    v.bflou = BoolText(s.bflou);
    v.bsa = BoolText(s.bsa);
    v.bss = BoolText(s.bss);
    v.fluidite = QString::number(fluidity < 0 ? FluidityIndex(3) : fluidity);
    v.cadre = ColourToText(s.cadre.colour) + u',' + QString::number(s.cadre.width);
    v.bva = BoolText(s.bva);
    v.vtaille = QString::number(s.vtaille);
    v.pe = BoolText(fullScreen);
    v.rotation = QString::number(s.rotation);
    v.bquitter = BoolText(s.bquitter);
    v.bcmt = BoolText(s.bcmt);
    v.tcmt = QString::number(s.tcmt);
    v.ccmt = ColourToText(s.ccmt);
    v.pcmt = QString::number(s.pcmt);
    v.scmt = CommentStylesToText(s.scmt);
    v.scmtnf = BoolText(s.scmtnf);
    v.boptimiserz = BoolText(s.boptimiserz);
    v.bagrandir = BoolText(maximised && !fullScreen);
    v.bcouleurs = BoolText(s.bcouleurs);
    return v;
}

bool SamePath(const QString& a, const QString& b) {
    const QFileInfo fa(a), fb(b);
    const QString ca = fa.canonicalFilePath(), cb = fb.canonicalFilePath();
    if (!ca.isEmpty() && !cb.isEmpty()) return ca == cb;
    return QDir::cleanPath(fa.absoluteFilePath()) == QDir::cleanPath(fb.absoluteFilePath());
}

TSettingsStore::TSettingsStore(TViewerSettings& settings, const TAppPaths& paths,
                               ISettingsEffects& effects, ISettingsMessages& messages)
    : m_settings(settings), m_paths(paths), m_effects(effects), m_messages(messages) {}

bool TSettingsStore::SaveSettingsFile(const TSettingsValues& values) {
    const QString path = m_paths.SettingsFile();
    try {
        TIniFile file = CurrentFile(path);
        for (const auto& [key, field] : kSavedKeys)
            if (!file.Write(Section(), QLatin1String(key), values.*field))
                throw ETaveluneError(std::string("value of ") + key + " spans lines");
        file.SaveToFile(path);
        return true;
    } catch (const std::exception&) {
        m_messages.ShowError(
            QString::fromUtf8("Impossible d'écrire dans %1").arg(QDir::toNativeSeparators(path)));
        return false;
    }
}

void TSettingsStore::SaveExitSettings() {
    try {
        const QString path = m_paths.SettingsFile();
        TIniFile file = CurrentFile(path);
        // A folder name that spans lines cannot be stored; the key keeps its old value.
        file.Write(Section(), QStringLiteral("defdir"),
                   QDir::toNativeSeparators(m_settings.defdir));
        file.Write(Section(), QStringLiteral("unit"), BoolText(m_settings.unit == puInch));
        file.SaveToFile(path);
    } catch (const std::exception&) {
    }
}

void TSettingsStore::FindDefaultPattern() {
    if (!m_settings.motif.isEmpty()) return;
    const QFileInfo program(m_paths.ProgramFile());
    const QString stem = QDir(program.absolutePath()).filePath(program.completeBaseName());
    for (const char* ext : {".jpg", ".gif", ".png", ".bmp"}) {
        const QString candidate = stem + QLatin1String(ext);
        if (QFileInfo(candidate).isFile()) {
            m_settings.motif = candidate;
            return;
        }
    }
}

void TSettingsStore::RememberStartupPattern() {
    FindDefaultPattern();
    m_settings.startupPattern = m_settings.motif;
}

void TSettingsStore::FinishStartup() {
    if (!m_settings.motif.isEmpty() && !m_settings.patternSwitchedOff) {
        m_settings.bmotif = m_effects.LoadPattern(m_settings.motif);
    } else {
        m_effects.DiscardPattern();
        m_settings.bmotif = false;
    }
    m_startupOver = true;
}

QString TSettingsStore::ReadChosenFolder() {
    TIniFile file;
    if (file.LoadFromFile(m_paths.SettingsFile()))
        if (const auto v = file.Read(Section(), QStringLiteral("cdir")); v && !v->isEmpty())
            m_settings.cdir = *v;
    if (m_settings.cdir.isEmpty()) m_settings.cdir = m_settings.defdir;
    return m_settings.cdir;
}

void TSettingsStore::WriteChosenFolder(const QString& folder) {
    m_settings.cdir = folder;
    try {
        const QString path = m_paths.SettingsFile();
        TIniFile file = CurrentFile(path);
        if (file.Write(Section(), QStringLiteral("cdir"), QDir::toNativeSeparators(folder)))
            file.SaveToFile(path);
    } catch (const std::exception&) {
    }
}
