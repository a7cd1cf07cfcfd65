// SPDX-License-Identifier: GPL-2.0-or-later
#include "formats/DateDisplay.h"

const QLocale& DateDisplayLocale() {
    static const QLocale locale = QLocale::system();
    return locale;
}

QString FormatDisplayDate(const QDateTime& when, const QLocale& locale) {
    // Date and time apart, so no time-zone rule can move a wall-clock time read from a file.
    return locale.toString(when.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
           locale.toString(when.time(), QLocale::ShortFormat);
}
