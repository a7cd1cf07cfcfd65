// SPDX-License-Identifier: GPL-2.0-or-later
// The viewer program: one main window and the event loop.
#include "core/PixelMemory.h"
#include "core/Version.h"
#include "formats/FormatRegistry.h"
#include "viewer/CommandLine.h"
#include "viewer/Main.h"

#include <QApplication>
#include <QIcon>
#include <cstdio>

namespace {

// "--help" and "--version" print before any window or display connection exists; -1 when the
// arguments ask for neither.
int PrintInfoRequest(int argc, char** argv) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    QString text;
    switch (ReadInfoRequest(arguments)) {
    case TInfoRequest::None:
        return -1;
    case TInfoRequest::Help:
        text = ViewerUsage();
        break;
    case TInfoRequest::Version:
        text = VersionText(QStringLiteral("tavelune"));
        break;
    }
    std::fputs(text.toLocal8Bit().constData(), stdout);
    return std::fflush(stdout) == 0 && !std::ferror(stdout) ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    if (const int status = PrintInfoRequest(argc, argv); status >= 0) return status;
    ConfigurePixelMemory();
    QApplication app(argc, argv);
    // The settings and data locations are derived from these names.
    QCoreApplication::setOrganizationName(QStringLiteral("Tavelune"));
    QCoreApplication::setApplicationName(QStringLiteral("Tavelune"));
    // Lets the desktop match the windows to the installed desktop entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.example.tavelune.Tavelune"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("tavelune")));
    InitImageFormats();

    TMainFormSeams seams;
    seams.Arguments = QCoreApplication::arguments().mid(1);
    int status = 0;
    {
        TMainForm form(std::move(seams));
        form.show();
        status = QApplication::exec();
    }
    DoneImageFormats();
    return status;
}
