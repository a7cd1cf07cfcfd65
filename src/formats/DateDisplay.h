// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The date display format: the user's short date format, a space, the user's short time format.

#include <QDateTime>
#include <QLocale>
#include <QString>

// The user's regional settings, read on first use and kept for the rest of the run.
const QLocale& DateDisplayLocale();

QString FormatDisplayDate(const QDateTime& when, const QLocale& locale = DateDisplayLocale());
