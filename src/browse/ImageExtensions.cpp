// SPDX-License-Identifier: GPL-2.0-or-later
#include "browse/ImageExtensions.h"

#include "formats/FormatRegistry.h"

#include <QSet>
#include <memory>

const QStringList& RegisteredImageExtensions() {
    // The registry only ever holds its start-up extensions (texts change, extensions do not).
    static const QStringList list = [] {
        QStringList extensions;
        for (const TExtensionEntry& e : FileFormats().Extensions())
            extensions << e.Extension;
        return extensions;
    }();
    return list;
}

namespace {

QSet<QString> NormalisedSet(const QStringList& extensions) {
    QSet<QString> set;
    for (const QString& e : extensions)
        set.insert((e.startsWith(u'.') ? e.mid(1) : e).toLower());
    return set;
}

} // namespace

bool IsRegisteredImageExtension(const QString& lowerExtension) {
    static const QSet<QString> set = NormalisedSet(RegisteredImageExtensions());
    return set.contains(lowerExtension);
}

TExtensionFilter ExtensionListFilter(const QStringList& extensions) {
    auto set = std::make_shared<const QSet<QString>>(NormalisedSet(extensions));
    return [set](const QString& ext) { return set->contains(ext); };
}
