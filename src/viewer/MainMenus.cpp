// SPDX-License-Identifier: GPL-2.0-or-later
// The main menu, the pop-up menu, the tool bar and the status bar, built from the command
// tables, with the rules that enable and check their items.
#include "viewer/Main.h"

#include "browse/ShownAnimation.h"
#include "core/ColorAdjust.h"
#include "viewer/MainView.h"
#include "viewer/ToolIcons.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>

namespace {

inline constexpr int kToolBarHeight = 32;
inline constexpr int kToolButtonWidth = 27;
inline constexpr int kToolButtonHeight = 25;
inline constexpr int kToolGap = 8;

// The menu of a path such as "Options/Print unit", created on first use.
QMenu* MenuAt(std::map<QString, QMenu*>& menus, const QString& path,
              const std::function<QMenu*(const QString&)>& topLevel) {
    if (auto it = menus.find(path); it != menus.end()) return it->second;
    const qsizetype slash = path.lastIndexOf(u'/');
    QMenu* menu = slash < 0
                      ? topLevel(path)
                      : MenuAt(menus, path.left(slash), topLevel)->addMenu(path.mid(slash + 1));
    menus[path] = menu;
    return menu;
}

} // namespace

void TMainForm::BuildMenus() {
    std::map<QString, QMenu*> mainMenus, popupMenus;
    for (const char* title : MainMenuTitles()) {
        QMenu* menu = menuBar()->addMenu(QString::fromUtf8(title));
        mainMenus[QString::fromUtf8(title)] = menu;
        connect(menu, &QMenu::aboutToShow, this, &TMainForm::UpdateMainMenu);
    }
    m_popup = new QMenu(this);
    popupMenus[QString()] = m_popup;
    for (const char* title : PopupMenuTitles())
        popupMenus[QString::fromUtf8(title)] = m_popup->addMenu(QString::fromUtf8(title));
    connect(m_popup, &QMenu::aboutToShow, this, &TMainForm::UpdatePopupMenu);
    // Outside the pop-up menu every item stays enabled, so that its shortcut reaches
    // ShortcutPressed, which applies the item's rule.
    connect(m_popup, &QMenu::aboutToHide, this, [this] {
        for (auto& [command, action] : m_popupActions)
            action->setEnabled(true);
    });

    auto noTopLevel = [](const QString&) -> QMenu* { return nullptr; };
    for (const TMenuRow& row : MenuRows()) {
        const QString menuPath = QString::fromUtf8(row.Menu);
        for (const TMenuPlace place : {mpMain, mpPopup}) {
            if (!(row.Place & place)) continue;
            auto& menus = place == mpMain ? mainMenus : popupMenus;
            QMenu* menu = MenuAt(menus, menuPath, noTopLevel);
            if (!menu) continue;
            if (row.Command == TCommand::None) {
                menu->addSeparator();
                continue;
            }
            const char* caption =
                place == mpPopup && row.PopupCaption ? row.PopupCaption : row.Caption;
            QAction* action = menu->addAction(QString::fromUtf8(caption));
            action->setCheckable(row.Checkable);
            const TCommand command = row.Command;
            if (place == mpMain) {
                // The pop-up menu's item owns the key; the main menu only shows it.
                if (row.Shortcut)
                    action->setText(action->text() + u'\t' +
                                    QKeySequence(QString::fromUtf8(row.Shortcut))
                                        .toString(QKeySequence::NativeText));
                connect(action, &QAction::triggered, this,
                        [this, command] { RunCommand(command); });
                m_mainActions[command] = action;
            } else {
                if (row.Shortcut) {
                    action->setShortcut(QKeySequence(QString::fromUtf8(row.Shortcut)));
                    action->setShortcutContext(Qt::WindowShortcut);
                    addAction(action); // keeps the key alive while the menu is hidden
                }
                connect(action, &QAction::triggered, this,
                        [this, command] { ShortcutPressed(command); });
                m_popupActions[command] = action;
            }
        }
    }
}

void TMainForm::BuildToolBar() {
    m_toolBar = addToolBar(QStringLiteral("Tools"));
    m_toolBar->setMovable(false);
    m_toolBar->setFloatable(false);
    m_toolBar->setIconSize(QSize(kToolGlyphSize, kToolGlyphSize));
    m_toolBar->setFixedHeight(kToolBarHeight);
    m_toolBar->setContentsMargins(0, 0, 0, 0);
    m_toolBar->layout()->setSpacing(0);
    m_toolBar->setContextMenuPolicy(Qt::PreventContextMenu);
    m_toolBar->setFocusPolicy(Qt::NoFocus);
    for (const TToolRow& row : ToolRows()) {
        if (row.Command == TCommand::None) {
            auto* gap = new QWidget(m_toolBar);
            gap->setFixedSize(kToolGap, kToolButtonHeight);
            m_toolBar->addWidget(gap);
            continue;
        }
        QAction* action = m_toolBar->addAction(ToolIcon(row.Glyph), QString::fromUtf8(row.Hint));
        action->setToolTip(QString::fromUtf8(row.Hint));
        if (auto* button = qobject_cast<QToolButton*>(m_toolBar->widgetForAction(action))) {
            button->setAutoRaise(true);
            button->setFixedSize(kToolButtonWidth, kToolButtonHeight);
            button->setFocusPolicy(Qt::NoFocus);
        }
        const TCommand command = row.Command;
        connect(action, &QAction::triggered, this, [this, command] { RunCommand(command); });
        m_toolActions[command] = action;
    }
}

