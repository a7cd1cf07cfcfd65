// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Helpers shared by the print tests.

#include "core/Bitmap.h"
#include "dialogs/DialogHost.h"

#include <QLocale>
#include <QString>
#include <ostream>

inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

// Sets the default locale (what the fields and messages write numbers with) for a scope.
class TLocaleScope {
public:
    explicit TLocaleScope(const QLocale& locale) : m_previous(QLocale()) {
        QLocale::setDefault(locale);
    }
    ~TLocaleScope() { QLocale::setDefault(m_previous); }
    TLocaleScope(const TLocaleScope&) = delete;
    TLocaleScope& operator=(const TLocaleScope&) = delete;

private:
    QLocale m_previous;
};

// Counts refused keys instead of sounding them.
struct TBeepCounter {
    int Count = 0;
    TBeepCounter() {
        SetBeepHook([this] { ++Count; });
    }
    ~TBeepCounter() { SetBeepHook(nullptr); }
};

// A uniform 24-bit image.
inline TBitmap SolidImage(int w, int h, QRgb colour) {
    QImage image(w, h, QImage::Format_BGR888);
    image.fill(QColor(colour));
    return TBitmap(image);
}
