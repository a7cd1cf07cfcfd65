// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The program's own message box and input box: a white body with an icon, a heading, a rule
// and the message, above a grey strip of up to four buttons. Every question, warning and text
// input of the program goes through MsgBox and InputBox (usually by way of IUserDialogs).

#include "core/MessageKinds.h"
#include <QDialog>
#include <QString>
#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;
class TMyBevel;

inline constexpr int kMsgButtonWidth = 75;
inline constexpr int kMsgButtonHeight = 25;
inline constexpr int kMsgButtonGap = 5;
inline constexpr int kMsgStripHeight = kMsgButtonHeight + 31;
inline constexpr int kMsgMinWidth = 377;

class TMsgDlgForm : public QDialog {
    Q_OBJECT
public:
    explicit TMsgDlgForm(QWidget* owner = nullptr);

    // Lays the box out for one message; an empty heading means the kind's own.
    void SetupMessage(const QString& text, TMsgKind kind, unsigned buttons,
                      const QString& heading = QString());
    // Lays the box out as the input box; an empty heading means the default one.
    void SetupInput(const QString& heading, const QString& prompt, const QString& text);

    // Shows the box modally and returns mrYes, mrNo, mrOk or mrCancel.
    int Execute();

    QPushButton* DefaultButton() const { return m_default; }
    QPushButton* CancelButton() const { return m_cancel; }
    bool IsInputBox() const { return m_input; }

    // Runs once every box has started its modal loop; tests answer boxes from here.
    static void SetShowHook(std::function<void(TMsgDlgForm&)> hook);

    QLabel* ResIcon;
    QLabel* LblCaption;
    TMyBevel* CaptionSep;
    QLabel* LblMsg;
    QLineEdit* EdiInput;
    QWidget* PnlButtons;
    QWidget* PnlSepButtons;
    QPushButton* BtnYes;
    QPushButton* BtnNo;
    QPushButton* BtnOk;
    QPushButton* BtnCancel;

public slots:
    void reject() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Arrange(TMsgKind kind, unsigned buttons, const QString& heading);
    void ArrangeButtons(unsigned buttons, int clientWidth);

    bool m_input = false;
    QPushButton* m_default = nullptr;
    QPushButton* m_cancel = nullptr;
};

// Shows a message (a new box each time) and returns the button pressed; the title bar's close
// button answers mrCancel.
int MsgBox(const QString& text, TMsgKind kind, unsigned buttons,
           const QString& heading = QString());
// Shows the input box; true with the edited text on OK, false with text left as it was.
bool InputBox(const QString& heading, const QString& prompt, QString& text);
