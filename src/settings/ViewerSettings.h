// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The settings record: one field per settings-file key, named after the key, holding the
// built-in defaults until a file is read. zoom, teinte, reglage, rotation and pcmt are read
// without a range check; their users treat unknown values as they see fit.

#include "core/Color.h"
#include "core/Rect.h"
#include "settings/SettingValues.h"

#include <QString>
#include <optional>

class TAppPaths;

struct TFrameSetting {
    TColor colour = clWhite;
    int width = 15; // 1..50 pixels
    friend bool operator==(const TFrameSetting&, const TFrameSetting&) = default;
};

struct TCommentStyles {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    friend bool operator==(const TCommentStyles&, const TCommentStyles&) = default;
};

enum TPrintUnit { puCentimetre = 0, puInch = 1 };

inline constexpr int kDefaultCacheMiB = 210;
inline constexpr int kMaxCacheMiB = 65536;

struct TViewerSettings {
    QString defdir;                           // default folder of the open dialog
    int unit = puCentimetre;                  // print unit
    TColor cf = SystemColor(sciAppWorkSpace); // background colour of the view
    QString motif;                            // pattern picture path (absolute once read)
    bool bmotif = false;                      // pattern shown
    TFrameSetting cadre;                      // photo-frame colour and width
    bool bcadre = true;                       // photo frame shown
    bool bombre = true;                       // drop shadow (never together with b3d)
    bool b3d = false;                         // sunken 3D frame
    bool brayures = false;                    // scan lines
    int zoom = kZoomFit;                      // zoom mode 0..8
    bool breduction = true;                   // fit modes only reduce
    bool boptimiserz = true;                  // smooth scaling
    int vtaille = 480;                        // thumbnail size 50..2000
    bool bva = false;                         // thumbnail at a random place
    int delai = 3;                            // slideshow delay 1..10 s
    bool bboucler = true;                     // slideshow loops
    bool bquitter = false;                    // exit when the slideshow ends
    bool bsa = true;                          // automatic scrolling
    bool bss = true;                          // scrolling near the edges
    int fluidite = 3;            // the scrolling step in pixels (1, 3, 8 or 16), not the index
    int teinte = 0;              // display tint 0..8
    int reglage = 0;             // brightness or contrast step 0..4
    bool bflou = false;          // blur
    std::optional<TRect> region; // display region in client pixels; none is the whole window
    bool pe = false;             // full-screen mode
    bool bagrandir = false;      // main window maximised
    QString lk;                  // linked folder, ending with a separator; empty when none
    int rotation = kTurnByExif;  // turn after opening 0..6
    bool bcmt = false;           // comment shown
    int tcmt = 10;               // comment font size 8..20
    TColor ccmt = clBlack;       // comment colour
    int pcmt = 0;                // comment on top (0) or at the bottom (1)
    TCommentStyles scmt;         // comment font style
    bool scmtnf = true;          // file name as comment when there is none
    QString cdir;                // last folder of the folder-choice dialog
    bool bcouleurs = true;       // pictures of files with an ICC profile turned into sRGB
    // Mebibytes of working images made ahead of their opening (0: none). The default holds
    // three 24-megapixel photographs.
    int cache = kDefaultCacheMiB;

    QString startupPattern;          // pattern path in force at the end of start-up
    bool patternSwitchedOff = false; // the files read switched the pattern off
};

// The defaults, with the folders set to the program's folder.
TViewerSettings DefaultViewerSettings(const TAppPaths& paths);

// Scrolling step of a fluidity index: 0 -> 1, 2 -> 8, 3 -> 16, anything else -> 3 pixels.
int FluidityStep(int index);
// The index of a step (1 -> 0, 3 -> 1, 8 -> 2, 16 -> 3), -1 for any other step.
int FluidityIndex(int step);

// "b", "i" and "u" for the styles that are set, in that order.
QString CommentStylesToText(const TCommentStyles& styles);
