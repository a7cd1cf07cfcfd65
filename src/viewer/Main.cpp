// SPDX-License-Identifier: GPL-2.0-or-later
// The main window's start-up, the command line, opening and navigation, the sequence commands,
// the option toggles and closing.
#include "viewer/Main.h"

#include "browse/CommandLine.h"
#include "browse/FolderScan.h"
#include "browse/MainLayout.h"
#include "browse/ReadAhead.h"
#include "browse/ShownAnimation.h"
#include "browse/WorkingImage.h"
#include "browse/ZoomPolicy.h"
#include "core/ColorAdjust.h"
#include "core/Errors.h"
#include "core/FlipRotate.h"
#include "core/InterfaceTexts.h"
#include "dialogs/DialogHost.h"
#include "dialogs/UserDialogs.h"
#include "formats/Exif.h"
#include "formats/FormatRegistry.h"
#include "formats/ImageFiles.h"
#include "print/PrintTarget.h"
#include "settings/Themes.h"
#include "viewer/MainView.h"
#include "viewer/ScreenSaver.h"
#include "viewer/SequenceForm.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QMimeData>
#include <QScreen>
#include <QTimer>
#include <algorithm>
#include <chrono>

namespace {

const QString kSaveSequenceQuestion = QStringLiteral("Save current images sequence ?");

// The largest screen, in device pixels, so the buffer covers the window wherever it goes.
QSize LargestScreenPixels() {
    QSize largest(1, 1);
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QSize s = screen->geometry().size() * screen->devicePixelRatio();
        largest = largest.expandedTo(s);
    }
    return largest;
}

} // namespace

TMainForm::TMainForm(TMainFormSeams seams)
    : m_zoom(std::make_unique<TImageZoomScrolling>(std::move(seams.ScrollTimer))),
      m_scroll(
          *m_zoom, std::move(seams.Clock), [this](const TRect& r) { ShowRect(r); },
          [this](Qt::CursorShape shape) { m_view->setCursor(shape); }),
      m_paths(seams.Paths ? *seams.Paths : TAppPaths::FromApplication()),
      m_arguments(seams.Arguments),
      m_frameTimer(seams.FrameTimer ? std::move(seams.FrameTimer) : MakeQtScrollTimer()),
      m_files(seams.Files ? std::move(seams.Files) : std::make_unique<TQtFileNameChooser>()),
      m_commandDialogs(seams.CommandDialogs ? std::move(seams.CommandDialogs)
                                            : std::make_unique<TQtCommandDialogs>(this)),
      m_slideshow(std::move(seams.SlideshowTimer), [this] { SlideshowTick(); }) {
    ApplyDialogFont(*this);

    // The buffer, as large as the largest screen; the zoom view draws into it.
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect screenRect =
        seams.ScreenGeometry ? *seams.ScreenGeometry : (screen ? screen->geometry() : QRect());
    const QRect workArea =
        seams.WorkArea ? *seams.WorkArea : (screen ? screen->availableGeometry() : screenRect);
    CreateBuffer(LargestScreenPixels().expandedTo(screenRect.size()));
    m_zoom->SetCanvas(&m_buffer);
    m_zoom->SetBitmap(&m_image);
    m_zoom->SetBlockAverages(&m_blocks);

    m_view = new TMainView(*this);
    setCentralWidget(m_view);
    BuildMenus();
    BuildToolBar();
    BuildStatusBar();
    setMinimumSize(385, 300);

    setWindowTitle(QStringLiteral("Tavelune"));
    m_printersAvailable = ::PrintersAvailable();
    m_settings = DefaultViewerSettings(m_paths);
    m_zoom->SetStep(uint16_t(m_settings.fluidite));
    m_random.seed(uint32_t(std::chrono::steady_clock::now().time_since_epoch().count()));

    const TRect bounds = StartupBounds(FromQRect(workArea), screenRect.width());
    setGeometry(ToQRect(bounds));
    UpdateToolbar();

    // The folder listings take what the format registry reads.
    m_sequence.SetExtensionFilter(
        [](const QString& ext) { return FileFormats().FindExtension(ext) != nullptr; });
    m_sequence.OnPositionText = [this](const QString& text) { m_panels[0]->setText(text); };

    m_store = std::make_unique<TSettingsStore>(m_settings, m_paths, *this, *this);
    OnSettingsDialog = [this] { RunSettingsDialog(); };
    OnLoadTheme = [this] { RunLoadTheme(); };
    StartReadAhead(seams);
    StartUp();
}

