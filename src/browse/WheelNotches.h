// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Whole wheel notches out of the angle deltas of wheel events. A classic wheel sends one event
// of 120 units (15 degrees) per notch; high-resolution wheels and touchpads send the same notch
// in many small events. What falls short of a notch waits for the next event; turning the other
// way starts afresh.

inline constexpr int kWheelNotch = 120;

class TWheelNotches {
public:
    // The notches this delta completes: positive for a turn away from the user (wheel up),
    // negative toward the user.
    int Add(int delta);
    // What is kept of an unfinished notch.
    int Rest() const { return m_rest; }

private:
    int m_rest = 0;
};
