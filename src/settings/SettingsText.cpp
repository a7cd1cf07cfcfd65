// SPDX-License-Identifier: GPL-2.0-or-later
#include "settings/SettingsText.h"

#include <QDir>
#include <limits>

std::optional<int> ParseSettingsInt(QStringView text) {
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) negative = text[i++] == u'-';
    if (i == text.size()) return std::nullopt;
    int64_t value = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < u'0' || text[i] > u'9') return std::nullopt;
        value = value * 10 + (text[i].unicode() - u'0');
        if (value > int64_t{std::numeric_limits<int>::max()} + 1) return std::nullopt;
    }
    if (negative) value = -value;
    if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max())
        return std::nullopt;
    return int(value);
}

QString AbsoluteSettingsPath(const QString& path) {
    if (path.isEmpty() || !QDir::isRelativePath(path)) return path;
    return QDir::current().absoluteFilePath(path);
}

QString WithTrailingSeparator(const QString& folder) {
    if (folder.endsWith(u'/') || folder.endsWith(QDir::separator())) return folder;
    return folder + QDir::separator();
}
