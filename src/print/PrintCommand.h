// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The print command of the main window: the print dialog (built on first use, kept between uses
// and rebuilt when the print unit changes), the wait window and the printer, and one job per
// "Print".
//
//     TPrintCommand print;                       // a member of the main window
//     print.Run(this, image, currentFile, PageUnitFromSetting(settings.unit));
//
// The command is meant to be enabled when PrintersAvailable(), an image is shown and no
// slideshow runs.

#include "print/PageLayout.h"
#include "print/PrintJob.h"

#include <QPointer>
#include <QString>
#include <memory>

class IPrintTarget;
class IUserDialogs;
class QWidget;
class TAnnulerForm;
class TBitmap;
class TImprForm;

class TPrintCommand {
public:
    // Prints with target (the system's printer or PDF file when null); messages go through
    // dialogs, or the program-wide ones when null.
    explicit TPrintCommand(std::unique_ptr<IPrintTarget> target = nullptr,
                           IUserDialogs* dialogs = nullptr);
    ~TPrintCommand();
    TPrintCommand(const TPrintCommand&) = delete;
    TPrintCommand& operator=(const TPrintCommand&) = delete;

    // Shows the print dialog for the image of the file at filePath (the job's title is its name
    // without the folder) and prints on "Print". The windows are created as children of owner.
    // Returns what became of the job; Cancelled also when the dialog was cancelled or the
    // image is empty.
    TPrintResult Run(QWidget* owner, const TBitmap& image, const QString& filePath, TPageUnit unit);

    // Drops the dialog when the unit differs from its own, so that the next use builds it anew.
    void SetUnit(TPageUnit unit);

    IPrintTarget& Target() { return *m_target; }
    // The windows, once built (null before and after the owner destroyed them).
    TImprForm* Form() const { return m_form.data(); }
    TAnnulerForm* WaitForm() const { return m_wait.data(); }
    // What the job uses to handle pending events (tests replace it).
    void SetEventPump(TEventPump pump) { m_pump = std::move(pump); }

private:
    std::unique_ptr<IPrintTarget> m_target;
    IUserDialogs* m_dialogs;
    TEventPump m_pump = ProcessPendingEvents;
    QPointer<TImprForm> m_form;
    QPointer<TAnnulerForm> m_wait;
};
