// SPDX-License-Identifier: GPL-2.0-or-later
// tavelune-convert [options] INPUT... -o OUTPUT
#include "core/PixelMemory.h"
#include "core/Version.h"
#include "tools/ConvertCommand.h"

#include <QGuiApplication>
#include <cstdio>

namespace {

// The converter speaks through its own messages; the toolkit's notes (such as the offscreen
// platform's about the runtime folder) would only clutter the error stream.
QtMessageHandler g_standardHandler = nullptr;

void KeepSeriousMessages(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type != QtCriticalMsg && type != QtFatalMsg) return;
    if (g_standardHandler)
        g_standardHandler(type, context, text);
    else
        std::fprintf(stderr, "%s\n", qPrintable(text));
}

} // namespace

int main(int argc, char** argv) {
    ConfigurePixelMemory();
    // Help and version need no toolkit at all: they work where no platform can start.
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    QTextStream out(stdout), err(stderr);
    if (args.isEmpty() || args.contains(QStringLiteral("--help")) ||
        args.contains(QStringLiteral("-h"))) {
        (args.isEmpty() ? err : out) << ConvertUsage();
        return args.isEmpty() ? 1 : 0;
    }
    if (args.contains(QStringLiteral("--version"))) {
        out << VersionText(QStringLiteral("tavelune-convert"));
        return 0;
    }
    QString error;
    const std::optional<TConvertOptions> options = ParseConvertArguments(args, error);
    if (!options) {
        err << "tavelune-convert: " << error << "\n" << ConvertUsage();
        return 1;
    }
    // Drawings with text (SVG, metafiles) need the fonts of a GUI application; the converter
    // shows no window, so it needs no display either.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    g_standardHandler = qInstallMessageHandler(KeepSeriousMessages);
    QGuiApplication app(argc, argv);
    return RunConvert(*options, out, err);
}
