// SPDX-License-Identifier: GPL-2.0-or-later
#include "browse/CommandLine.h"

#include "settings/Themes.h"

#include <QFileInfo>

bool PathExists(const QString& path) {
    return !path.isEmpty() && QFileInfo::exists(path);
}

bool IsSwitchArgument(const QString& argument, const TPathExists& exists) {
    if (argument.startsWith(u'-')) return true;
    if (argument.startsWith(u'/')) return !exists(argument);
    return false;
}

int ReadSlideshowSwitch(const QStringList& arguments, const TPathExists& exists) {
    int value = -1;
    for (const QString& argument : arguments) {
        if (!IsSwitchArgument(argument, exists)) continue;
        const QString lower = argument.toLower();
        if (lower.mid(1, 10) != QLatin1String("diaporama=")) continue;
        const QString rest = lower.mid(11);
        if (rest == QLatin1String("1") || rest == QLatin1String("oui"))
            value = 1;
        else if (rest == QLatin1String("0") || rest == QLatin1String("non"))
            value = 0;
    }
    return value;
}

QString OpenArgument(const QStringList& arguments, const TPathExists& exists) {
    for (const QString& argument : arguments)
        if (!IsSwitchArgument(argument, exists) && !IsThemeFileName(argument)) return argument;
    return {};
}

TInfoRequest ReadInfoRequest(const QStringList& arguments, const TPathExists& exists) {
    for (const QString& argument : arguments) {
        const bool help = argument == QLatin1String("--help");
        const bool version = argument == QLatin1String("--version");
        if ((help || version) && !exists(argument))
            return help ? TInfoRequest::Help : TInfoRequest::Version;
    }
    return TInfoRequest::None;
}

QString ViewerUsage() {
    return QStringLiteral(
        "Usage: tavelune [THEME.tlt] [-diaporama=1|0] [FOLDER | SEQUENCE.stl | IMAGE]\n"
        "Shows an image, a folder of images (with its subfolders) or a sequence of images.\n"
        "\n"
        "  FOLDER            the images of the folder and its subfolders, as a slideshow\n"
        "  SEQUENCE.stl      the images of a saved sequence, as a slideshow\n"
        "  IMAGE             the image, with the images of its folder\n"
        "  THEME.tlt         a theme applied first (from the themes folder when named\n"
        "                    without a folder)\n"
        "  -diaporama=0|non  no slideshow at start\n"
        "  -diaporama=1|oui  a slideshow also for a single image\n"
        "  --help            print this help and exit\n"
        "  --version         print the version and exit\n"
        "\n"
        "Switches may also begin with \"/\". The manual is \"Information\" in the \"?\" menu,\n"
        "or man tavelune.\n");
}
