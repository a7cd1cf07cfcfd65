// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Helpers of the image-file tests: a scratch folder, bytes in and out of files, a scripted
// user seam, and the outside tools (ImageMagick, netpbm, libjpeg-turbo's programs) that make
// and check reference files.

#include "TestImages.h"
#include "core/Bitmap.h"
#include "formats/UserSeam.h"

#include <QByteArray>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <cstdint>
#include <gtest/gtest.h>
#include <string>
#include <vector>

inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

inline std::vector<uint8_t> ReadBytes(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    const QByteArray b = f.readAll();
    return std::vector<uint8_t>(b.begin(), b.end());
}

inline void WriteBytes(const QString& path, const std::vector<uint8_t>& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    f.write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size()));
}

// The real program of that name, preferring the system's own folders (a wrapper elsewhere on
// the path may stand in for ImageMagick).
inline QString ToolPath(const QString& name) {
    QString p =
        QStandardPaths::findExecutable(name, {QStringLiteral("/usr/bin"), QStringLiteral("/bin")});
    if (p.isEmpty()) p = QStandardPaths::findExecutable(name);
    return p;
}

// Runs a tool; returns its standard output, and sets ok.
inline QByteArray RunTool(const QString& name, const QStringList& args, bool* ok = nullptr,
                          const QByteArray& input = {}) {
    QProcess p;
    p.start(ToolPath(name), args);
    if (!input.isEmpty()) p.write(input);
    p.closeWriteChannel();
    const bool finished = p.waitForFinished(120000);
    const bool good = finished && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    if (ok) *ok = good;
    return p.readAllStandardOutput();
}

#define REQUIRE_TOOL(name)                                                                         \
    do {                                                                                           \
        if (ToolPath(name).isEmpty()) GTEST_SKIP() << (name) << " is not installed";               \
    } while (0)

// A binary PPM (P6) of a 24-bit picture.
inline std::vector<uint8_t> PpmOf(const TBitmap& bmp) {
    const std::string head =
        "P6\n" + std::to_string(bmp.Width()) + " " + std::to_string(bmp.Height()) + "\n255\n";
    std::vector<uint8_t> out(head.begin(), head.end());
    for (int y = 0; y < bmp.Height(); ++y)
        for (int x = 0; x < bmp.Width(); ++x) {
            const TTriple t = PixelAt(bmp, x, y);
            out.insert(out.end(), {t.r, t.g, t.b});
        }
    return out;
}

// A PAM (P7, RGB_ALPHA) of a picture with alpha given per pixel.
inline std::vector<uint8_t> PamOf(const TBitmap& bmp, const std::vector<uint8_t>& alpha) {
    const std::string head = "P7\nWIDTH " + std::to_string(bmp.Width()) + "\nHEIGHT " +
                             std::to_string(bmp.Height()) +
                             "\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n";
    std::vector<uint8_t> out(head.begin(), head.end());
    for (int y = 0; y < bmp.Height(); ++y)
        for (int x = 0; x < bmp.Width(); ++x) {
            const TTriple t = PixelAt(bmp, x, y);
            out.insert(out.end(), {t.r, t.g, t.b, alpha[size_t(y * bmp.Width() + x)]});
        }
    return out;
}

// Reads any file through ImageMagick as 8-bit RGB, after the given operations; empty on failure.
inline TBitmap ReadWithImageMagick(const QString& path, const QStringList& operations = {}) {
    bool ok = false;
    const QByteArray ppm = RunTool(
        QStringLiteral("convert"),
        QStringList{path + QStringLiteral("[0]")} + operations +
            QStringList{QStringLiteral("-depth"), QStringLiteral("8"), QStringLiteral("ppm:-")},
        &ok);
    if (!ok) return {};
    // "P6\n<w> <h>\n255\n" followed by the samples.
    int w = 0, h = 0, maxv = 0, consumed = 0;
    if (std::sscanf(ppm.constData(), "P6 %d %d %d%n", &w, &h, &maxv, &consumed) != 3) return {};
    const int start = consumed + 1;
    if (maxv != 255 || ppm.size() < start + qsizetype(w) * h * 3) return {};
    const auto* p = reinterpret_cast<const uint8_t*>(ppm.constData()) + start;
    return MakeImage(w, h, [&](int x, int y) {
        const uint8_t* q = p + (size_t(y) * w + x) * 3;
        return Rgb(q[0], q[1], q[2]);
    });
}

// Largest difference of any channel between two pictures of one size, compared in their 24-bit
// form (999 if sizes differ).
inline int MaxDifference(TBitmap a, TBitmap b) {
    if (a.Width() != b.Width() || a.Height() != b.Height()) return 999;
    a.To24Bit();
    b.To24Bit();
    int worst = 0;
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x) {
            const TTriple p = PixelAt(a, x, y), q = PixelAt(b, x, y);
            worst =
                std::max({worst, std::abs(p.r - q.r), std::abs(p.g - q.g), std::abs(p.b - q.b)});
        }
    return worst;
}

// Mean absolute difference per channel.
inline double MeanDifference(TBitmap a, TBitmap b) {
    a.To24Bit();
    b.To24Bit();
    double sum = 0;
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x) {
            const TTriple p = PixelAt(a, x, y), q = PixelAt(b, x, y);
            sum += std::abs(p.r - q.r) + std::abs(p.g - q.g) + std::abs(p.b - q.b);
        }
    return sum / (3.0 * a.Width() * a.Height());
}

// A smooth picture that lossy codecs keep well.
inline TBitmap SmoothImage(int w, int h) {
    return MakeImage(w, h, [w, h](int x, int y) {
        return Rgb(uint8_t(x * 255 / w), uint8_t(y * 255 / h), uint8_t((x + y) * 127 / (w + h)));
    });
}

// Records what the dispatcher shows and answers the file-name questions from a script.
class TScriptedSeam : public IFileUserSeam {
public:
    TScriptedSeam() { SetFileUserSeam(this); }
    ~TScriptedSeam() override { SetFileUserSeam(nullptr); }

    int MessageBox(const QString& text, TMsgKind kind, unsigned buttons) override {
        Messages << text;
        LastKind = kind;
        LastButtons = buttons;
        return mrOk;
    }
    QString ChooseOpenName(const TOpenNameRequest& request, bool& preview) override {
        LastOpen = request;
        ++OpenCalls;
        preview = PreviewAnswer;
        return OpenAnswer;
    }
    QString ChooseSaveName(const TSaveNameRequest& request) override {
        LastSave = request;
        ++SaveCalls;
        return SaveAnswer;
    }

    QStringList Messages;
    TMsgKind LastKind = mkPlain;
    unsigned LastButtons = 0;
    QString OpenAnswer, SaveAnswer;
    bool PreviewAnswer = true;
    TOpenNameRequest LastOpen;
    TSaveNameRequest LastSave;
    int OpenCalls = 0, SaveCalls = 0;
};
