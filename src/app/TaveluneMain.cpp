// The viewer program: one main window and the event loop.
#include "core/PixelMemory.h"
#include "formats/FormatRegistry.h"
#include "viewer/EarlyImage.h"
#include "viewer/Main.h"

#include <QApplication>
#include <QIcon>
#include <QThread>

namespace {

// The image named on the command line decodes on a worker while Qt and the window come up.
std::shared_ptr<TEarlyImage> StartDecodingEarly(TDecodeWorkers& workers, int argc, char** argv) {
    // This thread is Qt's main thread, whatever the workers create before the application.
    QThread::currentThread();
    InitImageFormats();
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    std::optional<TEarlyImage> early = StartEarlyImage(workers, arguments);
    return early ? std::make_shared<TEarlyImage>(std::move(*early)) : nullptr;
}

} // namespace

int main(int argc, char** argv) {
    ConfigurePixelMemory();
    auto workers = std::make_shared<TDecodeWorkers>(TDecodeWorkers::DefaultThreads());
    std::shared_ptr<TEarlyImage> early = StartDecodingEarly(*workers, argc, argv);
    QApplication app(argc, argv);
    // The settings and data locations are derived from these names.
    QCoreApplication::setOrganizationName(QStringLiteral("Tavelune"));
    QCoreApplication::setApplicationName(QStringLiteral("Tavelune"));
    // Lets the desktop match the windows to the installed desktop entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.example.tavelune.Tavelune"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("tavelune")));

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
