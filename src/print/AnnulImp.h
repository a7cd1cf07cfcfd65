#pragma once
// The small window shown while the page goes to the printing system: "Please wait, spooling
// data..." and "Cancel". Cancel discards an open document and marks the job cancelled. While it
// shows, the program's other windows take no input but keep painting.

#include <QWidget>

class IPrintTarget;
class QFrame;
class QLabel;
class QPushButton;

class TAnnulerForm : public QWidget {
    Q_OBJECT
public:
    explicit TAnnulerForm(QWidget* parent = nullptr);

    // The printer whose open document Cancel discards (not owned; null for none).
    void SetTarget(IPrintTarget* target) { m_target = target; }
    bool Cancelled() const { return m_cancelled; }
    void ClearCancelled() { m_cancelled = false; }

    // Shows the window centred on the main window, above the others, with Cancel enabled.
    void ShowWaiting();
    // Cancel is offered only while the job can still be cancelled.
    void SetCancellable(bool cancellable);

    // Marks the job cancelled and discards the open document, unless the printer can no longer
    // take it back (then Cancel is disabled and this does nothing).
    void BAnnulerClick();

    QFrame* Panel;
    QLabel* LabelTitre;
    QPushButton* BAnnuler;

private:
    IPrintTarget* m_target = nullptr;
    bool m_cancelled = false;
};
