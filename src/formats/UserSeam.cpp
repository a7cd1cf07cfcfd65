// SPDX-License-Identifier: GPL-2.0-or-later
#include "formats/UserSeam.h"

#include <cstdio>

namespace {

IFileUserSeam* g_seam = nullptr;

// The answer of a box nobody can see: its first button.
int FirstButton(unsigned buttons) {
    if (buttons & mbYes) return mrYes;
    if (buttons & mbNo) return mrNo;
    if (buttons & mbOk) return mrOk;
    return mrCancel;
}

} // namespace

int TConsoleUserSeam::MessageBox(const QString& text, TMsgKind, unsigned buttons) {
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
    return FirstButton(buttons);
}

QString TConsoleUserSeam::ChooseOpenName(const TOpenNameRequest&, bool&) {
    return {};
}

QString TConsoleUserSeam::ChooseSaveName(const TSaveNameRequest&) {
    return {};
}

IFileUserSeam& FileUserSeam() {
    static TConsoleUserSeam console;
    return g_seam ? *g_seam : console;
}

void SetFileUserSeam(IFileUserSeam* seam) {
    g_seam = seam;
}
