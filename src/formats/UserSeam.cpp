#include "formats/UserSeam.h"

#include <cstdio>

namespace {

TFileUserSeam* g_seam = nullptr;

// Without a user the first button of the set answers: Ok, else Yes, else No, else Cancel.
int FirstButtonResult(unsigned buttons) {
    if (buttons & mbOk) return mrOk;
    if (buttons & mbYes) return mrYes;
    if (buttons & mbNo) return mrNo;
    return mrCancel;
}

} // namespace

int TConsoleUserSeam::MessageBox(const QString& text, TMsgKind, unsigned buttons) {
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
    return FirstButtonResult(buttons);
}

QString TConsoleUserSeam::ChooseOpenName(const TOpenNameRequest&, bool&) {
    return {};
}

QString TConsoleUserSeam::ChooseSaveName(const TSaveNameRequest&) {
    return {};
}

TFileUserSeam& FileUserSeam() {
    static TConsoleUserSeam console;
    return g_seam ? *g_seam : console;
}

void SetFileUserSeam(TFileUserSeam* seam) {
    g_seam = seam;
}
