// SPDX-License-Identifier: GPL-2.0-or-later
// The viewer program: one main window and the event loop.
#include "browse/CommandLine.h"
#include "browse/EarlyImage.h"
#include "core/PixelMemory.h"
#include "core/Version.h"
#include "formats/FormatRegistry.h"
#include "viewer/Main.h"
#include "viewer/SessionBus.h"

#include <QApplication>
#include <QThread>
#include <cstdio>
#include <memory>

namespace {

// The arguments before Qt has seen them (it is not running yet).
QStringList ArgumentsOf(int argc, char** argv) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

// "--help" and "--version" print before any window or display connection exists; -1 when the
// arguments ask for neither.
int PrintInfoRequest(const QStringList& arguments) {
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

// The image named on the command line decodes on a worker while Qt and the window come up.
std::shared_ptr<TEarlyImage> StartDecodingEarly(TDecodeWorkers& workers,
                                                const QStringList& arguments) {
    // This thread is Qt's main thread, whatever the workers create before the application.
    QThread::currentThread();
    InitImageFormats();
    std::optional<TEarlyImage> early = StartEarlyImage(workers, arguments);
    return early ? std::make_shared<TEarlyImage>(std::move(*early)) : nullptr;
}

} // namespace

int main(int argc, char** argv) {
    const QStringList arguments = ArgumentsOf(argc, argv);
    if (const int status = PrintInfoRequest(arguments); status >= 0) return status;
    // Qt's accessibility bridge asks for the session bus while the window is built; the
    // environment changes here, before the first worker thread.
    PreventBusLaunch();
    ConfigurePixelMemory();
    auto workers = std::make_shared<TDecodeWorkers>(TDecodeWorkers::DefaultThreads());
    std::shared_ptr<TEarlyImage> early = StartDecodingEarly(*workers, arguments);
    QApplication app(argc, argv);
    // The settings and data locations are derived from these names.
    QCoreApplication::setOrganizationName(QStringLiteral("Tavelune"));
    QCoreApplication::setApplicationName(QStringLiteral("Tavelune"));
    // Lets the desktop match the windows to the installed desktop entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.example.tavelune.Tavelune"));

    TMainFormSeams seams;
    seams.Arguments = QCoreApplication::arguments().mid(1);
    seams.Workers = workers;
    seams.EarlyImage = std::move(early);
    int status = 0;
    {
        TMainForm form(std::move(seams));
        form.show();
        status = QApplication::exec();
    }
    DoneImageFormats();
    return status;
}
