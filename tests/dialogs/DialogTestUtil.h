// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Helpers shared by the dialog tests.

#include "dialogs/DialogHost.h"

#include <QCoreApplication>
#include <QDialog>
#include <QFocusEvent>
#include <QString>
#include <QTest>
#include <QTimer>
#include <ostream>

inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

// Counts refusals instead of sounding them.
struct BeepCounter {
    int Count = 0;
    BeepCounter() {
        SetBeepHook([this] { ++Count; });
    }
    ~BeepCounter() { SetBeepHook(nullptr); }
};

inline void LoseFocus(QWidget& w) {
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QCoreApplication::sendEvent(&w, &out);
}

inline void Type(QWidget& w, const QString& keys) {
    for (QChar c : keys)
        QTest::keyClick(&w, c.toLatin1());
}

// Ends a dialog that ignored what the test sent it, so that a fault fails the test instead of
// leaving it waiting.
inline constexpr int kStillOpen = 99;

inline void EndIfStillOpen(QDialog& dialog) {
    QTimer::singleShot(0, &dialog, [&dialog] {
        if (dialog.isVisible()) dialog.done(kStillOpen);
    });
}
