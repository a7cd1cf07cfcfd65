// tavelune-convert [options] INPUT... -o OUTPUT
#include "core/PixelMemory.h"
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
    // Drawings with text (SVG, metafiles) need the fonts of a GUI application; the converter
    // shows no window, so it needs no display either.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    g_standardHandler = qInstallMessageHandler(KeepSeriousMessages);
    QGuiApplication app(argc, argv);
    QTextStream out(stdout), err(stderr);
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    if (args.isEmpty() || args.contains(QStringLiteral("--help")) ||
        args.contains(QStringLiteral("-h"))) {
        (args.isEmpty() ? err : out) << ConvertUsage();
        return args.isEmpty() ? 1 : 0;
    }
    QString error;
    const std::optional<TConvertOptions> options = ParseConvertArguments(args, error);
    if (!options) {
        err << "tavelune-convert: " << error << "\n" << ConvertUsage();
        return 1;
    }
    return RunConvert(*options, out, err);
}
