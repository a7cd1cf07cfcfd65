// SPDX-License-Identifier: GPL-2.0-or-later
#include "viewer/PumpingClock.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

namespace {

class TQtPumpingClock final : public IPumpingClock {
public:
    void Pump(int ms) override {
        if (ms <= 0 || QCoreApplication::closingDown()) return;
        QEventLoop loop;
        QTimer timer;
        timer.setSingleShot(true);
        timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
        QObject::connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, &loop,
                         &QEventLoop::quit);
        timer.start(ms);
        // QCoreApplication::exit() ends nested loops too, so quitting never waits for the timer.
        loop.exec();
    }
};

} // namespace

std::unique_ptr<IPumpingClock> MakeQtPumpingClock() {
    return std::make_unique<TQtPumpingClock>();
}
