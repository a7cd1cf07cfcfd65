// The information text of the open dialog's preview pane, and the save dialog's extension rule.
#include "dialogs/MyDlgs.h"

#include "core/InterfaceTexts.h"
#include "formats/DateDisplay.h"
#include "formats/Exif.h"
#include "formats/FileNames.h"
#include "formats/ImageFiles.h"

#include <QFileInfo>

QString FileSizeText(qint64 bytes, const QLocale& locale) {
    if (bytes <= 1) return QStringLiteral("%1 octet").arg(bytes);
    if (bytes <= 1023) return QStringLiteral("%1 octets").arg(bytes);
    double size = 0;
    const char* unit = nullptr;
    if (bytes <= 1048575) {
        size = double(bytes) / 1024;
        unit = "Ko";
    } else if (bytes <= 1073741823) {
        size = double(bytes) / (1024 * 1024);
        unit = "Mo";
    } else {
        size = double(bytes) / (1024 * 1024 * 1024);
        unit = "Go";
    }
    QLocale plain = locale;
    plain.setNumberOptions(QLocale::OmitGroupSeparator);
    return plain.toString(size, 'f', 2) + u' ' + QLatin1String(unit);
}

QString PictureKindText(const QString& fileName, int bitDepth, bool animatedGif) {
    if (IsGifName(fileName))
        return animatedGif ? QString::fromUtf8("Gif animé") : QStringLiteral("8 bits");
    if (IsIcoName(fileName)) return InterfaceTexts().Icon;
    if (IsMetafileName(fileName)) return QStringLiteral("Metafile");
    if (IsOxiName(fileName)) return QStringLiteral("Ostrevalden Image");
    if (IsOxsName(fileName)) return InterfaceTexts().OstrevaldenSelection;
    switch (bitDepth) {
    case 1:
        return QStringLiteral("1 bit");
    case 4:
        return QStringLiteral("4 bits");
    case 8:
        return QStringLiteral("8 bits");
    case 32:
        return QStringLiteral("32 bits");
    default:
        return QStringLiteral("24 bits");
    }
}

QString PictureInfoText(const QString& fileName, int bitDepth, TTransparencyKind transparency,
                        const QLocale& locale) {
    const bool animated = IsGifName(fileName) && AnimatedGif();
    QStringList lines;
    lines << QStringLiteral("%1x%2 pixels").arg(FileWidth()).arg(FileHeight());
    lines << PictureKindText(fileName, bitDepth, animated);
    if (!animated) {
        if (transparency == tkColorKey) lines << QStringLiteral("Transparence");
        if (transparency == tkAlpha) lines << QStringLiteral("RVBA (couche Alpha)");
    }
    if (!IccDescription().isEmpty()) lines << QStringLiteral("ICC profile: ") + IccDescription();
    const QFileInfo info(fileName);
    lines << FileSizeText(info.size(), locale);
    lines << FormatDisplayDate(info.lastModified(), locale);
    if (HasExifName(fileName)) {
        const QString exif = ExifInfoText(fileName, locale);
        if (!exif.isEmpty()) lines << QString() << exif;
    }
    return lines.join(u'\r');
}

QString FirstMaskExtension(const QString& masks) {
    const QString mask = masks.section(u';', 0, 0);
    const qsizetype maskDot = mask.indexOf(u'.');
    return maskDot >= 0 ? mask.mid(maskDot) : u'.' + mask;
}

QString NameWithMaskExtension(const QString& typedName, const QString& masks) {
    if (typedName.isEmpty()) return typedName;
    const QString extension = FirstMaskExtension(masks);
    const qsizetype separator = std::max(typedName.lastIndexOf(u'/'), typedName.lastIndexOf(u'\\'));
    const qsizetype dot = typedName.lastIndexOf(u'.');
    return (dot > separator ? typedName.left(dot) : typedName) + extension;
}
