// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The waits of the main window (the second before automatic scrolling, the 700 ms before
// scrolling at an edge) keep handling window events while they last. The clock decides how
// long that takes; tests install one on which the time passes at once.

#include <memory>

class IPumpingClock {
public:
    virtual ~IPumpingClock() = default;
    // Handles window events until ms milliseconds have passed on a steady clock, or until the
    // application is quitting.
    virtual void Pump(int ms) = 0;
};

// A nested event loop ended by a precise single-shot timer (or by the application quitting).
std::unique_ptr<IPumpingClock> MakeQtPumpingClock();
