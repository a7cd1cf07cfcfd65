// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The commands of the main window and the tables its menus and tool bar are built from. A
// command appears in the main menu, the pop-up menu and the tool bar through rows of these
// tables; the window decides what each does and when it is enabled or checked.

#include <QString>
#include <cstdint>
#include <span>

enum class TCommand : uint8_t {
    None, // a separator line in a menu, a gap in the tool bar
    OpenImage,
    LoadSequence,
    SaveSequence,
    Exit,
    Slideshow,
    StartSlideshow,
    StopSlideshow,
    FitImagesToScreen,
    BlackAndWhite,
    UnitCm,
    UnitInch,
    FullScreen,
    ZoomIn,
    ZoomOut,
    OriginalSize,
    FitToScreen,
    FirstImage,
    PreviousImage,
    NextImage,
    LastImage,
    PreviousPage,
    NextPage,
    PauseAnimation,
    NextFrame,
    LoadTheme,
    SaveImage,
    Print,
    Undo,
    CopyToClipboard,
    SetComment,
    FlipV,
    FlipH,
    RotateCW,
    RotateCCW,
    RotateHalf,
    ImageSize,
    Settings,
    SequenceManager,
    RenameImage,
    MoveImage,
    CopyImage,
    DeleteImage,
    Information,
    WebSite,
    About,
};

enum TMenuPlace : uint8_t { mpMain = 1, mpPopup = 2, mpBoth = mpMain | mpPopup };

struct TMenuRow {
    // "File", "Options/Print unit" (a sub-menu), or "" for the pop-up menu's own level.
    const char* Menu;
    TCommand Command;
    const char* Caption;
    const char* PopupCaption; // nullptr: the same caption
    const char* Shortcut;     // portable key text ("Ctrl+O"), nullptr when none
    TMenuPlace Place;
    bool Checkable;
};

// The menus' order and their rows, in display order.
std::span<const TMenuRow> MenuRows();
std::span<const char* const> MainMenuTitles();
std::span<const char* const> PopupMenuTitles();

// Built-in images of the tool buttons (ToolIcons.h draws them).
enum class TToolGlyph : uint8_t {
    Open,
    Print,
    SaveAs,
    Play,
    Stop,
    First,
    Previous,
    Next,
    Last,
    ZoomIn,
    ZoomOut,
    OriginalSize,
    FitToScreen,
    FullScreen,
    Settings,
    SequenceManager,
    LoadTheme,
    Rename,
    Move,
    Copy,
    Delete,
};

struct TToolRow {
    TCommand Command; // None: a gap
    const char* Hint;
    TToolGlyph Glyph;
};

std::span<const TToolRow> ToolRows();
