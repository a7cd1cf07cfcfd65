// SPDX-License-Identifier: GPL-2.0-or-later
// "--help" and "--version" of both programs: printed on the standard output with status 0,
// before the viewer connects to any display. The programs run here with a display platform
// that does not exist, so the viewer fails as soon as it tries to start its application.
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <string>

namespace {

struct TRun {
    QProcess::ExitStatus exitStatus;
    int status;
    QString out, err;
};

TRun RunProgram(const QString& program, const QStringList& args, const QString& folder = {},
                const QString& outputFile = {}) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("no-such-platform"));
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    p.setProcessEnvironment(env);
    if (!folder.isEmpty()) p.setWorkingDirectory(folder);
    if (!outputFile.isEmpty()) p.setStandardOutputFile(outputFile);
    p.start(program, args);
    EXPECT_TRUE(p.waitForFinished(60000));
    return {p.exitStatus(), p.exitCode(), QString::fromLocal8Bit(p.readAllStandardOutput()),
            QString::fromLocal8Bit(p.readAllStandardError())};
}

struct TInfoCase {
    const char* name;
    const char* program;
    QStringList args;
    QString firstLine; // of the standard output
};

const QString kVersion = QStringLiteral(TAVELUNE_PROJECT_VERSION);

class ProgramInfo : public ::testing::TestWithParam<TInfoCase> {};

TEST_P(ProgramInfo, PrintedOnTheStandardOutputWithStatusZero) {
    const TInfoCase& c = GetParam();
    const TRun r = RunProgram(QString::fromUtf8(c.program), c.args);
    EXPECT_EQ(r.exitStatus, QProcess::NormalExit);
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out.section(QLatin1Char('\n'), 0, 0), c.firstLine) << r.out.toStdString();
    EXPECT_TRUE(r.out.endsWith(QLatin1Char('\n')));
    EXPECT_TRUE(r.err.isEmpty()) << r.err.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Programs, ProgramInfo,
    ::testing::Values(
        TInfoCase{"ViewerHelp",
                  TAVELUNE_VIEWER,
                  {"--help"},
                  "Usage: tavelune [THEME.tlt] [-diaporama=1|0] [FOLDER | SEQUENCE.stl | IMAGE]"},
        TInfoCase{"ViewerVersion", TAVELUNE_VIEWER, {"--version"}, "tavelune " + kVersion},
        TInfoCase{"ViewerHelpAfterOtherArguments",
                  TAVELUNE_VIEWER,
                  {"-diaporama=0", "photo.jpg", "--help"},
                  "Usage: tavelune [THEME.tlt] [-diaporama=1|0] [FOLDER | SEQUENCE.stl | IMAGE]"},
        TInfoCase{"ViewerFirstRequestCounts",
                  TAVELUNE_VIEWER,
                  {"--version", "--help"},
                  "tavelune " + kVersion},
        TInfoCase{"ConvertHelp",
                  TAVELUNE_CONVERT,
                  {"--help"},
                  "usage: tavelune-convert [options] INPUT... -o OUTPUT"},
        TInfoCase{"ConvertShortHelp",
                  TAVELUNE_CONVERT,
                  {"-h"},
                  "usage: tavelune-convert [options] INPUT... -o OUTPUT"},
        TInfoCase{
            "ConvertVersion", TAVELUNE_CONVERT, {"--version"}, "tavelune-convert " + kVersion}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ProgramInfo, VersionCarriesTheLicence) {
    for (const char* program : {TAVELUNE_VIEWER, TAVELUNE_CONVERT}) {
        const TRun r = RunProgram(QString::fromUtf8(program), {QStringLiteral("--version")});
        EXPECT_TRUE(r.out.contains("GNU GPL version 2 or later")) << r.out.toStdString();
    }
}

TEST(ProgramInfo, HelpListsTheSwitches) {
    const TRun r = RunProgram(QStringLiteral(TAVELUNE_VIEWER), {QStringLiteral("--help")});
    for (const char* word : {"-diaporama=0|non", "-diaporama=1|oui", "THEME.tlt", "--version"})
        EXPECT_TRUE(r.out.contains(QLatin1String(word))) << word;
}

// As for the "/" switches, an argument that names an existing file is not a request: with a
// file named "--help" in the current folder the viewer goes on to start, and fails here for
// want of a display platform.
TEST(ProgramInfo, ExistingFileOfThatNameIsNoRequest) {
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("--help")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    const TRun r =
        RunProgram(QStringLiteral(TAVELUNE_VIEWER), {QStringLiteral("--help")}, dir.path());
    EXPECT_FALSE(r.exitStatus == QProcess::NormalExit && r.status == 0);
    EXPECT_FALSE(r.out.contains("Usage:"));
}

// A standard output that cannot be written is a failure, not a success.
TEST(ProgramInfo, UnwritableOutputFails) {
    const TRun r = RunProgram(QStringLiteral(TAVELUNE_VIEWER), {QStringLiteral("--help")}, {},
                              QStringLiteral("/dev/full"));
    EXPECT_EQ(r.exitStatus, QProcess::NormalExit);
    EXPECT_EQ(r.status, 1);
}

// Without arguments tavelune-convert prints its usage on the standard error with status 1.
TEST(ProgramInfo, ConvertWithoutArgumentsFails) {
    const TRun r = RunProgram(QStringLiteral(TAVELUNE_CONVERT), {});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_TRUE(r.err.startsWith("usage: tavelune-convert"));
}

} // namespace