TMainForm::~TMainForm() {
    RemoveProcessSeams();
    m_slideshow.Hold();
    m_frameTimer->Stop();
    m_zoom->SetActive(false);
}

void TMainForm::StartUp() {
    InstallProcessSeams();
    m_store->LoadSettingsFile(m_paths.SettingsFile());
    m_store->RememberStartupPattern();
    LoadCommandLineTheme(*m_store, m_arguments);
    m_slideshow.SetSwitch(ReadSlideshowSwitch(m_arguments));
    OptionsOE().ColourManagement = m_settings.bcouleurs; // before the pattern is loaded
    m_store->FinishStartup();
    m_fullScreenAtStartup = m_fullScreen;

    setAcceptDrops(true);
    connect(qApp, &QGuiApplication::applicationStateChanged, this,
            &TMainForm::ApplicationStateChanged);
    SetInterfaceTexts();
    PaintBackground();
}

void TMainForm::SetInterfaceTexts() {
    TInterfaceTexts& t = InterfaceTexts();
    t.Yes = QStringLiteral("&Yes");
    t.No = QStringLiteral("&No");
    t.Cancel = QStringLiteral("Cancel");
    t.Confirm = QStringLiteral("Confirm");
    t.Information = QStringLiteral("Information");
    t.AllImages = QStringLiteral("All images");
    t.CommonImages = QStringLiteral("Common images");
    t.LoadFailed = QStringLiteral("Unable to load image in file \"%s\" !");
    t.SaveFailed = QStringLiteral("Unable to save image in file \"%s\" !");
    t.Preview = QStringLiteral("Preview");
    t.ImageProperties = QStringLiteral("Image properties");
    t.Icon = QStringLiteral("Icon");
    t.OstrevaldenSelection = QStringLiteral("Ostrevalden Selection");
    // Registers the icon, selection shape and layered formats again with these texts.
    SetFormatTexts(TInterfaceTexts(t));
}

void TMainForm::CreateBuffer(const QSize& deviceSize) {
    NewImage(m_buffer, std::max(1, deviceSize.width()), std::max(1, deviceSize.height()), clBlack);
}

void TMainForm::FirstPaint() {
    if (!m_firstPaintPending) return;
    m_firstPaintPending = false;
    if (m_settings.patternSwitchedOff && PatternShown()) DiscardPattern();
    Layout();
    m_layoutSuspended = false;
    const QString argument = OpenArgument(m_arguments);
    if (argument.isEmpty() || OpenFromCommandLine(argument) == 0) {
        PaintBackground();
        ShowBuffer();
    }
    // The screen saver's bus call may wait for a bus, and the icon theme is read from disk: not
    // before the first image.
    QTimer::singleShot(0, this, [this] {
        if (QApplication::windowIcon().isNull())
            QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("tavelune")));
        if (!m_closing && !m_screenSaver) m_screenSaver = std::make_unique<TScreenSaverInhibitor>();
    });
}

int TMainForm::OpenFromCommandLine(const QString& argument) {
    const QFileInfo info(argument);
    if (!info.exists()) return 0;
    if (info.isDir()) {
        m_sequence.FillFromFolder(info.absoluteFilePath(), true, true);
        const QString first = m_sequence.First();
        if (first.isEmpty()) return 0;
        OpenImage(first, false);
        StartSlideshowFromCommandLine(false);
        return 1;
    }
    if (info.suffix().toLower() != QLatin1String("stl")) {
        // The file system gives names in their stored letter case already.
        OpenImage(info.absoluteFilePath(), true);
        StartSlideshowFromCommandLine(true);
        return 3;
    }
    if (!LoadSequence(info.absoluteFilePath())) return 0;
    const QString first = m_sequence.First();
    if (first.isEmpty()) return 0;
    AfterSequenceLoaded();
    OpenImage(ListPath(first), false);
    StartSlideshowFromCommandLine(false);
    return 2;
}

