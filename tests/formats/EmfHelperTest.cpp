// SPDX-License-Identifier: GPL-2.0-or-later
// EMF files are drawn by the helper program tavelune-emf-render. Whatever goes wrong with it
// (missing, crashed, failed, out of time, too much, no or unreadable output) ends in the load
// message, never in a crash or a hang of the reader; fake helpers written here as shell
// scripts stand in for a broken one.
#include "formats/EmfHelper.h"
#include "FormatTestUtil.h"
#include "MetafileFixtures.h"
#include "core/Errors.h"
#include "formats/FormatRegistry.h"
#include "formats/ImageFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QThread>
#include <gtest/gtest.h>
#include <memory>
#include <string>

using namespace metafile_fixture;

namespace {

constexpr int kQuick = 300;     // ms: the limit a hanging helper runs into
constexpr int kPatient = 30000; // ms: far more than any helper below needs

struct THelperCase {
    const char* name;
    const char* script; // body of a /bin/sh script; empty: no such program
    int timeoutMs;
    const char* error; // what RunEmfHelper reports
};

const THelperCase kBrokenHelpers[] = {
    {"Missing", "", kPatient, "program did not start"},
    {"KilledBySignal", "kill -SEGV $$", kPatient, "program crashed"},
    {"ExitsWithStatusOne", "cat >/dev/null; exit 1", kPatient, "program failed"},
    {"WritesNothing", "cat >/dev/null", kPatient, "no output"},
    {"Hangs", "exec sleep 60", kQuick, "out of time"},
    {"WritesWithoutEnd", "exec yes '<svg>'", kPatient, "too much output"},
    {"WritesJustTooMuch", "cat >/dev/null; head -c 1048577 /dev/zero", kPatient, "too much output"},
};

class EmfHelperBroken : public ::testing::TestWithParam<THelperCase> {
protected:
    void SetUp() override {
        InitImageFormats();
        const THelperCase& c = GetParam();
        helper = dir.filePath(QStringLiteral("fake-helper"));
        if (*c.script) {
            QFile f(helper);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(QByteArray("#!/bin/sh\n") + c.script + "\n");
            f.close();
            f.setPermissions(f.permissions() | QFileDevice::ExeOwner);
        }
        limits.TimeoutMs = c.timeoutMs;
        limits.MaxOutputBytes = 1 << 20;
    }
    void TearDown() override { SetEmfDrawer(nullptr); }

