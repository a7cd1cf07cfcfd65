// SPDX-License-Identifier: GPL-2.0-or-later
// Reads arbitrary bytes as a settings file, then writes a key into it: parsing must keep the
// bytes exactly, the record must stay within its ranges, and a written value must read back.
#include "settings/IniFile.h"
#include "settings/SettingsStore.h"

#include <QByteArray>
#include <QDir>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

class TNoEffects : public ISettingsEffects {
public:
    void PrintUnitChanged() override {}
    void BackgroundColourChanged(TColor) override {}
    void ScrollStepChanged(int) override {}
    bool IsFullScreen() const override { return fullScreen; }
    void SetFullScreen(bool on) override { fullScreen = on; }
    void Maximise() override {}
    bool LoadPattern(const QString& path) override { return !path.isEmpty(); }
    void DiscardPattern() override {}
    bool fullScreen = false;
};

class TNoMessages : public ISettingsMessages {
public:
    void ShowError(const QString&) override {}
};

void Check(bool ok) {
    if (!ok) std::abort();
}

bool InRange(int v, int lo, int hi) {
    return v >= lo && v <= hi;
}

const char* const kKeys[] = {"cf", "cadre", "zoom", "region", "scmt", "motif", "lk", "Params"};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const TAppPaths paths("/nonexistent-tavelune/tavelune", "/nonexistent-tavelune-cfg");
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));

    TIniFile file = TIniFile::FromBytes(bytes);
    Check(file.ToBytes() == bytes);

    TViewerSettings s = DefaultViewerSettings(paths);
    TNoEffects effects;
    TNoMessages messages;
    TSettingsStore store(s, paths, effects, messages);
    if (size > 0 && (data[0] & 1)) store.FinishStartup();
    store.LoadSettings(file, size > 0 && (data[0] & 2));

    Check(InRange(s.delai, 1, 10) && InRange(s.vtaille, 50, 2000) && InRange(s.tcmt, 8, 20));
    Check(InRange(s.cadre.width, 1, 50));
    Check(FluidityIndex(s.fluidite) >= 0);
    Check(!(s.bombre && s.b3d));
    Check(s.lk.isEmpty() || s.lk.endsWith(u'/') || s.lk.endsWith(QDir::separator()));

    // A key named by the first byte receives the last bytes as its value.
    if (size < 2) return 0;
    const QString key = QLatin1String(kKeys[data[0] % std::size(kKeys)]);
    const QString value = QString::fromUtf8(bytes.right(qMin<qsizetype>(size - 1, 24)));
    const bool oneLine =
        !value.contains(u'\n') && !value.contains(u'\r') && !value.contains(QChar(0));
    Check(file.Write(QStringLiteral("Params"), key, value) == oneLine);
    if (!oneLine) {
        Check(file.ToBytes() == bytes);
        return 0;
    }
    const TIniFile again = TIniFile::FromBytes(file.ToBytes());
    const auto back = again.Read(QStringLiteral("Params"), key);
    Check(value == QLatin1String(kMissingValue) ? !back.has_value() : back == value);
    return 0;
}