void TMainForm::StartSlideshowFromCommandLine(bool singleImage) {
    if (m_sequence.HasSeveral() && m_slideshow.StartsFromCommandLine(singleImage))
        SetSlideshow(true);
}

QString TMainForm::OpenImage(const QString& path, bool rescan, int page) {
    if (rescan && m_sequence.Modified()) {
        const int answer =
            UserDialogs().Message(kSaveSequenceQuestion, mkConfirmation, mbYesNoCancel);
        if (answer == mrCancel) return {};
        if (answer == mrYes) SaveSequenceCommand();
    }
    const auto opening = m_opening.Begin();
    StopScrolling();
    m_slideshow.Hold();
    m_frameTimer->Stop();
    m_slideshow.ImageOpened();

    QString opened = path;
    QString result;
    if (LoadWorkingImage(opened, rescan, page)) {
        m_undoKind = -1;
        if (rescan) {
            // The image shows before its folder is listed, which takes a while for thousands
            // of files; the position and the navigation follow the listing.
            const QFileInfo info(opened);
            m_opening.SetUnlistedComment(opened, m_settings.scmtnf);
            Refresh();
            m_opening.ClearUnlistedComment();
            ShowNow();
            m_sequence.FillFromFolder(info.absolutePath(), true, false);
            m_sequence.SelectOpenedFile(JoinPath(info.absolutePath(), info.fileName()));
        }
        Refresh();
        StartAnimation();
        result = opened;
        ScheduleReadAhead();
        AutoScrollAfterOpen();
    } else
        ResumeAnimation(); // the image shown stays, and so does its animation
    m_slideshow.Restart();
    return result;
}

bool TMainForm::LoadWorkingImage(QString& path, bool rescan, int page) {
    // Turned and adjusted already, often by a worker ahead of this opening.
    TBitmap image;
    std::unique_ptr<TShownImage> shown;
    {
        const auto loading = m_opening.Loading(rescan);
        if (!LoadShapedImage(path, image, shown, page)) return false;
    }
    KeepShownImage();
    EndAnimation();
    // What the load found: the pages of the file, or frames of an animation.
    m_animated = OptionsOE().Animated && OptionsOE().ImageCount > 1;
    m_pageCount = m_animated ? 1 : std::max(1, OptionsOE().ImageCount);
    m_page = std::clamp(page, 0, m_pageCount - 1);
    m_image = std::move(image);
    m_blocks = shown ? std::move(shown->Blocks) : TBlockAverages{};
    m_shown = std::move(shown);
    m_currentFile = QFileInfo(path).absoluteFilePath();
    if (rescan) m_settings.defdir = QFileInfo(m_currentFile).absolutePath();
    m_manualZoom = false;
    ChooseThumbnailAlignment();
    m_zoom->Recompute();
    return true;
}

void TMainForm::ChooseThumbnailAlignment() {
    if (m_settings.zoom == kZoomThumbnail)
        m_zoom->SetAlignment(ThumbnailAlignment(m_settings.bva, m_random));
}

void TMainForm::TurnAfterOpen() {
    // The EXIF orientation comes from the bytes the last load read.
    TurnByRotationSetting(m_image, m_settings.rotation, ExifOrientation(OptionsOE().ExifBlock));
}

void TMainForm::ApplyZoomSettings() {
    if (m_manualZoom) {
        m_scroll.SetExceedsView(PlaceAfterManualZoom(*m_zoom, m_settings.zoom));
    } else {
        ApplyZoomSetting(*m_zoom,
                         TZoomSettings{m_settings.zoom, m_settings.breduction, m_settings.vtaille});
        m_scroll.SetExceedsView(PlaceAfterZoomSetting(*m_zoom, m_settings.zoom));
    }
}

void TMainForm::Refresh() {
    if (!m_image.Empty()) {
        StopScrolling();
        ApplyZoomSettings();
    }
    ComposeScreen();
    UpdateStatus();
    UpdateToolbar();
}

