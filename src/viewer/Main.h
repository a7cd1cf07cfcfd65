// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The main window: owner of the working image, the screen buffer the screen is composed in,
// the zoom view, the settings and the image list. It opens images, folders and sequences,
// steps through them, runs the slideshow, switches full screen and scrolls large images.
//
// It reaches the user only through narrow seams: the message box (UserDialogs()), a file-name
// chooser, the repeating timers (slideshow, scroller and the frames of an animation) and the
// clock of its waits. Tests replace them all and drive the real window.
//
// Coordinates: the screen buffer holds device pixels; its (0, 0) is the top-left corner of the
// client area (below the menu bar, behind the tool bar). Every rectangle and point below is in
// those coordinates.

#include "browse/ImageSequence.h"
#include "browse/ImgZoom.h"
#include "browse/MainCommands.h"
#include "browse/WorkingImage.h"
#include "core/Bitmap.h"
#include "core/Rect.h"
#include "formats/DecodeWorkers.h"
#include "settings/AppPaths.h"
#include "settings/SettingsStore.h"
#include "settings/ViewerSettings.h"
#include "viewer/CommandDialogs.h"
#include "viewer/FileChooser.h"
#include "viewer/OpeningState.h"
#include "viewer/PumpingClock.h"
#include "viewer/ScrollState.h"
#include "viewer/SlideshowState.h"

#include <QMainWindow>
#include <QPoint>
#include <QRect>
#include <QStringList>
#include <QUrl>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <random>

class QAction;
class QLabel;
class QMenu;
class QToolBar;
class TMainView;
class TParamsForm;
class TScreenSaverInhibitor;
class TReadAhead;
class TShownAnimation;
struct TEarlyImage;

// What the window is built with. Anything left empty gets the program's own.
struct TMainFormSeams {
    QStringList Arguments; // the program's arguments, without the program itself
    std::optional<TAppPaths> Paths;
    std::unique_ptr<IScrollTimer> SlideshowTimer;
    std::unique_ptr<IScrollTimer> ScrollTimer;
    std::unique_ptr<IScrollTimer> FrameTimer; // the frames of an animation
    std::unique_ptr<IPumpingClock> Clock;
    std::unique_ptr<IFileNameChooser> Files;
    std::unique_ptr<ICommandDialogs> CommandDialogs; // image size, save, JPEG, About, print
    // Screen geometry for the start-up bounds and the buffer (device-independent pixels).
    std::optional<QRect> ScreenGeometry, WorkArea;
    // The decoding workers (tests: none, run by hand), and the command line's image when it
    // started decoding before the window.
    std::shared_ptr<TDecodeWorkers> Workers;
    std::shared_ptr<TEarlyImage> EarlyImage;
};

class TMainForm : public QMainWindow, public ISettingsEffects, public ISettingsMessages {
    Q_OBJECT
public:
    explicit TMainForm(TMainFormSeams seams = {});
    ~TMainForm() override;

    // --- Start-up, opening and navigation ---

    // Runs once, right after the window first painted: lays out and opens the argument.
    void FirstPaint();
    bool FirstPaintDone() const { return !m_firstPaintPending; }
    // 0 nothing opened, 1 a folder, 2 a sequence file, 3 an image file.
    int OpenFromCommandLine(const QString& argument);

    // The path opened, or empty. An empty path shows the open dialog; rescan rebuilds the
    // image list from the file's folder. page picks the page of a multi-page file (0-based).
    QString OpenImage(const QString& path, bool rescan, int page = 0);
    bool LoadWorkingImage(QString& path, bool rescan, int page = 0);
    // Turns the working image by the rotation setting (EXIF orientation for setting 6).
    void TurnAfterOpen();
    void Refresh();
    void UpdateStatus();
    void UpdateToolbar();

