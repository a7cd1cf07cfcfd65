// SPDX-License-Identifier: GPL-2.0-or-later
// Reading a settings or theme file into the record, key by key in a fixed order; each key takes
// effect as it is read, so later keys can override earlier ones.
#include "settings/IniFile.h"
#include "settings/SettingsColours.h"
#include "settings/SettingsStore.h"
#include "settings/SettingsText.h"

#include <QFileInfo>
#include <QStringList>
#include <algorithm>
#include <limits>

namespace {

enum class TPatternDecision { NoChange, Off, On };

class TSettingsReader {
public:
    TSettingsReader(const TIniFile& file, TViewerSettings& s, ISettingsEffects& effects)
        : m_file(file), m_s(s), m_effects(effects) {}

    std::optional<QString> Value(const char* key) const {
        return m_file.Read(QLatin1String(kSettingsSection), QLatin1String(key));
    }

    // Exactly "1" is true; any other present value is false.
    bool Bool(const char* key, bool& field) const {
        const auto v = Value(key);
        if (v) field = *v == QLatin1String("1");
        return v.has_value();
    }

    void IntElse(const char* key, int& field, int fallback) const {
        if (const auto v = Value(key)) field = ParseSettingsInt(*v).value_or(fallback);
    }

    void Clamped(const char* key, int& field, int lo, int hi) const {
        if (const auto v = Value(key))
            if (const auto n = ParseSettingsInt(*v)) field = std::clamp(*n, lo, hi);
    }

    void Colour(const char* key, TColor& field, TColor defaultColour) const {
        if (const auto v = Value(key))
            if (const auto c = ColourFromText(*v, defaultColour)) field = *c;
    }

