// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// tavelune-convert: loads images the way the viewer does, applies the viewer's turns, display
// adjustments and resize, and saves them in the format of the output name.

#include <QSize>
#include <QString>
#include <QStringList>
#include <QTextStream>
#include <optional>

struct TConvertOptions {
    QStringList Inputs;
    QString Output; // a file, or a folder with several inputs
    QString Format; // extension of the outputs in a folder ("jpg")
    bool Info = false;
    bool ExifTurn = false;
    int Tint = 0;
    int Adjust = 0;
    bool Blur = false;
    QString Flip;   // "h" or "v"
    int Rotate = 0; // 90, 180 or 270, clockwise
    std::optional<QSize> Resize;
    bool Optimize = false;
    int Quality = 90; // JPEG, and WebP (100: lossless)
    bool Progressive = false;
    int Jobs = 0;                 // inputs converted at once; 0: one per processor
    bool ColourManagement = true; // pictures of files with an ICC profile turned into sRGB
    int Page = 1;                 // the page or frame converted, 1-based
};

// The options of a command line (program name excluded); nothing and a message on error.
std::optional<TConvertOptions> ParseConvertArguments(const QStringList& args, QString& error);

QString ConvertUsage();

// Runs the command; 0 when every file succeeded, 1 otherwise. Load and save failures reach
// the standard error stream through the image-file layer's messages.
int RunConvert(const TConvertOptions& options, QTextStream& out, QTextStream& err);