    void FirstImage();
    void PreviousImage();
    void NextImage();
    void LastImage();
    // Wheel down steps to the next image, up to the previous one; nothing at the ends.
    void WheelStep(bool down);
    void LoadSequenceCommand();
    // True when a file was written.
    bool SaveSequenceCommand();
    void FitImagesToScreenCommand();
    void BlackAndWhiteCommand();
    void SetPrintUnit(int unit);
    void DoubleClick();
    // Shift with the left button: the file of the same name in the linked folder.
    void OpenLinkedImage();
    void OpenDroppedFiles(const QList<QUrl>& urls);
    // Commands that stop the slideshow, then show their dialog through a handler (the real
    // dialogs unless replaced).
    void SettingsCommand();
    void SequenceManagerCommand();
    void LoadThemeCommand();
    std::function<void()> OnSettingsDialog;
    std::function<void()> OnSequenceManager;
    std::function<void()> OnLoadTheme;
    // The real handlers: the settings dialog with the window's work after its OK, and the
    // theme file choice with the redraw.
    void RunSettingsDialog();
    void RunLoadTheme();

    // --- Screen composition ---

    // The client area less the tool bar and the status bar (not in full screen), shrunk by
    // the 5-pixel margin.
    TRect DisplayArea() const;
    void Layout();
    void PaintBackground(const TRect& rect = WholeImageRect);
    void ComposeScreen();
    // Copies the display part of the buffer to the window (on its next paint).
    void ShowBuffer();
    void DrawComment(const TRect& decorated);
    void ReapplyDisplayAdjustments(bool previousBlur, int previousTint, int previousStep);
    bool LoadPattern(const QString& path) override;
    void DiscardPattern() override;
    bool PatternShown() const { return !m_pattern.Empty(); }
    // The decorated rectangle and the comment's box of the last composition (empty: none).
    const TRect& DecoratedRect() const { return m_decorated; }
    const QRect& CommentBox() const { return m_commentBox; }

    // --- Slideshow, full screen and scrolling ---

    void SetSlideshow(bool on);
    void SlideshowCommand();
    void SlideshowTick();
    // Space and "P": pause or resume the slideshow.
    void PauseOrResume();
    bool IsFullScreen() const override { return m_fullScreen; }
    void SetFullScreen(bool on) override;
    void EscapeKey();
    // Handles window events for ms milliseconds; a nested call returns at once.
    void WaitPumping(int ms) { m_scroll.Wait(ms); }
    static bool WaitRunning() { return TScrollState::WaitRunning(); }
    void AutoScrollAfterOpen();
    // -1 outside the view; 1..4 in the left, right, top, bottom margin where the image goes on
    // beyond that edge; 0 elsewhere.
    int HitZone(int x, int y) const { return m_scroll.HitZone(QPoint(x, y), PixelRatio()); }
    void PanBy(int dx, int dy) { m_scroll.PanBy(dx, dy); }
    void StopScrolling() { m_scroll.Stop(); }
    void MouseMoveAt(QPoint p, bool leftHeld);
    void MouseDownAt(QPoint p, Qt::MouseButton button, Qt::KeyboardModifiers modifiers);
    // The keys the window handles before any control; false for any other key.
    bool HandleKey(int key, Qt::KeyboardModifiers modifiers, const QString& text);

    // --- Animations and pages (MainAnimation.cpp) ---

    // An animation plays from its opening; these pause or resume it and show its next frame.
    void PauseAnimationCommand();
    void NextFrameCommand();
    void FrameTick();
    // Image commands act on the frame shown: the animation ends there.
    void StopAnimation();
    // The animation of the image shown, or none.
    const TShownAnimation* Animation() const { return m_animation.get(); }
    // The pages of a multi-page file: the one shown (0-based) and how many there are.
    int Page() const { return m_page; }
    int PageCount() const { return m_pageCount; }
    void NextPage();
    void PreviousPage();

    // --- Commands on the image and its file ---

    void RenameCommand();
    void MoveCommand();
    void CopyCommand();
    void DeleteCommand();
    // Undo kinds 0..4: "Flip vertical", "Flip horizontal", "Rotate 90° CW", "Rotate 90° CCW",
    // "Rotate 180°".
    void TurnCommand(int undoKind);
    void ImageSizeCommand();
    void UndoCommand();
    void CopyToClipboardCommand();
    void SetCommentCommand();
    void SaveImageCommand();
    void PrintCommand();
    void InformationCommand();
    void WebSiteCommand();
    void AboutCommand();
    // The folder-choice dialog, starting in `cdir` (else the default folder); the folder on Ok
    // (remembered in `cdir`), empty on Cancel.
    QString ChooseFolder(const QString& caption, const QString& message);
    bool PrintersAvailable() const { return m_printersAvailable; }

    // --- Commands, menus and tool bar ---

