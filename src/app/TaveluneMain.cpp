// The viewer program: one main window and the event loop.
#include "core/PixelMemory.h"
#include "formats/FormatRegistry.h"
#include "viewer/Main.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char** argv) {
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
