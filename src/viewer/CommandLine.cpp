#include "viewer/CommandLine.h"

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
