// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A scripted stand-in for the user: records every message and input request and answers them
// from queues. Install it with TUserDialogsScope.

#include "dialogs/UserDialogs.h"

#include <QString>
#include <deque>
#include <optional>
#include <vector>

struct TRecordedMessage {
    QString Text;
    TMsgKind Kind;
    unsigned Buttons;
    QString Heading;
};

struct TRecordedInput {
    QString Heading;
    QString Prompt;
    QString Text;
};

class TScriptedUserDialogs : public IUserDialogs {
public:
    // Answers to the next messages; when empty, a message answers with its first button
    // among OK, Yes, No, Cancel.
    std::deque<int> MessageAnswers;
    // Answers to the next inputs: a text means OK with it, nullopt means Cancel. When empty,
    // an input is cancelled.
    std::deque<std::optional<QString>> InputAnswers;

    std::vector<TRecordedMessage> Messages;
    std::vector<TRecordedInput> Inputs;

protected:
    int DoMessage(const QString& text, TMsgKind kind, unsigned buttons,
                  const QString& heading) override {
        Messages.push_back({text, kind, buttons, heading});
        if (!MessageAnswers.empty()) {
            const int answer = MessageAnswers.front();
            MessageAnswers.pop_front();
            return answer;
        }
        if (buttons & mbOk) return mrOk;
        if (buttons & mbYes) return mrYes;
        if (buttons & mbNo) return mrNo;
        return mrCancel;
    }

    bool DoInput(const QString& heading, const QString& prompt, QString& text) override {
        Inputs.push_back({heading, prompt, text});
        if (InputAnswers.empty()) return false;
        const std::optional<QString> answer = InputAnswers.front();
        InputAnswers.pop_front();
        if (!answer) return false;
        text = *answer;
        return true;
    }
};
