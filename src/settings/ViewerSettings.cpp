// SPDX-License-Identifier: GPL-2.0-or-later
#include "settings/ViewerSettings.h"

#include "settings/AppPaths.h"

TViewerSettings DefaultViewerSettings(const TAppPaths& paths) {
    TViewerSettings s;
    s.defdir = paths.ProgramFolder();
    s.cdir = s.defdir;
    return s;
}

int FluidityStep(int index) {
    switch (index) {
    case 0:
        return 1;
    case 2:
        return 8;
    case 3:
        return 16;
    default:
        return 3;
    }
}

int FluidityIndex(int step) {
    switch (step) {
    case 1:
        return 0;
    case 3:
        return 1;
    case 8:
        return 2;
    case 16:
        return 3;
    default:
        return -1;
    }
}

QString CommentStylesToText(const TCommentStyles& styles) {
    QString text;
    if (styles.bold) text += u'b';
    if (styles.italic) text += u'i';
    if (styles.underline) text += u'u';
    return text;
}
