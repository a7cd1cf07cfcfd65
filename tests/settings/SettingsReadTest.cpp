// Reading keys into the record: each key's rule, the order of reading and its effects.
#include "settings/IniFile.h"
#include "settings/SettingsStore.h"
#include "settings/Themes.h"

#include "SettingsTestUtil.h"
#include "TestPrinters.h"

#include <functional>
#include <gtest/gtest.h>
#include <limits>

namespace {

constexpr int kFar = std::numeric_limits<int>::max();

// Two start records that differ in every field a key can set, so that a key that does nothing,
// or sets a constant, shows up against one of them.
TViewerSettings StartA() {
    TViewerSettings s;
    s.defdir = "/start";
    s.unit = puInch;
    s.cf = RGBColor(4, 5, 6);
    s.cadre = {RGBColor(1, 2, 3), 20};
    s.bcadre = false;
    s.bombre = false;
    s.b3d = true;
    s.zoom = 5;
    s.breduction = false;
    s.boptimiserz = false;
    s.vtaille = 999;
    s.bva = true;
    s.delai = 7;
    s.bboucler = false;
    s.bquitter = true;
    s.bsa = false;
    s.bss = false;
    s.fluidite = 8;
    s.teinte = 2;
    s.reglage = 3;
    s.bflou = true;
    s.lk = "/linked/";
    s.rotation = 4;
    s.bcmt = true;
    s.tcmt = 13;
    s.ccmt = RGBColor(7, 8, 9);
    s.pcmt = 1;
    s.scmt = {true, false, true};
    s.scmtnf = false;
    s.bcouleurs = false;
    return s;
}

TViewerSettings StartB() {
    TViewerSettings s = StartA();
    s.unit = puCentimetre;
    s.bcadre = true;
    s.bombre = true;
    s.b3d = false;
    s.zoom = 2;
    s.breduction = true;
    s.boptimiserz = true;
    s.vtaille = 60;
    s.bva = false;
    s.delai = 2;
    s.bboucler = true;
    s.bquitter = false;
    s.bsa = true;
    s.bss = true;
    s.fluidite = 16;
    s.bflou = false;
    s.bcmt = false;
    s.tcmt = 19;
    s.scmt = {false, true, false};
    s.scmtnf = true;
    s.bcouleurs = true;
    s.brayures = true;
    s.region = TRect{1, 2, 3, 4};
    return s;
}

// What every read does before the keys that follow it.
TViewerSettings WithResets(TViewerSettings s) {
    s.region.reset();
    s.brayures = false;
    return s;
}

struct KeyCase {
    std::string name;
    QString key;
    QString text;
    std::function<void(TViewerSettings&)> apply;
    QStringList effects;
};

void PrintTo(const KeyCase& c, std::ostream* os) {
    *os << c.key.toStdString() << "=" << c.text.toStdString();
}

using Apply = std::function<void(TViewerSettings&)>;
const Apply kUnchanged = [](TViewerSettings&) {};

template <typename T>
Apply Set(T TViewerSettings::*field, T value) {
    return [field, value](TViewerSettings& s) { s.*field = value; };
}

std::vector<KeyCase> BoolCases(const char* key, bool TViewerSettings::*field) {
    return {
        {std::string(key) + "_1", key, "1", Set(field, true), {}},
        {std::string(key) + "_0", key, "0", Set(field, false), {}},
        {std::string(key) + "_true", key, "true", Set(field, false), {}},
        {std::string(key) + "_01", key, "01", Set(field, false), {}},
        {std::string(key) + "_empty", key, "", Set(field, false), {}},
        {std::string(key) + "_quoted", key, "\"1\"", Set(field, true), {}},
        {std::string(key) + "_marker", key, "ERREUR", kUnchanged, {}},
    };
}

std::vector<KeyCase> AllKeyCases() {
    std::vector<KeyCase> cases{
        // unit: "1" selects inch; nothing else changes it.
        {"unit_1", "unit", "1", Set(&TViewerSettings::unit, int(puInch)), {"unit"}},
        {"unit_0", "unit", "0", kUnchanged, {}},
        {"unit_x", "unit", "inch", kUnchanged, {}},
        // bombre and b3d exclude each other only when they read true.
        {"bombre_1",
         "bombre",
         "1",
         [](TViewerSettings& s) {
             s.bombre = true;
             s.b3d = false;
         },
         {}},
        {"bombre_0", "bombre", "0", Set(&TViewerSettings::bombre, false), {}},
        {"b3d_1",
         "b3d",
         "1",
         [](TViewerSettings& s) {
             s.b3d = true;
             s.bombre = false;
         },
         {}},
        {"b3d_0", "b3d", "0", Set(&TViewerSettings::b3d, false), {}},
        // int, else 0: no range check.
        {"zoom_3", "zoom", "3", Set(&TViewerSettings::zoom, 3), {}},
        {"zoom_abc", "zoom", "abc", Set(&TViewerSettings::zoom, 0), {}},
        {"zoom_empty", "zoom", "", Set(&TViewerSettings::zoom, 0), {}},
        {"zoom_42", "zoom", "42", Set(&TViewerSettings::zoom, 42), {}},
        {"zoom_neg", "zoom", "-1", Set(&TViewerSettings::zoom, -1), {}},
        {"zoom_float", "zoom", "2.5", Set(&TViewerSettings::zoom, 0), {}},
        {"zoom_overflow", "zoom", "4294967297", Set(&TViewerSettings::zoom, 0), {}},
        {"teinte_8", "teinte", "8", Set(&TViewerSettings::teinte, 8), {}},
        {"teinte_x", "teinte", "x", Set(&TViewerSettings::teinte, 0), {}},
        {"reglage_4", "reglage", "+4", Set(&TViewerSettings::reglage, 4), {}},
        {"reglage_x", "reglage", "4x", Set(&TViewerSettings::reglage, 0), {}},
        {"rotation_0", "rotation", "0", Set(&TViewerSettings::rotation, 0), {}},
        {"rotation_x", "rotation", "exif", Set(&TViewerSettings::rotation, 0), {}},
        {"pcmt_1", "pcmt", "1", Set(&TViewerSettings::pcmt, 1), {}},
        {"pcmt_x", "pcmt", "bottom", Set(&TViewerSettings::pcmt, 0), {}},
        // clamp a..b: a value that is not an integer leaves the field.
        {"delai_0", "delai", "0", Set(&TViewerSettings::delai, 1), {}},
        {"delai_1", "delai", "1", Set(&TViewerSettings::delai, 1), {}},
        {"delai_10", "delai", "10", Set(&TViewerSettings::delai, 10), {}},
        {"delai_11", "delai", "11", Set(&TViewerSettings::delai, 10), {}},
        {"delai_abc", "delai", "abc", kUnchanged, {}},
        {"delai_empty", "delai", "", kUnchanged, {}},
        {"delai_min", "delai", "-2147483648", Set(&TViewerSettings::delai, 1), {}},
        {"delai_overflow", "delai", "99999999999", kUnchanged, {}},
        {"vtaille_49", "vtaille", "49", Set(&TViewerSettings::vtaille, 50), {}},
        {"vtaille_480", "vtaille", "480", Set(&TViewerSettings::vtaille, 480), {}},
        {"vtaille_2001", "vtaille", "2001", Set(&TViewerSettings::vtaille, 2000), {}},
        {"vtaille_1e3", "vtaille", "1e3", kUnchanged, {}},
        {"tcmt_7", "tcmt", "7", Set(&TViewerSettings::tcmt, 8), {}},
        {"tcmt_20", "tcmt", "20", Set(&TViewerSettings::tcmt, 20), {}},
        {"tcmt_21", "tcmt", "21", Set(&TViewerSettings::tcmt, 20), {}},
        {"tcmt_x", "tcmt", "big", kUnchanged, {}},
        // fluidite: the index selects the step; anything but 0, 2 and 3 gives 3 pixels.
        {"fluidite_0", "fluidite", "0", Set(&TViewerSettings::fluidite, 1), {"step 1"}},
        {"fluidite_1", "fluidite", "1", Set(&TViewerSettings::fluidite, 3), {"step 3"}},
        {"fluidite_2", "fluidite", "2", Set(&TViewerSettings::fluidite, 8), {"step 8"}},
        {"fluidite_3", "fluidite", "3", Set(&TViewerSettings::fluidite, 16), {"step 16"}},
        {"fluidite_7", "fluidite", "7", Set(&TViewerSettings::fluidite, 3), {"step 3"}},
        {"fluidite_x", "fluidite", "x", Set(&TViewerSettings::fluidite, 3), {"step 3"}},
        {"fluidite_neg", "fluidite", "-1", Set(&TViewerSettings::fluidite, 3), {"step 3"}},
        {"fluidite_marker", "fluidite", "ERREUR", kUnchanged, {}},
        // Comment colour.
        {"ccmt_hex", "ccmt", "#FF0000", Set(&TViewerSettings::ccmt, RGBColor(255, 0, 0)), {}},
        {"ccmt_dollar", "ccmt", "$00FF00", Set(&TViewerSettings::ccmt, RGBColor(0, 255, 0)), {}},
        {"ccmt_name", "ccmt", "clNavy", Set(&TViewerSettings::ccmt, RGBColor(0, 0, 128)), {}},
        {"ccmt_default", "ccmt", "clDefault", Set(&TViewerSettings::ccmt, clBlack), {}},
        {"ccmt_none", "ccmt", "clNone", kUnchanged, {}},
        {"ccmt_short", "ccmt", "#F00", kUnchanged, {}},
        // bagrandir: "1" maximises; anything else changes nothing.
        {"bagrandir_1", "bagrandir", "1", Set(&TViewerSettings::bagrandir, true), {"maximise"}},
        {"bagrandir_0", "bagrandir", "0", kUnchanged, {}},
        // pe enters full screen when it differs from the current mode (not full screen here).
        {"pe_1", "pe", "1", Set(&TViewerSettings::pe, true), {"fullscreen 1"}},
        {"pe_0", "pe", "0", Set(&TViewerSettings::pe, false), {}},
        // The key never written by a read.
        {"cdir", "cdir", "/elsewhere", kUnchanged, {}},
        {"unknown_key", "nonsense", "1", kUnchanged, {}},
    };
    const std::pair<const char*, bool TViewerSettings::*> bools[] = {
        {"bcadre", &TViewerSettings::bcadre},
        {"brayures", &TViewerSettings::brayures},
        {"breduction", &TViewerSettings::breduction},
        {"boptimiserz", &TViewerSettings::boptimiserz},
        {"bva", &TViewerSettings::bva},
        {"bboucler", &TViewerSettings::bboucler},
        {"bquitter", &TViewerSettings::bquitter},
        {"bsa", &TViewerSettings::bsa},
        {"bss", &TViewerSettings::bss},
        {"bflou", &TViewerSettings::bflou},
        {"bcmt", &TViewerSettings::bcmt},
        {"scmtnf", &TViewerSettings::scmtnf},
        {"bcouleurs", &TViewerSettings::bcouleurs},
    };
    for (const auto& [key, field] : bools)
        for (KeyCase& c : BoolCases(key, field))
            cases.push_back(std::move(c));
    return cases;
}

class KeyRule : public testing::TestWithParam<KeyCase> {};

TEST_P(KeyRule, FromBothStarts) {
    const KeyCase& c = GetParam();
    const TTempProgram program;
    const TAppPaths paths = program.Paths();
    const QByteArray file = "[Params]\n" + (c.key + "=" + c.text).toUtf8() + "\n";
    for (const TViewerSettings& start : {StartA(), StartB()}) {
        TViewerSettings s = start;
        TFakeEffects effects;
        TFakeMessages messages;
        TSettingsStore store(s, paths, effects, messages);
        store.LoadSettings(TIniFile::FromBytes(file), false);
        TViewerSettings expected = WithResets(start);
        c.apply(expected);
        EXPECT_EQ(Describe(s), Describe(expected));
        EXPECT_EQ(effects.log, c.effects);
        EXPECT_TRUE(messages.shown.isEmpty());
    }
}

INSTANTIATE_TEST_SUITE_P(Keys, KeyRule, testing::ValuesIn(AllKeyCases()),
                         [](const auto& info) { return info.param.name; });

// Reads file text into a record started from StartA; returns the record.
struct ReadResult {
    TViewerSettings s;
    QStringList effects;
};

ReadResult ReadText(const QByteArray& text, TViewerSettings start = StartA(),
                    bool fullScreen = false) {
    const TTempProgram program;
    const TAppPaths paths = program.Paths();
    TFakeEffects effects;
    effects.fullScreen = fullScreen;
    TFakeMessages messages;
    TSettingsStore store(start, paths, effects, messages);
    store.LoadSettings(TIniFile::FromBytes(text), false);
    return {start, effects.log};
}

struct FrameCase {
    const char* lines;
    TColor colour;
    int width;
    bool bcadre;
};

class FrameRule : public testing::TestWithParam<FrameCase> {};

TEST_P(FrameRule, ColourWidthAndSwitch) {
    const FrameCase& c = GetParam();
    TViewerSettings start = StartA(); // frame off, colour (1, 2, 3), width 20
    const ReadResult r = ReadText(QByteArray("[Params]\n") + c.lines, start);
    EXPECT_EQ(r.s.cadre.colour, c.colour);
    EXPECT_EQ(r.s.cadre.width, c.width);
    EXPECT_EQ(r.s.bcadre, c.bcadre);
}

const TColor kStartFrame = RGBColor(1, 2, 3);

INSTANTIATE_TEST_SUITE_P(
    Cases, FrameRule,
    testing::Values(FrameCase{"cadre=#C0C0C0,0\n", clSilver, 1, true},
                    FrameCase{"cadre=#C0C0C0,99\n", clSilver, 50, true},
                    FrameCase{"cadre=#C0C0C0,-7\n", clSilver, 1, true},
                    FrameCase{"cadre=#C0C0C0,50\n", clSilver, 50, true},
                    FrameCase{"cadre=clRed\n", RGBColor(255, 0, 0), 20, true},
                    FrameCase{"cadre=#C0C0C0, 7\n", clSilver, 7, true},
                    FrameCase{"cadre=bad,7\n", kStartFrame, 7, true},
                    FrameCase{"cadre=#C0C0C0,wide\n", clSilver, 20, true},
                    FrameCase{"cadre=,\n", kStartFrame, 20, true},
                    FrameCase{"cadre=\n", kStartFrame, 20, true},
                    FrameCase{"cadre=clDefault,3,9\n", clWhite, 3, true},
                    // bcadre is read after the frame and wins.
                    FrameCase{"cadre=#C0C0C0,5\nbcadre=0\n", clSilver, 5, false},
                    FrameCase{"bcadre=0\ncadre=#C0C0C0,5\n", clSilver, 5, false},
                    FrameCase{"cadre=ERREUR\n", kStartFrame, 20, false}));

struct ShadowCase {
    const char* lines;
    bool bombre, b3d;
};

class ShadowRule : public testing::TestWithParam<ShadowCase> {};

TEST_P(ShadowRule, AtMostOne) {
    for (const TViewerSettings& start : {StartA(), StartB()}) {
        const ReadResult r = ReadText(QByteArray("[Params]\n") + GetParam().lines, start);
        EXPECT_EQ(r.s.bombre, GetParam().bombre);
        EXPECT_EQ(r.s.b3d, GetParam().b3d);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, ShadowRule,
                         testing::Values(ShadowCase{"bombre=1\nb3d=1\n", false, true},
                                         ShadowCase{"b3d=1\nbombre=1\n", false, true},
                                         ShadowCase{"bombre=1\nb3d=0\n", true, false},
                                         ShadowCase{"bombre=0\nb3d=1\n", false, true},
                                         ShadowCase{"bombre=0\nb3d=0\n", false, false}));

struct RegionCase {
    const char* value;
    std::optional<TRect> region;
};

class RegionRule : public testing::TestWithParam<RegionCase> {};

TEST_P(RegionRule, Parts) {
    const ReadResult r =
        ReadText(QByteArray("[Params]\nregion=") + GetParam().value + "\n", StartB());
    EXPECT_EQ(r.s.region, GetParam().region);
}

INSTANTIATE_TEST_SUITE_P(Cases, RegionRule,
                         testing::Values(RegionCase{"10,20,300,400", TRect{10, 20, 300, 400}},
                                         RegionCase{"10", TRect{10, 0, kFar, kFar}},
                                         RegionCase{"10,x,y,z", TRect{10, 0, kFar, kFar}},
                                         RegionCase{"-5,7", TRect{-5, 7, kFar, kFar}},
                                         RegionCase{"1,2,3", TRect{1, 2, 3, kFar}},
                                         RegionCase{" 1 , 2 , 3 , 4 ", TRect{1, 2, 3, 4}},
                                         RegionCase{"1,2,3,4,5", TRect{1, 2, 3, 4}},
                                         RegionCase{"0,0,0,0", TRect{0, 0, 0, 0}},
                                         RegionCase{",5,100,100", std::nullopt},
                                         RegionCase{"", std::nullopt},
                                         RegionCase{"left,0,1,1", std::nullopt},
                                         RegionCase{"ERREUR", std::nullopt}));

struct StyleCase {
    const char* value;
    TCommentStyles start;
    TCommentStyles expected;
};

class StyleRule : public testing::TestWithParam<StyleCase> {};

TEST_P(StyleRule, LettersAddStyles) {
    TViewerSettings start = StartA();
    start.scmt = GetParam().start;
    const ReadResult r = ReadText(QByteArray("[Params]\nscmt=") + GetParam().value + "\n", start);
    EXPECT_EQ(r.s.scmt, GetParam().expected);
}

constexpr TCommentStyles kNoStyle{false, false, false};
constexpr TCommentStyles kAll{true, true, true};

INSTANTIATE_TEST_SUITE_P(
    Cases, StyleRule,
    testing::Values(StyleCase{"IB", kNoStyle, {true, true, false}},
                    StyleCase{"u", kNoStyle, {false, false, true}},
                    StyleCase{"ubi", kNoStyle, kAll},
                    StyleCase{"bold", kNoStyle, {true, false, false}}, StyleCase{"", kAll, kAll},
                    StyleCase{"b", kAll, kAll},
                    StyleCase{"xyz", {false, true, false}, {false, true, false}},
                    StyleCase{"ERREUR", {true, false, false}, {true, false, false}}));

TEST(SettingsRead, EveryReadResetsScanLinesAndRegion) {
    const ReadResult r = ReadText("[Params]\n", StartB());
    EXPECT_FALSE(r.s.brayures);
    EXPECT_EQ(r.s.region, std::nullopt);
    EXPECT_EQ(Describe(r.s), Describe(WithResets(StartB())));
    EXPECT_TRUE(r.effects.isEmpty());
    // A file whose keys all lie in another section is still a file that was read.
    const ReadResult other = ReadText("[Other]\nbrayures=1\nregion=1,1,2,2\n", StartB());
    EXPECT_EQ(Describe(other.s), Describe(WithResets(StartB())));
    // The keys themselves come after the resets.
    const ReadResult keys = ReadText("[Params]\nbrayures=1\nregion=5,6\n", StartB());
    EXPECT_TRUE(keys.s.brayures);
    EXPECT_EQ(keys.s.region, (TRect{5, 6, kFar, kFar}));
}

TEST(SettingsRead, MissingFileChangesNothingAtAll) {
    const TTempProgram program;
    const TAppPaths paths = program.Paths();
    TViewerSettings s = StartB();
    TFakeEffects effects;
    TFakeMessages messages;
    TSettingsStore store(s, paths, effects, messages);
    store.LoadSettingsFile(paths.SettingsFile());
    store.LoadSettingsFile(program.dir.filePath("nothing.tlt"));
    store.LoadSettingsFile(program.dir.path()); // a folder is no file
    EXPECT_EQ(Describe(s), Describe(StartB()));
    EXPECT_TRUE(effects.log.isEmpty());
}

TEST(SettingsRead, FullScreenSwitchesOnlyWhenItDiffers) {
    struct Case {
        const char* value;
        bool before;
        QStringList effects;
        bool pe;
    };
    for (const Case& c : {Case{"1", false, {"fullscreen 1"}, true}, Case{"1", true, {}, true},
                          Case{"0", true, {"fullscreen 0"}, false}, Case{"0", false, {}, false},
                          Case{"yes", true, {"fullscreen 0"}, false}}) {
        const ReadResult r =
            ReadText(QByteArray("[Params]\npe=") + c.value + "\n", StartA(), c.before);
        EXPECT_EQ(r.effects, c.effects) << c.value << " " << c.before;
        EXPECT_EQ(r.s.pe, c.pe);
    }
}

TEST(SettingsRead, EffectsFollowTheReadingOrder) {
    // Keys in the file in reverse of the reading order.
    const ReadResult r = ReadText("[Params]\nbagrandir=1\npe=1\nbmotif=0\ncf=#0000FF\n"
                                  "fluidite=2\nunit=1\n");
    EXPECT_EQ(r.effects,
              (QStringList{"unit", "step 8", "cf ff0000", "discard", "fullscreen 1", "maximise"}));
}

class SettingsPathsRead : public testing::Test {
protected:
    TTempProgram program;
    TCurrentFolderGuard cwd{program.dir.path()};
};

TEST_F(SettingsPathsRead, DefaultFolderTakenOnlyWhenItExists) {
    QDir().mkpath(program.dir.filePath("photos/2024"));
    struct Case {
        QString value;
        QString expected;
    };
    const QString base = program.dir.path();
    for (const Case& c :
         {Case{base + "/photos", base + "/photos"}, Case{"photos/2024", base + "/photos/2024"},
          Case{base + "/absent", "/start"}, Case{"", "/start"},
          Case{base + "/prog/../photos", base + "/prog/../photos"}}) {
        const ReadResult r = ReadText(("[Params]\ndefdir=" + c.value + "\n").toUtf8());
        EXPECT_EQ(r.s.defdir, c.expected) << c.value.toStdString();
    }
    // A plain file is not a folder.
    WriteFile(program.dir.filePath("file"), "x");
    EXPECT_EQ(ReadText("[Params]\ndefdir=file\n").s.defdir, "/start");
}

TEST_F(SettingsPathsRead, LinkedFolderEndsWithSeparator) {
    const QString sep = QDir::separator();
    const QString base = program.dir.path();
    struct Case {
        QString value;
        QString expected;
    };
    for (const Case& c :
         {Case{"/data/Big", "/data/Big" + sep}, Case{"/data/Big/", "/data/Big/"},
          Case{"Big", base + "/Big" + sep}, Case{"", ""}, Case{"ERREUR", "/linked/"}}) {
        const ReadResult r = ReadText(("[Params]\nlk=" + c.value + "\n").toUtf8());
        EXPECT_EQ(r.s.lk, c.expected) << c.value.toStdString();
    }
}

TEST(SettingsRead, MarkerBehavesAsMissingForEveryKey) {
    const char* keys[] = {
        "defdir",   "unit",     "cf",       "motif",    "bmotif",     "cadre",       "bcadre",
        "bombre",   "b3d",      "brayures", "zoom",     "breduction", "boptimiserz", "vtaille",
        "bva",      "delai",    "bboucler", "bquitter", "bsa",        "bss",         "fluidite",
        "teinte",   "reglage",  "bflou",    "region",   "pe",         "bagrandir",   "lk",
        "rotation", "bcmt",     "tcmt",     "ccmt",     "pcmt",       "scmt",        "scmtnf",
        "cdir",     "bcouleurs"};
    QByteArray text = "[Params]\n";
    for (const char* k : keys)
        text += QByteArray(k) + "=ERREUR\n";
    for (const TViewerSettings& start : {StartA(), StartB()}) {
        const ReadResult r = ReadText(text, start);
        EXPECT_EQ(Describe(r.s), Describe(WithResets(start)));
        EXPECT_TRUE(r.effects.isEmpty());
    }
}

} // namespace
