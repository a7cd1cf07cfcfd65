// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The progress hook of long pixel operations and codecs. Nothing observes it today, so every
// call answers "continue"; operations still honour a stop so an observer can be added later.

enum TProgressKind { pkBegin = 0, pkStep = 1, pkEnd = 2 };

// kind pkBegin: value = number of steps (<= 0 means 100); pkStep: current step; pkEnd.
bool FilterProgress(int kind, int value);

// Calls begin on construction and end on destruction, so end also runs when an operation
// stops early or throws.
class TProgressScope {
public:
    explicit TProgressScope(int total) : m_go(FilterProgress(pkBegin, total)) {}
    ~TProgressScope() { FilterProgress(pkEnd, 0); }
    TProgressScope(const TProgressScope&) = delete;
    TProgressScope& operator=(const TProgressScope&) = delete;

    bool Started() const { return m_go; }
    bool Step(int value) { return FilterProgress(pkStep, value); }

private:
    bool m_go;
};

// Forwards the stage events of codecs and of the compressed-stream reader to the hook.
class TFilterGraphicProgress {
public:
    enum TStage { psStarting, psRunning, psEnding };
    // total is used at psStarting (100 for codecs, the stream size for the stream reader).
    bool Progress(TStage stage, int value, int total = 100);
};

TFilterGraphicProgress& GraphicProgress();