    void FoldersAndUnit();
    void Frame();
    void Toggles();
    TPatternDecision Pattern(bool isSettingsFile, TSettingsStore& store);
    void Region();
    void ViewAndComment();
    void CommentStyle();

private:
    const TIniFile& m_file;
    TViewerSettings& m_s;
    ISettingsEffects& m_effects;
};

void TSettingsReader::FoldersAndUnit() {
    if (const auto v = Value("defdir"); v && !v->isEmpty() && QFileInfo(*v).isDir())
        m_s.defdir = AbsoluteSettingsPath(*v);
    if (Value("unit") == QStringLiteral("1")) {
        m_s.unit = puInch;
        m_effects.PrintUnitChanged();
    }
}

// "colour,width": the key alone switches the frame on; each part counts when it converts.
void TSettingsReader::Frame() {
    const auto v = Value("cadre");
    if (!v) return;
    m_s.bcadre = true;
    const QStringList parts = v->split(u',');
    if (const auto c = ColourFromText(parts[0].trimmed(), TFrameSetting{}.colour))
        m_s.cadre.colour = *c;
    if (parts.size() > 1)
        if (const auto w = ParseSettingsInt(parts[1].trimmed()))
            m_s.cadre.width = std::clamp(*w, 1, 50);
}

void TSettingsReader::Toggles() {
    Bool("bcadre", m_s.bcadre);
    if (Bool("bombre", m_s.bombre) && m_s.bombre) m_s.b3d = false;
    if (Bool("b3d", m_s.b3d) && m_s.b3d) m_s.bombre = false;
    IntElse("zoom", m_s.zoom, 0);
    Bool("breduction", m_s.breduction);
    Bool("brayures", m_s.brayures);
    Bool("bboucler", m_s.bboucler);
    Clamped("delai", m_s.delai, 1, 10);
    IntElse("teinte", m_s.teinte, 0);
    IntElse("reglage", m_s.reglage, 0);
    Bool("bflou", m_s.bflou);
    Bool("bsa", m_s.bsa);
    Bool("bss", m_s.bss);
    if (const auto v = Value("fluidite")) {
        m_s.fluidite = FluidityStep(ParseSettingsInt(*v).value_or(1));
        m_effects.ScrollStepChanged(m_s.fluidite);
    }
    Bool("bva", m_s.bva);
    Clamped("vtaille", m_s.vtaille, 50, 2000);
    Clamped("cache", m_s.cache, 0, kMaxCacheMiB);
}

TPatternDecision TSettingsReader::Pattern(bool isSettingsFile, TSettingsStore& store) {
    TPatternDecision decision = TPatternDecision::NoChange;
    if (const auto v = Value("cf")) {
        if (const auto c = ColourFromText(*v, TViewerSettings{}.cf)) {
            m_s.cf = *c;
            m_effects.BackgroundColourChanged(*c);
        }
        decision = TPatternDecision::Off;
    }
    if (const auto v = Value("motif")) {
        m_s.motif = v->isEmpty() ? m_s.startupPattern : AbsoluteSettingsPath(*v);
        if (!m_s.motif.isEmpty()) decision = TPatternDecision::On;
    } else if (isSettingsFile) {
        store.FindDefaultPattern();
        if (!m_s.motif.isEmpty()) decision = TPatternDecision::On;
    }
    if (const auto v = Value("bmotif"); v && *v != QLatin1String("1"))
        decision = TPatternDecision::Off;
    return decision;
}

// "left,top,right,bottom"; only the left must convert, the others have fallbacks.
void TSettingsReader::Region() {
    const auto v = Value("region");
    if (!v) return;
    const QStringList parts = v->split(u',');
    const auto left = ParseSettingsInt(parts[0].trimmed());
    if (!left) return;
    auto part = [&parts](int i, int fallback) {
        return i < parts.size() ? ParseSettingsInt(parts[i].trimmed()).value_or(fallback)
                                : fallback;
    };
    constexpr int kFar = std::numeric_limits<int>::max();
    m_s.region = TRect{*left, part(1, 0), part(2, kFar), part(3, kFar)};
}

void TSettingsReader::ViewAndComment() {
    bool pe = false;
    if (Bool("pe", pe)) {
        m_s.pe = pe;
        if (pe != m_effects.IsFullScreen()) m_effects.SetFullScreen(pe);
    }
    if (const auto v = Value("lk"))
        m_s.lk = v->isEmpty() ? QString() : WithTrailingSeparator(AbsoluteSettingsPath(*v));
    IntElse("rotation", m_s.rotation, 0);
    Bool("bquitter", m_s.bquitter);
    Bool("bcmt", m_s.bcmt);
    Clamped("tcmt", m_s.tcmt, 8, 20);
    Colour("ccmt", m_s.ccmt, TViewerSettings{}.ccmt);
    IntElse("pcmt", m_s.pcmt, 0);
}

// Letters switch their style on; a style whose letter is absent stays as it was.
void TSettingsReader::CommentStyle() {
    const auto v = Value("scmt");
    if (!v) return;
    const QString letters = v->toLower();
    if (letters.contains(u'b')) m_s.scmt.bold = true;
    if (letters.contains(u'i')) m_s.scmt.italic = true;
    if (letters.contains(u'u')) m_s.scmt.underline = true;
}

} // namespace

void TSettingsStore::LoadSettingsFile(const QString& path) {
    TIniFile file;
    if (!file.LoadFromFile(path)) return;
    LoadSettings(file, SamePath(path, m_paths.SettingsFile()));
}

void TSettingsStore::LoadSettings(const TIniFile& file, bool isSettingsFile) {
    TSettingsReader r(file, m_settings, m_effects);
    r.FoldersAndUnit();
    m_settings.region.reset();
    m_settings.brayures = false;
    r.Frame();
    r.Toggles();

    switch (r.Pattern(isSettingsFile, *this)) {
    case TPatternDecision::Off:
        m_effects.DiscardPattern();
        m_settings.bmotif = false;
        m_settings.patternSwitchedOff = true;
        break;
    case TPatternDecision::On:
        m_settings.patternSwitchedOff = false;
        // During start-up the picture is loaded once, after every file has been read.
        if (m_startupOver) m_settings.bmotif = m_effects.LoadPattern(m_settings.motif);
        break;
    case TPatternDecision::NoChange:
        break;
    }

    r.Region();
    r.ViewAndComment();
    r.CommentStyle();
    r.Bool("scmtnf", m_settings.scmtnf);
    r.Bool("boptimiserz", m_settings.boptimiserz);
    if (r.Value("bagrandir") == QStringLiteral("1")) {
        m_settings.bagrandir = true;
        m_effects.Maximise();
    }
    r.Bool("bcouleurs", m_settings.bcouleurs);
}
