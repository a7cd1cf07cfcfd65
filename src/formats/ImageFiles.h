// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Loading and saving images by file name: the one way images enter and leave the program.
// Results: 1 done, 0 nothing done and no error (no name chosen, or vetoed by the hook),
// -1 failed and already reported to the user.

#include "core/Bitmap.h"
#include "formats/Graphic.h"

#include <QString>
#include <functional>
#include <optional>
#include <span>

struct TDecodedFile;

struct TOptionsOE {
    bool OpenPreview = true;      // the open dialog's preview box, kept for the run
    bool ResizableDialogs = true; // open and save dialogs are resizable
    int FileWidth = 0;            // size stored in the file of the last load
    int FileHeight = 0;
    bool AnimatedGif = false; // the last GIF loaded has more than one frame
    int ImageCount = 1;       // pages, or frames when Animated, of the last file loaded
    bool Animated = false;    // the last file loaded is an animation of more than one frame
    int FoundBitDepth = 0;    // bits per pixel found by the last reader that tells (0: none)
    QByteArray ExifBlock;     // the EXIF block of the last load (empty: none)
    bool OptimizeGifPalette = true;
    bool TargaRle = true;
    bool FirstLayerOnly = true; // layered files are read down to their first layer
    // Pictures of files that carry an ICC profile are turned into sRGB as they are read.
    bool ColourManagement = true;
    QString IccDescription; // the description of the profile of the last load (empty: none)
};
TOptionsOE& OptionsOE();
// Start-up values of the options.
void ResetOptionsOE();

int FileWidth();
int FileHeight();
bool AnimatedGif();
QString IccDescription();

// True only while LoadImagePreview runs.
bool PreviewMode();

// The colour a loader chooses to stand for "transparent": red 206, green 237, blue 220.
inline constexpr TColor TransparentKeyColour = 0xDCEDCE;

enum TImageFileStage {
    ifsBeforeLoad = 0,  // graphic: the reader (none for registry formats)
    ifsAfterDecode = 1, // graphic: the decoded picture, not yet copied to the caller
    ifsBeforeSave = 2,  // graphic: the writer, before the picture is copied into it
    ifsAfterSave = 3,
    ifsFailed = 4, // no graphic
};
// Clearing continueFlag at stages 0, 1 or 2 stops the operation without error (result 0).
// Never called in preview mode.
using TImageFileHook = std::function<void(TGraphic* graphic, const QString& fileName,
                                          TImageFileStage stage, bool& continueFlag)>;
// watchesLoads false promises that the hook neither vetoes nor changes anything at the loading
// stages 0 and 1: files may then be decoded ahead of their LoadImageFile, on worker threads.
void SetImageFileHook(TImageFileHook hook, bool watchesLoads = true);
bool ImageFileHookWatchesLoads();

// With an empty fileName the open dialog runs first and the chosen name comes back in it.
// imageIndex picks the page of a multi-page file or the frame of an animation (0-based).
int LoadImageFile(QString& fileName, TBitmap& bitmap, const QString& initialFolder = {},
                  int imageIndex = 0);
// The user-interface half of LoadImageFile for a file decoded ahead (DecodeFile.h): the hook
// stages 0 and 1, the results of the last load, the failure message, the copy into bitmap.
// Same results as LoadImageFile.
int FinishImageLoad(TDecodedFile& decoded, TBitmap& bitmap);
// LoadImageFile with PreviewMode set: no hook, no message, reduced JPEG decoding.
int LoadImagePreview(const QString& fileName, TBitmap& bitmap);
// With an empty fileName the save dialog runs first, proposing suggestedName.
int SaveImageFile(QString& fileName, const TBitmap& bitmap, const QString& suggestedName = {});
// Runs the save dialog; returns the chosen name or empty.
QString ChooseSaveFileName(const QString& suggestedName);

// A save split like a load, for callers that encode ahead: what the writer makes of picture
// with these writer settings (throws what the writer throws), then the atomic write of those
// bytes with SaveImageFile's failure message (no bytes: the encoding failed). The hook hears of
// a failure only. Encoding with a writer that WriterRunsAnywhere accepts touches nothing
// process-wide.
std::vector<uint8_t> EncodeImage(const TGraphicClass& writer, const TBitmap& picture, int quality,
                                 bool progressive);
int SaveEncodedImageFile(const QString& fileName, const std::optional<std::vector<uint8_t>>& bytes);
bool WriterRunsAnywhere(const TGraphicClass& writer);

// The steps of a load, for callers that hold the bytes themselves (fuzzing, tools):
// the class that reads a file of this name, the decoding (colour management included, when the
// input asks for it), and the copy into a bitmap.
const TGraphicClass& ReaderClassFor(const QString& fileName);
void ReadGraphic(const TReadInput& input, TGraphic& graphic);
void DeliverGraphic(TGraphic& graphic, TBitmap& bitmap);
// The writer class for a file name, or nullptr when no writer handles its extension.
const TGraphicClass* WriterClassFor(const QString& fileName);

// Bits per pixel of a loaded file as the open dialog shows it: the TIFF or PNG reader's
// finding for those names, otherwise the loaded image's depth.
int BitDepthFound(const QString& fileName, const TBitmap& loaded);