void TMainForm::UpdateStatus() {
    m_pagePanel->setVisible(!m_image.Empty() && m_pageCount > 1);
    if (m_image.Empty()) {
        for (QLabel* panel : m_panels)
            panel->clear();
        m_pagePanel->clear();
        return;
    }
    m_pagePanel->setText(QStringLiteral("page %1/%2").arg(m_page + 1).arg(m_pageCount));
    m_panels[1]->setText(QStringLiteral("%1 x %2").arg(m_image.Width()).arg(m_image.Height()));
    m_panels[2]->setText(ZoomPercentText(m_zoom->Scale()));
    m_panels[3]->setText(QDir::toNativeSeparators(m_currentFile));
}

QString TMainForm::StatusText(int panel) const {
    if (panel == 4) return m_pagePanel->isVisibleTo(this) ? m_pagePanel->text() : QString();
    return panel >= 0 && panel < 4 ? m_panels[panel]->text() : QString();
}

// A relative path of a sequence file names a file beside that sequence file when one is there;
// otherwise it is left to the current folder.
QString TMainForm::ListPath(const QString& path) const {
    if (path.isEmpty() || QFileInfo(path).isAbsolute() || m_sequence.FileName().isEmpty())
        return path;
    const QString beside = QFileInfo(m_sequence.FileName()).absoluteDir().filePath(path);
    return QFileInfo::exists(beside) ? beside : path;
}

void TMainForm::OpenFromList(const QString& path) {
    OpenImage(ListPath(path), false);
}

void TMainForm::FirstImage() {
    m_opening.SetTravel(true);
    OpenFromList(m_sequence.First());
}

void TMainForm::PreviousImage() {
    m_opening.SetTravel(false);
    OpenFromList(m_sequence.Previous(false));
}

void TMainForm::NextImage() {
    m_opening.SetTravel(true);
    OpenFromList(m_sequence.Next(false));
}

void TMainForm::LastImage() {
    m_opening.SetTravel(false);
    OpenFromList(m_sequence.Last());
}

void TMainForm::WheelStep(bool down) {
    m_opening.SetTravel(down);
    const QString path = down ? m_sequence.Next(false) : m_sequence.Previous(false);
    if (!path.isEmpty()) OpenFromList(path);
}

bool TMainForm::LoadSequence(const QString& path) {
    try {
        m_sequence.LoadSequenceFile(path);
        return true;
    } catch (const ETaveluneError& e) {
        ShowError(QString::fromStdString(e.what()));
        return false;
    }
}

void TMainForm::AfterSequenceLoaded() {
    if (!m_settings.bcmt && m_sequence.HasAnyComment()) {
        m_settings.bcmt = true;
        Layout();
    }
}

void TMainForm::LoadSequenceCommand() {
    SetSlideshow(false);
    TFileNameRequest request;
    request.Title = QStringLiteral("Load sequence");
    request.Filter = QStringLiteral("Sequence files (*.stl)|*.stl");
    request.DefaultExtension = QStringLiteral("stl");
    if (!m_sequence.FileName().isEmpty())
        request.Folder = QFileInfo(m_sequence.FileName()).absolutePath();
    const QString name = m_files->OpenName(request);
    if (name.isEmpty() || !LoadSequence(name)) return;
    const QString first = m_sequence.First();
    if (first.isEmpty()) return;
    AfterSequenceLoaded();
    OpenFromList(first);
    if (m_sequence.HasSeveral()) SetSlideshow(true);
}

bool TMainForm::SaveSequenceCommand() {
    SetSlideshow(false);
    TFileNameRequest request;
    request.Title = QStringLiteral("Save sequence");
    request.Filter = QStringLiteral("Sequence file (*.stl)|*.stl");
    request.DefaultExtension = QStringLiteral("stl");
    request.FileName = m_sequence.FileName();
    if (!m_sequence.FileName().isEmpty())
        request.Folder = QFileInfo(m_sequence.FileName()).absolutePath();
    const QString name = m_files->SaveName(request);
    if (name.isEmpty()) return false;
    try {
        m_sequence.SaveSequenceFile(name);
        return true;
    } catch (const ETaveluneError& e) {
        ShowError(QString::fromStdString(e.what()));
        return false;
    }
}

void TMainForm::SettingsCommand() {
    SetSlideshow(false);
    if (OnSettingsDialog) OnSettingsDialog();
}

