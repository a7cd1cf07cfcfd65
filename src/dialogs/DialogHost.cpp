// SPDX-License-Identifier: GPL-2.0-or-later
#include "dialogs/DialogHost.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPointer>
#include <QUrl>
#include <QWidget>

namespace {

QPointer<QWidget>& MainWindowSlot() {
    static QPointer<QWidget> slot;
    return slot;
}

std::function<void()>& BeepHookSlot() {
    static std::function<void()> hook;
    return hook;
}

std::function<bool(const QUrl&)>& UrlOpenerSlot() {
    static std::function<bool(const QUrl&)> opener;
    return opener;
}

} // namespace

void SetDialogMainWindow(QWidget* mainWindow) {
    MainWindowSlot() = mainWindow;
}

QWidget* DialogMainWindow() {
    return MainWindowSlot().data();
}

QWidget* DialogOwner() {
    if (QWidget* active = QApplication::activeWindow()) return active;
    return DialogMainWindow();
}

void CentreOnMainWindow(QWidget& window) {
    const QWidget* main = DialogMainWindow();
    if (main == nullptr || main == &window) return;
    const QRect frame = main->frameGeometry();
    window.move(frame.center() - QPoint(window.width() / 2, window.height() / 2));
}

QFont DialogFont() {
    return QApplication::font();
}

void ApplyDialogFont(QWidget& window) {
    window.setFont(DialogFont());
}

QString ProgramName() {
    return QGuiApplication::applicationDisplayName();
}

QString ProgramFileName() {
    return QFileInfo(QCoreApplication::applicationFilePath()).fileName();
}

void Beep() {
    if (BeepHookSlot())
        BeepHookSlot()();
    else
        QApplication::beep();
}

void SetBeepHook(std::function<void()> hook) {
    BeepHookSlot() = std::move(hook);
}

bool OpenUrl(const QUrl& url) {
    if (UrlOpenerSlot()) return UrlOpenerSlot()(url);
    return QDesktopServices::openUrl(url);
}

void SetUrlOpener(std::function<bool(const QUrl&)> opener) {
    UrlOpenerSlot() = std::move(opener);
}

QColor QColorOf(TColor c) {
    const TColor v = ResolveColor(c);
    return QColor(RedOf(v), GreenOf(v), BlueOf(v));
}
