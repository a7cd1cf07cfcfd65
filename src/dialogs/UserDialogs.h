// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The narrow way in which the main window and every command reach the user: messages and text
// input. The program-wide instance shows the real boxes; tests install a scripted one.

#include "dialogs/MyMsgDlg.h"

#include <QString>

class IUserDialogs {
public:
    virtual ~IUserDialogs() = default;

    // Returns mrYes, mrNo, mrOk or mrCancel.
    int Message(const QString& text, TMsgKind kind, unsigned buttons,
                const QString& heading = QString()) {
        return DoMessage(text, kind, buttons, heading);
    }
    // True with the edited text on OK; false leaves text unchanged.
    bool Input(const QString& heading, const QString& prompt, QString& text) {
        return DoInput(heading, prompt, text);
    }

protected:
    virtual int DoMessage(const QString& text, TMsgKind kind, unsigned buttons,
                          const QString& heading) = 0;
    virtual bool DoInput(const QString& heading, const QString& prompt, QString& text) = 0;
};

// The boxes of MyMsgDlg.
class TBoxUserDialogs : public IUserDialogs {
protected:
    int DoMessage(const QString& text, TMsgKind kind, unsigned buttons,
                  const QString& heading) override;
    bool DoInput(const QString& heading, const QString& prompt, QString& text) override;
};

// The instance in use: the one installed last, else the real boxes.
IUserDialogs& UserDialogs();
// Installs dialogs (not owned); null goes back to the real boxes.
void SetUserDialogs(IUserDialogs* dialogs);

// Installs dialogs for the life of the scope, then puts the previous ones back.
class TUserDialogsScope {
public:
    explicit TUserDialogsScope(IUserDialogs& dialogs);
    ~TUserDialogsScope();
    TUserDialogsScope(const TUserDialogsScope&) = delete;
    TUserDialogsScope& operator=(const TUserDialogsScope&) = delete;

private:
    IUserDialogs* m_previous;
};