void TMainForm::SequenceManagerCommand() {
    SetSlideshow(false);
    if (OnSequenceManager) {
        OnSequenceManager();
        return;
    }
    if (!ShowSequenceManager(*this, m_sequence, *m_files)) return;
    // The entry chosen in the manager, else the first one.
    const QString path = m_sequence.CurrentPath();
    if (!path.isEmpty()) OpenFromList(path);
}

void TMainForm::LoadThemeCommand() {
    SetSlideshow(false);
    if (OnLoadTheme) OnLoadTheme();
}

void TMainForm::FitImagesToScreenCommand() {
    m_settings.zoom = (m_settings.zoom != kZoomFit || m_manualZoom) ? kZoomFit : kZoomActualSize;
    m_manualZoom = false;
    Refresh();
}

void TMainForm::BlackAndWhiteCommand() {
    const int previous = m_settings.teinte;
    m_settings.teinte = previous == tintGrayscale ? tintNormal : tintGrayscale;
    ReapplyDisplayAdjustments(m_settings.bflou, previous, m_settings.reglage);
    ComposeScreen();
}

void TMainForm::SetPrintUnit(int unit) {
    if (unit != puCentimetre && unit != puInch) return;
    m_settings.unit = unit;
    PrintUnitChanged();
}

void TMainForm::DoubleClick() {
    if (m_fullScreen) {
        SetFullScreen(false);
        return;
    }
    // A window maximised without full screen ignores the double-click.
    if (isMaximized()) return;
    if (m_image.Empty())
        OpenImage(QString(), true);
    else
        SettingsCommand();
}

void TMainForm::OpenLinkedImage() {
    if (m_settings.lk.isEmpty() || m_currentFile.isEmpty()) return;
    OpenImage(m_settings.lk + QFileInfo(m_currentFile).fileName(), false);
}

void TMainForm::OpenDroppedFiles(const QList<QUrl>& urls) {
    for (QUrl url : urls) {
        if (!url.isLocalFile()) continue;
        // "file://localhost/x" is this machine's /x, which toLocalFile() would make
        // "//localhost/x".
        if (url.host().compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0)
            url.setHost(QString());
        OpenImage(url.toLocalFile(), true);
        return;
    }
}

void TMainForm::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void TMainForm::dropEvent(QDropEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    event->acceptProposedAction();
    OpenDroppedFiles(urls);
}

void TMainForm::closeEvent(QCloseEvent* event) {
    m_slideshow.Hold();
    StopScrolling();
    bool close = true;
    if (!m_settings.bquitter && m_sequence.Modified()) {
        const int answer =
            UserDialogs().Message(kSaveSequenceQuestion, mkConfirmation, mbYesNoCancel);
        if (answer == mrCancel)
            close = false;
        else if (answer == mrYes)
            SaveSequenceCommand(); // the window closes even when that dialog is cancelled
    }
    if (!close) {
        event->ignore();
        m_slideshow.Restart();
        return;
    }
    m_closing = true;
    m_frameTimer->Stop();
    if (!m_exitSaved) {
        m_exitSaved = true;
        m_store->SaveExitSettings();
    }
    m_screenSaver.reset();
    event->accept();
}

void TMainForm::ApplicationStateChanged(Qt::ApplicationState state) {
    if (m_closing) return;
    if (state == Qt::ApplicationActive) {
        if (!m_opening.Busy()) m_slideshow.Restart();
    } else {
        m_slideshow.Hold();
        StopScrolling();
    }
}

void TMainForm::PrintUnitChanged() {
    // The print dialog is built in the unit of the moment.
    m_commandDialogs->PrintUnitChanged(m_settings.unit);
}

void TMainForm::BackgroundColourChanged(TColor colour) {
    m_zoom->SetBrush(QBrush(QColorOf(colour)));
}

void TMainForm::ScrollStepChanged(int step) {
    m_zoom->SetStep(uint16_t(std::clamp(DeviceLength(step, PixelRatio()), 1, 0xFFFF)));
}

void TMainForm::Maximise() {
    setWindowState(windowState() | Qt::WindowMaximized);
}

void TMainForm::ShowError(const QString& text) {
    UserDialogs().Message(text, mkError, mbOk);
}
