#include "viewer/MainCommands.h"

#include <array>

namespace {

using enum TCommand;

constexpr TMenuRow kSeparator(const char* menu, TMenuPlace place) {
    return TMenuRow{menu, None, nullptr, nullptr, nullptr, place, false};
}

// The pop-up menu holds the same items as the main menu, except where a row says otherwise;
// its own level ends with Exit.
constexpr std::array kMenuRows{
    TMenuRow{"File", OpenImage, "Open image...", nullptr, "Ctrl+O", mpBoth, false},
    TMenuRow{"File", LoadSequence, "Load sequence...", nullptr, "Ctrl+Shift+O", mpBoth, false},
    kSeparator("File", mpBoth),
    TMenuRow{"File", SaveSequence, "Save sequence as...", nullptr, "Ctrl+Shift+S", mpBoth, false},
    kSeparator("File", mpMain),
    TMenuRow{"File", Exit, "Exit", nullptr, "Ctrl+Q", mpMain, false},

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
    TMenuRow{"View", ZoomIn, "Zoom in", nullptr, nullptr, mpBoth, false},
    TMenuRow{"View", ZoomOut, "Zoom out", nullptr, nullptr, mpBoth, false},
    TMenuRow{"View", OriginalSize, "Original size", "Actual size", nullptr, mpBoth, true},
    kSeparator("View", mpBoth),
    TMenuRow{"View", FirstImage, "First image", nullptr, "Home", mpBoth, false},
    TMenuRow{"View", PreviousImage, "Previous image", nullptr, "PgUp", mpBoth, false},
    TMenuRow{"View", NextImage, "Next image", nullptr, "PgDown", mpBoth, false},
    TMenuRow{"View", LastImage, "Last image", "last image", "End", mpBoth, false},

    kSeparator("", mpPopup),
    TMenuRow{"", Exit, "Exit", nullptr, "Ctrl+Q", mpPopup, false},
};

constexpr std::array<const char*, 3> kMainTitles{"File", "Options", "View"};
constexpr std::array<const char*, 3> kPopupTitles{"File", "Options", "View"};

constexpr std::array kToolRows{
    TToolRow{OpenImage, "Open image", TToolGlyph::Open},
    TToolRow{None, nullptr, TToolGlyph::Open},
    TToolRow{StartSlideshow, "Start slideshow", TToolGlyph::Play},
    TToolRow{StopSlideshow, "Stop slideshow", TToolGlyph::Stop},
    TToolRow{FirstImage, "First image", TToolGlyph::First},
    TToolRow{PreviousImage, "Previous image", TToolGlyph::Previous},
    TToolRow{NextImage, "Next image", TToolGlyph::Next},
    TToolRow{LastImage, "Last image", TToolGlyph::Last},
    TToolRow{None, nullptr, TToolGlyph::Open},
    TToolRow{ZoomIn, "Zoom in", TToolGlyph::ZoomIn},
    TToolRow{ZoomOut, "Zoom out", TToolGlyph::ZoomOut},
    TToolRow{OriginalSize, "Original size", TToolGlyph::OriginalSize},
    TToolRow{FitToScreen, "Fit to screen", TToolGlyph::FitToScreen},
    TToolRow{None, nullptr, TToolGlyph::Open},
    TToolRow{FullScreen, "Full screen mode", TToolGlyph::FullScreen},
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