void TMainForm::BuildStatusBar() {
    static constexpr int kWidths[] = {65, 100, 70, 0};
    for (int i = 0; i < 4; ++i) {
        m_panels[i] = new QLabel(this);
        if (kWidths[i] > 0) {
            m_panels[i]->setFixedWidth(kWidths[i]);
            m_panels[i]->setAlignment(Qt::AlignCenter);
            statusBar()->addWidget(m_panels[i]);
        } else {
            statusBar()->addWidget(m_panels[i], 1);
        }
    }
    // Before the path, and only while a file of several pages is shown.
    m_pagePanel = new QLabel(this);
    m_pagePanel->setAlignment(Qt::AlignCenter);
    m_pagePanel->setMinimumWidth(80);
    statusBar()->insertWidget(3, m_pagePanel);
    m_pagePanel->hide();
}

QAction* TMainForm::ToolAction(TCommand command) const {
    const auto it = m_toolActions.find(command);
    return it == m_toolActions.end() ? nullptr : it->second;
}

QAction* TMainForm::MainMenuAction(TCommand command) const {
    const auto it = m_mainActions.find(command);
    return it == m_mainActions.end() ? nullptr : it->second;
}

QAction* TMainForm::PopupAction(TCommand command) const {
    const auto it = m_popupActions.find(command);
    return it == m_popupActions.end() ? nullptr : it->second;
}

bool TMainForm::ToolEnabled(TCommand command) const {
    const bool empty = m_image.Empty();
    const bool busy = empty || m_slideshow.On();
    using enum TCommand;
    switch (command) {
    case Print:
        return m_printersAvailable && !busy;
    case SaveImage:
    case RenameImage:
    case MoveImage:
    case CopyImage:
    case DeleteImage:
        return !busy;
    case ZoomIn:
    case ZoomOut:
        return !empty;
    case OriginalSize:
        return !empty && m_zoom->Scale() != 1.0;
    case FitToScreen:
        return !empty && m_zoom->ZoomMode() != zmFitScreen;
    case StartSlideshow:
        return !m_slideshow.On();
    case StopSlideshow:
        return m_slideshow.On();
    case PreviousImage:
        return !empty && m_sequence.CanGoPrevious(false);
    case NextImage:
        return !empty && m_sequence.CanGoNext(false);
    case FirstImage:
        return ToolEnabled(PreviousImage) && !m_sequence.IsAtFirst();
    case LastImage:
        return ToolEnabled(NextImage) && !m_sequence.IsAtLast();
    default:
        return true;
    }
}

bool TMainForm::MainMenuEnabled(TCommand command) const {
    const bool empty = m_image.Empty();
    const bool busy = empty || m_slideshow.On();
    using enum TCommand;
    switch (command) {
    case OpenImage:
        return !m_slideshow.On();
    case SaveImage:
    case SaveSequence:
        return !busy;
    case Print:
        return m_printersAvailable && !busy;
    case Undo:
        return !busy && m_undoKind != -1;
    case CopyToClipboard:
    case SetComment:
    case FlipV:
    case FlipH:
    case RotateCW:
    case RotateCCW:
    case RotateHalf:
    case ImageSize:
    case RenameImage:
    case MoveImage:
    case CopyImage:
    case DeleteImage:
        return !busy;
    case ZoomIn:
    case ZoomOut:
        return !empty;
    case OriginalSize:
        return !empty && m_zoom->Scale() != 1.0;
    case PreviousImage:
        return m_sequence.CanGoPrevious(false);
    case NextImage:
        return m_sequence.CanGoNext(false);
    case FirstImage:
        return m_sequence.CanGoPrevious(false) && !m_sequence.IsAtFirst();
    case LastImage:
        return m_sequence.CanGoNext(false) && !m_sequence.IsAtLast();
    case PreviousPage:
        return !empty && m_page > 0;
    case NextPage:
        return !empty && m_page + 1 < m_pageCount;
    case PauseAnimation:
    case NextFrame:
        return !empty && m_animation && !m_animation->Player().Ended();
    default:
        return true;
    }
}

