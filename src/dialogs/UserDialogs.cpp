// SPDX-License-Identifier: GPL-2.0-or-later
#include "dialogs/UserDialogs.h"

namespace {

IUserDialogs*& Installed() {
    static IUserDialogs* installed = nullptr;
    return installed;
}

} // namespace

int TBoxUserDialogs::DoMessage(const QString& text, TMsgKind kind, unsigned buttons,
                               const QString& heading) {
    return MsgBox(text, kind, buttons, heading);
}

bool TBoxUserDialogs::DoInput(const QString& heading, const QString& prompt, QString& text) {
    return InputBox(heading, prompt, text);
}

IUserDialogs& UserDialogs() {
    static TBoxUserDialogs boxes;
    return Installed() != nullptr ? *Installed() : boxes;
}

void SetUserDialogs(IUserDialogs* dialogs) {
    Installed() = dialogs;
}

TUserDialogsScope::TUserDialogsScope(IUserDialogs& dialogs) : m_previous(Installed()) {
    Installed() = &dialogs;
}

TUserDialogsScope::~TUserDialogsScope() {
    Installed() = m_previous;
}