    void RunCommand(TCommand command);
    bool ToolEnabled(TCommand command) const;
    bool MainMenuEnabled(TCommand command) const;
    bool PopupEnabled(TCommand command) const;
    bool CommandChecked(TCommand command) const;
    // A shortcut: runs the pop-up menu's item when its rule enables it, else swallows the key.
    void ShortcutPressed(TCommand command);
    QAction* ToolAction(TCommand command) const;
    QAction* MainMenuAction(TCommand command) const;
    QAction* PopupAction(TCommand command) const;
    QMenu* PopupMenu() const { return m_popup; }
    // Brings the main menu's enabled and checked states up to date, as opening it does.
    void UpdateMainMenu();
    void UpdatePopupMenu();

    // --- State ---

    const TBitmap& WorkingImage() const { return m_image; }
    const TBitmap& ScreenBuffer() const { return m_buffer; }
    TImageZoomScrolling& Zoom() { return *m_zoom; }
    TViewerSettings& Settings() { return m_settings; }
    TSettingsStore& Store() { return *m_store; }
    TImageSequence& Sequence() { return m_sequence; }
    TReadAhead& ReadAhead() { return *m_readAhead; }
    const TAppPaths& Paths() const { return m_paths; }
    const QString& CurrentFile() const { return m_currentFile; }
    bool SlideshowOn() const { return m_slideshow.On(); }
    int SlideshowTicks() const { return m_slideshow.Ticks(); }
    bool PausedByKey() const { return m_slideshow.PausedByKey(); }
    int SlideshowSwitch() const { return m_slideshow.Switch(); }
    bool ManualZoom() const { return m_manualZoom; }
    bool ExceedsView() const { return m_scroll.ExceedsView(); }
    bool MouseScrollArmed() const { return m_scroll.MouseArmed(); }
    bool Opening() const { return m_opening.Busy(); }
    bool FullScreenAtStartup() const { return m_fullScreenAtStartup; }
    const QRect& NormalBounds() const { return m_normalBounds; }
    int UndoKind() const { return m_undoKind; }
    // Panels 0 to 3 of the status bar; 4 is the page panel, empty while hidden.
    QString StatusText(int panel) const;
    // Device pixels per window pixel.
    double PixelRatio() const;
    // A point of the window's central area in buffer coordinates.
    QPoint ViewToClient(QPointF viewPos) const;

    // --- Effects of reading settings, and the store's messages ---

    void PrintUnitChanged() override;
    void BackgroundColourChanged(TColor colour) override;
    void ScrollStepChanged(int step) override;
    void Maximise() override;
    void ShowError(const QString& text) override;

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class TMainView;

