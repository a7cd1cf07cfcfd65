#include "formats/UserSeam.h"

#include <cstdio>

namespace {

TFileUserSeam* g_seam = nullptr;

TMsgButton FirstButton(unsigned buttons) {
    for (TMsgButton b : {mbOK, mbYes, mbNo, mbCancel})
        if (buttons & b) return b;
    return mbOK;
}

} // namespace

TMsgButton TConsoleUserSeam::MessageBox(const QString& text, TMsgKind, unsigned buttons) {
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
    return FirstButton(buttons);
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
