#include "viewer/EarlyImage.h"

#include "viewer/CommandLine.h"
#include "viewer/ReadAhead.h"

#include <QFileInfo>

std::optional<TEarlyImage> StartEarlyImage(TDecodeWorkers& workers, const QStringList& arguments) {
    const QString argument = OpenArgument(arguments);
    if (argument.isEmpty()) return std::nullopt;
    const QFileInfo info(argument);
    // Folders and sequence files are listed first; the window opens them itself.
    if (!info.isFile() || info.suffix().toLower() == QLatin1String("stl")) return std::nullopt;
    // The path exactly as the window's opening will name it.
    TEarlyImage early;
    early.Request = MakeDecodeRequest(info.absoluteFilePath());
    if (DecodeThreading(*early.Request.Class) == TDecodeThreading::UserInterfaceOnly)
        return std::nullopt;
    early.Result = std::make_shared<TPreparedImage>();
    early.Ticket = workers.Submit(
        [result = early.Result, request = early.Request] {
            *result = PrepareWorkingImage(request, std::nullopt);
        },
        kPriorityOpening);
    return early;
}
