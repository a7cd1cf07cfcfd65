// SPDX-License-Identifier: GPL-2.0-or-later
#include "browse/MainCommands.h"

#include <array>

namespace {

using enum TCommand;

constexpr TMenuRow kSeparator(const char* menu, TMenuPlace place) {
    return TMenuRow{menu, None, nullptr, nullptr, nullptr, place, false};
}

constexpr TMenuRow kItem(const char* menu, TCommand command, const char* caption,
                         const char* shortcut = nullptr, TMenuPlace place = mpBoth) {
    return TMenuRow{menu, command, caption, nullptr, shortcut, place, false};
}

// The pop-up menu holds the same items as the main menu, except where a row says otherwise;
// its own level ends with About and Exit.
constexpr std::array kMenuRows{
    kItem("File", OpenImage, "Open image...", "Ctrl+O"),
    kItem("File", LoadTheme, "Load theme...", "Ctrl+T"),
    kItem("File", LoadSequence, "Load sequence...", "Ctrl+Shift+O"),
    kSeparator("File", mpBoth),
    kItem("File", SaveImage, "Save image as...", "Ctrl+S"),
    kItem("File", SaveSequence, "Save sequence as...", "Ctrl+Shift+S"),
    kSeparator("File", mpBoth),
    kItem("File", Print, "Print...", "Ctrl+P"),
    kSeparator("File", mpMain),
    kItem("File", Exit, "Exit", "Ctrl+Q", mpMain),

    kItem("Edit", Undo, "Cancel", "Ctrl+Z"),
    kSeparator("Edit", mpBoth),
    kItem("Edit", CopyToClipboard, "Copy", "Ctrl+C"),
    kSeparator("Edit", mpBoth),
    kItem("Edit", SetComment, "Set image comment...", "Ctrl+I"),
    kSeparator("Edit", mpBoth),
    kItem("Edit", FlipV, "Flip vertical"),
    kItem("Edit", FlipH, "Flip horizontal"),
    kItem("Edit", RotateCW, "Rotate 90° CW"),
    kItem("Edit", RotateCCW, "Rotate 90° CCW"),
    kItem("Edit", RotateHalf, "Rotate 180°"),
    kSeparator("Edit", mpBoth),
    kItem("Edit", ImageSize, "Image size..."),

    kItem("Options", Settings, "Settings...", "Ctrl+M"),
    kItem("Options", SequenceManager, "Sequence manager...", "Ctrl+G"),
    kSeparator("Options", mpBoth),
    TMenuRow{"Options", Slideshow, "Slideshow", nullptr, "Ctrl+D", mpBoth, true},
    kSeparator("Options", mpBoth),
    TMenuRow{"Options", FitImagesToScreen, "Fit images to screen", nullptr, nullptr, mpBoth, true},
    TMenuRow{"Options", BlackAndWhite, "Display on Black and White", nullptr, nullptr, mpBoth,
             true},
    kSeparator("Options", mpMain),
    TMenuRow{"Options/Print unit", UnitCm, "Cm", nullptr, nullptr, mpMain, true},
    TMenuRow{"Options/Print unit", UnitInch, "Inch", nullptr, nullptr, mpMain, true},

    TMenuRow{"View", FullScreen, "Full screen mode", nullptr, "Ctrl+F", mpBoth, true},
    kSeparator("View", mpBoth),
    kItem("View", ZoomIn, "Zoom in"),
    kItem("View", ZoomOut, "Zoom out"),
    TMenuRow{"View", OriginalSize, "Original size", "Actual size", nullptr, mpBoth, true},
    kSeparator("View", mpBoth),
    kItem("View", FirstImage, "First image", "Home"),
    kItem("View", PreviousImage, "Previous image", "PgUp"),
    kItem("View", NextImage, "Next image", "PgDown"),
    TMenuRow{"View", LastImage, "Last image", "last image", "End", mpBoth, false},
    // Pages and frames: keys with Ctrl, which the window's own keys never take.
    kSeparator("View", mpBoth),
    kItem("View", PreviousPage, "Previous page", "Ctrl+PgUp"),
    kItem("View", NextPage, "Next page", "Ctrl+PgDown"),
    TMenuRow{"View", PauseAnimation, "Pause animation", nullptr, "Ctrl+Shift+P", mpBoth, true},
    kItem("View", NextFrame, "Next frame", "Ctrl+Shift+N"),

    kItem("Image", RenameImage, "Rename image...", "F2"),
    kItem("Image", MoveImage, "Move image to...", "Ctrl+Shift+M"),
    kItem("Image", CopyImage, "Copy image to...", "Ctrl+Shift+C"),
    kSeparator("Image", mpBoth),
    kItem("Image", DeleteImage, "Delete image", "Shift+Del"),

    kItem("?", Information, "Information", nullptr, mpMain),
    kSeparator("?", mpMain),
    kItem("?", WebSite, "Official web site", nullptr, mpMain),
    kSeparator("?", mpMain),
    kItem("?", About, "About Tavelune", nullptr, mpMain),

    kSeparator("", mpPopup),
    kItem("", About, "About Tavelune", nullptr, mpPopup),
    kSeparator("", mpPopup),
    kItem("", Exit, "Exit", "Ctrl+Q", mpPopup),
};

constexpr std::array<const char*, 6> kMainTitles{"File", "Edit", "Options", "View", "Image", "?"};
constexpr std::array<const char*, 5> kPopupTitles{"File", "Edit", "Options", "View", "Image"};

constexpr TToolRow kGap{None, nullptr, TToolGlyph::Open};

constexpr std::array kToolRows{
    TToolRow{OpenImage, "Open image", TToolGlyph::Open},
    TToolRow{Print, "Print", TToolGlyph::Print},
    TToolRow{SaveImage, "Save as", TToolGlyph::SaveAs},
    kGap,
    TToolRow{StartSlideshow, "Start slideshow", TToolGlyph::Play},
    TToolRow{StopSlideshow, "Stop slideshow", TToolGlyph::Stop},
    TToolRow{FirstImage, "First image", TToolGlyph::First},
    TToolRow{PreviousImage, "Previous image", TToolGlyph::Previous},
    TToolRow{NextImage, "Next image", TToolGlyph::Next},
    TToolRow{LastImage, "Last image", TToolGlyph::Last},
    kGap,
    TToolRow{ZoomIn, "Zoom in", TToolGlyph::ZoomIn},
    TToolRow{ZoomOut, "Zoom out", TToolGlyph::ZoomOut},
    TToolRow{OriginalSize, "Original size", TToolGlyph::OriginalSize},
    TToolRow{FitToScreen, "Fit to screen", TToolGlyph::FitToScreen},
    kGap,
    TToolRow{Settings, "Settings", TToolGlyph::Settings},
    TToolRow{SequenceManager, "Sequence manager", TToolGlyph::SequenceManager},
    TToolRow{LoadTheme, "Load theme", TToolGlyph::LoadTheme},
    TToolRow{FullScreen, "Full screen mode", TToolGlyph::FullScreen},
    kGap,
    TToolRow{RenameImage, "Rename image", TToolGlyph::Rename},
    TToolRow{MoveImage, "Move image to", TToolGlyph::Move},
    TToolRow{CopyImage, "Copy image to", TToolGlyph::Copy},
    TToolRow{DeleteImage, "Delete image", TToolGlyph::Delete},
};

} // namespace

std::span<const TMenuRow> MenuRows() {
    return kMenuRows;
}

std::span<const char* const> MainMenuTitles() {
    return kMainTitles;
}

std::span<const char* const> PopupMenuTitles() {
    return kPopupTitles;
}

std::span<const TToolRow> ToolRows() {
    return kToolRows;
}
