// SPDX-License-Identifier: GPL-2.0-or-later
#include "viewer/ImageExtensions.h"

#include <QSet>
#include <memory>

const QStringList& RegisteredImageExtensions() {
    static const QStringList list{"bmp",  "rle", "dib", "ico",  "wmf", "emf", "jfif", "jpg", "jpe",
                                  "jpeg", "win", "vst", "vda",  "tga", "icb", "pcx",  "pcc", "scr",
                                  "rpf",  "rla", "sgi", "rgba", "rgb", "bw",  "psd",  "pdd", "ppm",
                                  "pgm",  "pbm", "cel", "pic",  "pcd", "cut", "psp",  "tub", "tiff",
                                  "tif",  "fax", "tf8", "btf",  "gif", "png", "oxs",  "oxi"};
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
