// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// What the settings store needs of the running program. The main window implements both
// interfaces; the store itself never touches a window.

#include "core/Color.h"

#include <QString>

// Effects of reading keys that act on the running program at once.
class ISettingsEffects {
public:
    virtual ~ISettingsEffects() = default;

    // `unit` read as inch: the print dialog must be rebuilt in the new unit.
    virtual void PrintUnitChanged() = 0;
    // `cf` read with a valid colour.
    virtual void BackgroundColourChanged(TColor colour) = 0;
    // `fluidite` read: the scroller's step in pixels.
    virtual void ScrollStepChanged(int step) = 0;
    virtual bool IsFullScreen() const = 0;
    // `pe` read with a value that differs from the current mode.
    virtual void SetFullScreen(bool on) = 0;
    // `bagrandir` read as "1".
    virtual void Maximise() = 0;
    // Discards any pattern picture, then loads one from the path; true when it is shown.
    virtual bool LoadPattern(const QString& path) = 0;
    virtual void DiscardPattern() = 0;
};

// The store's way to tell the user something went wrong.
class ISettingsMessages {
public:
    virtual ~ISettingsMessages() = default;
    virtual void ShowError(const QString& text) = 0;
};
