// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// What the viewer's benchmarks share: one Qt application on the offscreen platform, and the
// window's timers and waits replaced by ones that never fire or wait.

#include "browse/ImgZoom.h"
#include "viewer/PumpingClock.h"

#include <QApplication>
#include <functional>

inline QApplication& App() {
    static int argc = 1;
    static char name[] = "tavelune_bench_viewer";
    static char* argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(argc, argv);
    return app;
}

class TIdleTimer final : public IScrollTimer {
public:
    void Start(int, std::function<void()>) override {}
    void Stop() override {}
};

class TNoWait final : public IPumpingClock {
public:
    void Pump(int) override {}
};
