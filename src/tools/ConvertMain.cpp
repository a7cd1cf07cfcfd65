// SPDX-License-Identifier: GPL-2.0-or-later
// tavelune-convert [options] INPUT... -o OUTPUT
#include "core/PixelMemory.h"
#include "core/Version.h"
#include "tools/ConvertCommand.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char** argv) {
    ConfigurePixelMemory();
    QCoreApplication app(argc, argv);
    QTextStream out(stdout), err(stderr);
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
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
    return RunConvert(*options, out, err);
}