    void CreateBuffer(const QSize& deviceSize);
    void EnsureBufferCovers();
    void ViewResized();
    void BuildMenus();
    void BuildToolBar();
    void BuildStatusBar();
    void StartUp();
    void SetInterfaceTexts();
    void ApplyZoomSettings();
    void ChooseThumbnailAlignment();
    QString ListPath(const QString& path) const;
    void OpenFromList(const QString& path);
    // After the command line opened a folder, a sequence or a single image.
    void StartSlideshowFromCommandLine(bool singleImage);
    void AfterSequenceLoaded();
    bool LoadSequence(const QString& path);
    void ApplicationStateChanged(Qt::ApplicationState state);
    void ShowRect(const TRect& r);
    void ZoomCommand(TCommand command);
    void DigitZoom(int zoom);
    QPoint ClientOffset() const;
    void ScreenBecameLarger();
    // The seams below the window that reach the user, installed for the whole process.
    void InstallProcessSeams();
    void RemoveProcessSeams();
    void InstallImageFileHook();
    // Read-ahead (MainReadAhead.cpp).
    void StartReadAhead(TMainFormSeams& seams);
    // The file's working image, made ahead or now; false when the load failed or was vetoed.
    // shown receives what it was made from, when a later step back may take it again.
    bool LoadShapedImage(QString& path, TBitmap& image, std::unique_ptr<TShownImage>& shown,
                         int page = 0);
    TPreparedImage MakeWorkingImageNow(const TDecodeRequest& request);
    // Starts the full image's decoding on a worker (startFull) and meanwhile shows a reduced
    // decoding of the same bytes, made on this thread, when the zoom shows the image at half
    // size or less. Answers startFull's ticket.
    TDecodeWorkers::TTicketPtr
    ShowStandIn(const TDecodeRequest& request, const QByteArray& bytes, const TFileStamp& stamp,
                const std::function<TDecodeWorkers::TTicketPtr()>& startFull);
    // The command line's image decoded reduced before the window existed, when it may stand in.
    void ShowEarlyStandIn(const TEarlyImage& early);
    // 8, 4 or 2: the reduction a picture of this stored size may stand in with; 1: none.
    int StandInReduction(QSize stored) const;
    // Shows a reduced picture in the place and with the decorations of the full image.
    void PresentStandIn(TPreparedImage small, QSize stored);
    // Where an image opened now would show.
    TViewShape ViewShape() const;
    // A file command changed or removed the file: nothing made of it before is used again.
    void FileTouched(const QString& path);
    // The image shown goes back to the read-ahead, for a step back, unless it was changed.
    void KeepShownImage();
    // Starts making the neighbours of the current entry, the direction of travel first.
    void ScheduleReadAhead();
    // Shows the composed screen at once, not at the next return to the event loop.
    void ShowNow();
    // Whether the image list's current entry is the file at path.
    bool CurrentEntryIs(const QString& path) const;
    // After the shown file went away: its entry leaves the list and the next one is shown.
    void AfterFileRemoved(const QString& path);
    QString FolderTarget(const QString& folder) const;
    // The image at the moment of a full-screen save: the composed screen.
    TBitmap ScreenPicture() const;
    // Animations and pages (MainAnimation.cpp).
    void StartAnimation();
    void ResumeAnimation();
    void EndAnimation();
    void ShowFrame();
    // Draws the working image again where it is, and nothing around it.
    void RedrawImage();
    void ShowPage(int page);
    // Which picture of its file the working image is: the page, or the animation's frame.
    int ShownImageIndex() const;

    // Owned images and views.
    TBitmap m_image;
    TBitmap m_buffer;
    TBitmap m_pattern;
    std::unique_ptr<TImageZoomScrolling> m_zoom;
    TScrollState m_scroll;
    TViewerSettings m_settings;
    TAppPaths m_paths;
    std::unique_ptr<TSettingsStore> m_store;
    TImageSequence m_sequence;

    // Seams.
    QStringList m_arguments;
    std::unique_ptr<IScrollTimer> m_frameTimer;
    std::unique_ptr<IFileNameChooser> m_files;
    std::unique_ptr<ICommandDialogs> m_commandDialogs;
    std::unique_ptr<TViewerFileSeam> m_fileSeam;
    std::unique_ptr<TScreenSaverInhibitor> m_screenSaver;
    std::shared_ptr<TDecodeWorkers> m_workers;
    std::unique_ptr<TReadAhead> m_readAhead;
    // What the working image was made from, while it is as its load left it.
    std::unique_ptr<TShownImage> m_shown;
    // The reduced picture shown while the full image decodes.
    TBitmap m_standIn;
    // The zoom's block averages of the working image, made with it.
    TBlockAverages m_blocks;
    std::unique_ptr<TShownAnimation> m_animation;

    // Widgets (parent-owned).
    TMainView* m_view = nullptr;
    TParamsForm* m_paramsForm = nullptr;
    QToolBar* m_toolBar = nullptr;
    QMenu* m_popup = nullptr;
    std::map<TCommand, QAction*> m_toolActions, m_mainActions, m_popupActions;
    QLabel* m_panels[4] = {};
    QLabel* m_pagePanel = nullptr; // "page k/n", shown for files of several pages

    // State.
    QString m_currentFile;
    QRect m_normalBounds;
    TRect m_decorated;
    QRect m_commentBox;
    std::mt19937 m_random;
    TSlideshowState m_slideshow;
    TOpeningState m_opening;
    bool m_manualZoom = false;
    bool m_firstPaintPending = true;
    bool m_firstPaintQueued = false;
    bool m_layoutSuspended = true;
    bool m_fullScreen = false;
    bool m_fullScreenAtStartup = false;
    bool m_closing = false;
    bool m_exitSaved = false;
    int m_undoKind = -1;
    int m_page = 0;
    int m_pageCount = 1;     // pages of the file shown; 1 for an animation
    bool m_animated = false; // the file shown is an animation of several frames
    bool m_printersAvailable = true;
};