bool TMainForm::PopupEnabled(TCommand command) const {
    const bool empty = m_image.Empty();
    using enum TCommand;
    switch (command) {
    case SaveSequence:
        return !empty;
    case Print:
        return !empty && m_printersAvailable && !m_slideshow.On();
    default:
        return MainMenuEnabled(command);
    }
}

bool TMainForm::CommandChecked(TCommand command) const {
    using enum TCommand;
    switch (command) {
    case Slideshow:
        return m_slideshow.On();
    case FitImagesToScreen:
        return m_settings.zoom == kZoomFit && !m_manualZoom;
    case BlackAndWhite:
        return m_settings.teinte == tintGrayscale;
    case UnitCm:
        return m_settings.unit != puInch;
    case UnitInch:
        return m_settings.unit == puInch;
    case FullScreen:
        return m_fullScreen;
    case OriginalSize:
        return !m_image.Empty() && m_zoom->Scale() == 1.0;
    case PauseAnimation:
        return m_animation && m_animation->Player().IsPaused();
    default:
        return false;
    }
}

void TMainForm::UpdateToolbar() {
    for (auto& [command, action] : m_toolActions)
        action->setEnabled(ToolEnabled(command));
}

void TMainForm::UpdateMainMenu() {
    for (auto& [command, action] : m_mainActions) {
        action->setEnabled(MainMenuEnabled(command));
        if (action->isCheckable()) action->setChecked(CommandChecked(command));
    }
}

void TMainForm::UpdatePopupMenu() {
    for (auto& [command, action] : m_popupActions) {
        action->setEnabled(PopupEnabled(command));
        if (action->isCheckable()) action->setChecked(CommandChecked(command));
    }
}

void TMainForm::ShortcutPressed(TCommand command) {
    // A checkable item toggled its own check on the way; the state decides, not the click.
    if (QAction* action = PopupAction(command); action && action->isCheckable())
        action->setChecked(CommandChecked(command));
    if (PopupEnabled(command)) RunCommand(command);
}

void TMainForm::RunCommand(TCommand command) {
    using enum TCommand;
    switch (command) {
    case None:
        break;
    case OpenImage:
        this->OpenImage(QString(), true);
        break;
    case LoadSequence:
        LoadSequenceCommand();
        break;
    case SaveSequence:
        SaveSequenceCommand();
        break;
    case Exit:
        close();
        break;
    case Slideshow:
    case StartSlideshow:
    case StopSlideshow:
        SlideshowCommand();
        break;
    case FitImagesToScreen:
        FitImagesToScreenCommand();
        break;
    case BlackAndWhite:
        BlackAndWhiteCommand();
        break;
    case UnitCm:
        SetPrintUnit(puCentimetre);
        break;
    case UnitInch:
        SetPrintUnit(puInch);
        break;
    case FullScreen:
        SetFullScreen(!m_fullScreen);
        break;
    case ZoomIn:
    case ZoomOut:
    case OriginalSize:
    case FitToScreen:
        ZoomCommand(command);
        break;
    case FirstImage:
        this->FirstImage();
        break;
    case PreviousImage:
        this->PreviousImage();
        break;
    case NextImage:
        this->NextImage();
        break;
    case LastImage:
        this->LastImage();
        break;
    case PreviousPage:
        this->PreviousPage();
        break;
    case NextPage:
        this->NextPage();
        break;
    case PauseAnimation:
        PauseAnimationCommand();
        break;
    case NextFrame:
        NextFrameCommand();
        break;
    case LoadTheme:
        LoadThemeCommand();
        break;
    case SaveImage:
        SaveImageCommand();
        break;
    case Print:
        PrintCommand();
        break;
    case Undo:
        UndoCommand();
        break;
    case CopyToClipboard:
        CopyToClipboardCommand();
        break;
    case SetComment:
        SetCommentCommand();
        break;
    case FlipV:
    case FlipH:
    case RotateCW:
    case RotateCCW:
    case RotateHalf:
        TurnCommand(int(command) - int(FlipV));
        break;
    case ImageSize:
        ImageSizeCommand();
        break;
    case Settings:
        SettingsCommand();
        break;
    case SequenceManager:
        SequenceManagerCommand();
        break;
    case RenameImage:
        RenameCommand();
        break;
    case MoveImage:
        MoveCommand();
        break;
    case CopyImage:
        CopyCommand();
        break;
    case DeleteImage:
        DeleteCommand();
        break;
    case Information:
        InformationCommand();
        break;
    case WebSite:
        WebSiteCommand();
        break;
    case About:
        AboutCommand();
        break;
    }
    // Checks shown by the menus follow the state, not the last click.
    UpdateMainMenu();
}

// The window's own keys come first, whatever control of the window has the focus.
bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType()) return false;
    if (static_cast<QWidget*>(watched)->window() != this) return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    return HandleKey(key->key(), key->modifiers(), key->text());
}