    QTemporaryDir dir;
    QString helper;
    TEmfHelperLimits limits;
};

TEST_P(EmfHelperBroken, FailureIsReportedAndTheHelperEnded) {
    const std::vector<uint8_t> emf = Emf();
    QElapsedTimer clock;
    clock.start();
    try {
        RunEmfHelper(helper, emf, limits);
        ADD_FAILURE() << "no failure reported";
    } catch (const ETaveluneError& e) {
        EXPECT_EQ(std::string(e.what()), std::string("EMF helper: ") + GetParam().error);
    }
    // A hanging or endless helper was killed, not waited for.
    EXPECT_LT(clock.elapsed(), 20000);
}

TEST_P(EmfHelperBroken, ReaderGivesTheLoadMessage) {
    SetEmfDrawer([this](TBytes emf) { return RunEmfHelper(helper, emf, limits); });
    TScriptedSeam seam;
    QString name = dir.filePath(QStringLiteral("drawing.emf"));
    WriteBytes(name, Emf());
    TBitmap bmp = UniformImage(2, 2, Grey(5));
    EXPECT_EQ(LoadImageFile(name, bmp), -1);
    ASSERT_EQ(seam.Messages.size(), 1);
    EXPECT_EQ(seam.Messages[0], QStringLiteral("Unable to load image in file \"%1\" !").arg(name));
    EXPECT_EQ(bmp.Width(), 2);
}

INSTANTIATE_TEST_SUITE_P(Helpers, EmfHelperBroken, ::testing::ValuesIn(kBrokenHelpers),
                         [](const auto& info) { return std::string(info.param.name); });

// No helper found anywhere: the reader is told so, like any other failure of the helper.
TEST(EmfHelper, NoProgramFound) {
    try {
        RunEmfHelper(QString(), Emf());
        ADD_FAILURE() << "no failure reported";
    } catch (const ETaveluneError& e) {
        EXPECT_STREQ(e.what(), "EMF helper: program not found");
    }
}

// Output that is not a drawing passes the helper's limits and fails where the SVG is drawn.
TEST(EmfHelper, UnreadableOutputGivesTheLoadMessage) {
    InitImageFormats();
    QTemporaryDir dir;
    SetEmfDrawer([](TBytes) { return QByteArray("this is not a drawing\n"); });
    TScriptedSeam seam;
    QString name = dir.filePath(QStringLiteral("drawing.emf"));
    WriteBytes(name, Emf());
    TBitmap bmp;
    EXPECT_EQ(LoadImageFile(name, bmp), -1);
    SetEmfDrawer(nullptr);
    EXPECT_EQ(seam.Messages.size(), 1);
}

// A helper that ends without reading a large input: the broken pipe is the helper's affair.
TEST(EmfHelper, HelperThatIgnoresItsInput) {
    QTemporaryDir dir;
    const QString helper = dir.filePath(QStringLiteral("fake-helper"));
    QFile f(helper);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("#!/bin/sh\necho '<svg/>'\n");
    f.close();
    f.setPermissions(f.permissions() | QFileDevice::ExeOwner);
    const std::vector<uint8_t> large(8 << 20, 0x41);
    EXPECT_EQ(RunEmfHelper(helper, large), QByteArray("<svg/>\n"));
}

// The build puts the real helper beside the programs that read EMF files, as the install puts
// it in the private library folder.
TEST(EmfHelper, RealHelperBesideTheProgram) {
    const QString helper = FindEmfHelper();
    ASSERT_FALSE(helper.isEmpty());
    EXPECT_EQ(QFileInfo(helper).absolutePath(),
              QFileInfo(QCoreApplication::applicationDirPath()).absoluteFilePath());

    const QByteArray svg = RunEmfHelper(helper, Emf());
    EXPECT_TRUE(svg.startsWith("<?xml")) << svg.left(80).toStdString();
    EXPECT_TRUE(svg.contains("<svg")) << svg.left(80).toStdString();

    // A damaged file: the helper walks the records itself and refuses it.
    std::vector<uint8_t> damaged = Emf();
    damaged[88 + 8] = 7; // an object slot outside the handle table
    try {
        RunEmfHelper(helper, damaged);
        ADD_FAILURE() << "damaged file drawn";
    } catch (const ETaveluneError& e) {
        EXPECT_STREQ(e.what(), "EMF helper: program failed");
    }
}

// Files are decoded on worker threads too: the helper runs from one as from the main thread.
TEST(EmfHelper, RunsFromAWorkerThread) {
    QByteArray svg;
    std::unique_ptr<QThread> worker(QThread::create([&svg] {
        try {
            svg = RunEmfHelper(FindEmfHelper(), Emf());
        } catch (const ETaveluneError&) {
        }
    }));
    worker->start();
    ASSERT_TRUE(worker->wait(kPatient));
    EXPECT_TRUE(svg.contains("<svg"));
}

// Run by hand with arguments, the helper says how it is used and does nothing else.
TEST(EmfHelper, RealHelperRefusesArguments) {
    QProcess p;
    p.start(FindEmfHelper(), {QStringLiteral("--help")});
    ASSERT_TRUE(p.waitForFinished(kPatient));
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(p.exitCode(), 2);
    EXPECT_TRUE(p.readAllStandardOutput().isEmpty());
    EXPECT_TRUE(p.readAllStandardError().contains("Usage:"));
}

} // namespace
