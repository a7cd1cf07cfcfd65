// SPDX-License-Identifier: GPL-2.0-or-later
// The menus and the tool bar as the user sees them (captions, separators, shortcuts, hints,
// sizes), and when each command is enabled: no image, an image, the slideshow, the last image,
// no current entry, something to undo.
#include "MainFormFixture.h"

#include "viewer/ToolIcons.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>

namespace {

using enum TCommand;

// A menu's items: "caption|shortcut", "-" for a separator, ">title" for a sub-menu.
QStringList Items(const QMenu* menu, bool popup) {
    QStringList items;
    for (const QAction* a : menu->actions()) {
        if (a->isSeparator()) {
            items << "-";
        } else if (a->menu()) {
            items << ">" + a->text();
        } else if (popup) {
            const QString key = a->shortcut().toString();
            items << (key.isEmpty() ? a->text() : a->text() + "|" + key);
        } else {
            items << QString(a->text()).replace(u'\t', u'|');
        }
    }
    return items;
}

const QMenu* SubMenu(const QMenu* menu, const QString& title) {
    for (const QAction* a : menu->actions())
        if (a->menu() && a->text() == title) return a->menu();
    return nullptr;
}

struct TMenuCase {
    const char* title;
    QStringList main;  // empty: not in the main menu
    QStringList popup; // empty: not in the pop-up menu
};

const QStringList kMainFile{"Open image...|Ctrl+O",
                            "Load theme...|Ctrl+T",
                            "Load sequence...|Ctrl+Shift+O",
                            "-",
                            "Save image as...|Ctrl+S",
                            "Save sequence as...|Ctrl+Shift+S",
                            "-",
                            "Print...|Ctrl+P",
                            "-",
                            "Exit|Ctrl+Q"};
const QStringList kEdit{"Cancel|Ctrl+Z",
                        "-",
                        "Copy|Ctrl+C",
                        "-",
                        "Set image comment...|Ctrl+I",
                        "-",
                        "Flip vertical",
                        "Flip horizontal",
                        "Rotate 90° CW",
                        "Rotate 90° CCW",
                        "Rotate 180°",
                        "-",
                        "Image size..."};
const QStringList kImage{"Rename image...|F2", "Move image to...|Ctrl+Shift+M",
                         "Copy image to...|Ctrl+Shift+C", "-", "Delete image|Shift+Del"};

const TMenuCase kMenuCases[] = {
    {"File", kMainFile, kMainFile.mid(0, 8)},
    {"Edit", kEdit, kEdit},
    {"Options",
     {"Settings...|Ctrl+M", "Sequence manager...|Ctrl+G", "-", "Slideshow|Ctrl+D", "-",
      "Fit images to screen", "Display on Black and White", "-", ">Print unit"},
     {"Settings...|Ctrl+M", "Sequence manager...|Ctrl+G", "-", "Slideshow|Ctrl+D", "-",
      "Fit images to screen", "Display on Black and White"}},
    {"View",
     {"Full screen mode|Ctrl+F", "-", "Zoom in", "Zoom out", "Original size", "-",
      "First image|Home", "Previous image|PgUp", "Next image|PgDown", "Last image|End", "-",
      "Previous page|Ctrl+PgUp", "Next page|Ctrl+PgDown", "Pause animation|Ctrl+Shift+P",
      "Next frame|Ctrl+Shift+N"},
     {"Full screen mode|Ctrl+F", "-", "Zoom in", "Zoom out", "Actual size", "-", "First image|Home",
      "Previous image|PgUp", "Next image|PgDown", "last image|End", "-", "Previous page|Ctrl+PgUp",
      "Next page|Ctrl+PgDown", "Pause animation|Ctrl+Shift+P", "Next frame|Ctrl+Shift+N"}},
    {"Image", kImage, kImage},
    {"?", {"Information", "-", "Official web site", "-", "About Tavelune"}, {}},
};

class CommandStatesTest : public MainFormTest {
protected:
    // Three images, the middle one shown; the test then puts the window in a state.
    TMainForm& StartOnSeries(int openIndex = 1) {
        WriteSettings({"bsa=0"});
        m_images = WriteSeries(Img(""), 3);
        return Start({m_images[openIndex]});
    }
    QStringList m_images;
};

TEST_F(CommandStatesTest, MenusHoldTheirItemsInOrder) {
    TMainForm& form = StartOnSeries();
    QStringList mainTitles;
    for (const QAction* a : form.menuBar()->actions())
        mainTitles << a->text();
    EXPECT_EQ(mainTitles, (QStringList{"File", "Edit", "Options", "View", "Image", "?"}));

    for (const TMenuCase& c : kMenuCases) {
        SCOPED_TRACE(c.title);
        const QMenu* main = nullptr;
        for (const QAction* a : form.menuBar()->actions())
            if (a->text() == c.title) main = a->menu();
        ASSERT_TRUE(main);
        EXPECT_EQ(Items(main, false), c.main);
        const QMenu* popup = SubMenu(form.PopupMenu(), c.title);
        EXPECT_EQ(popup != nullptr, !c.popup.isEmpty());
        if (popup) {
            EXPECT_EQ(Items(popup, true), c.popup);
        }
    }
    const QMenu* options = nullptr;
    for (const QAction* a : form.menuBar()->actions())
        if (a->text() == "Options") options = a->menu();
    EXPECT_EQ(Items(SubMenu(options, "Print unit"), false), (QStringList{"Cm", "Inch"}));
    EXPECT_EQ(Items(form.PopupMenu(), true),
              (QStringList{">File", ">Edit", ">Options", ">View", ">Image", "-", "About Tavelune",
                           "-", "Exit|Ctrl+Q"}));
}

TEST_F(CommandStatesTest, ToolBarButtonsGapsAndSizes) {
    TMainForm& form = StartOnSeries();
    auto* bar = form.findChild<QToolBar*>();
    ASSERT_TRUE(bar);
    EXPECT_EQ(bar->height(), 32);
    EXPECT_EQ(bar->iconSize(), QSize(19, 19));
    QStringList hints;
    for (QAction* a : bar->actions()) {
        QWidget* w = bar->widgetForAction(a);
        auto* button = qobject_cast<QToolButton*>(w);
        if (!button) {
            hints << "|";
            continue;
        }
        hints << a->toolTip();
        EXPECT_EQ(button->size(), QSize(27, 25)) << a->toolTip().toStdString();
        EXPECT_TRUE(button->autoRaise());
    }
    EXPECT_EQ(hints, (QStringList{"Open image",
                                  "Print",
                                  "Save as",
                                  "|",
                                  "Start slideshow",
                                  "Stop slideshow",
                                  "First image",
                                  "Previous image",
                                  "Next image",
                                  "Last image",
                                  "|",
                                  "Zoom in",
                                  "Zoom out",
                                  "Original size",
                                  "Fit to screen",
                                  "|",
                                  "Settings",
                                  "Sequence manager",
                                  "Load theme",
                                  "Full screen mode",
                                  "|",
                                  "Rename image",
                                  "Move image to",
                                  "Copy image to",
                                  "Delete image"}));
    EXPECT_EQ(form.minimumSize(), QSize(385, 300));
}

TEST(ToolIcons, EveryGlyphIsDrawnAndItsGreyedFormIsGrey) {
    for (int g = int(TToolGlyph::Open); g <= int(TToolGlyph::Delete); ++g) {
        const QImage image = DrawToolGlyph(TToolGlyph(g));
        ASSERT_EQ(image.size(), QSize(19, 19));
        const QImage grey = GreyedGlyph(image);
        int drawn = 0;
        for (int y = 0; y < 19; ++y)
            for (int x = 0; x < 19; ++x) {
                const QRgb c = grey.pixel(x, y);
                EXPECT_EQ(qRed(c), qGreen(c));
                EXPECT_EQ(qGreen(c), qBlue(c));
                EXPECT_LE(qAlpha(c), 128);
                drawn += qAlpha(image.pixel(x, y)) > 0;
            }
        EXPECT_GT(drawn, 30) << "glyph " << g;
        EXPECT_EQ(DrawToolGlyph(TToolGlyph(g), 2).size(), QSize(38, 38));
    }
}

// Expected states: one character per place (tool bar, main menu, pop-up menu): '1' enabled,
// '0' disabled, '-' no item there.
struct TStateRow {
    TCommand command;
    const char* places;
};

struct TStateCase {
    const char* name;
    std::function<void(MainFormTest&, TMainForm&)> setup;
    int openIndex; // -1: no image
    std::vector<TStateRow> rows;
};

void Check(TMainForm& form, const TStateRow& row) {
    form.UpdateToolbar();
    form.UpdateMainMenu();
    form.UpdatePopupMenu();
    QAction* actions[] = {form.ToolAction(row.command), form.MainMenuAction(row.command),
                          form.PopupAction(row.command)};
    static const char* kPlaces[] = {"tool bar", "main menu", "pop-up menu"};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(kPlaces[i]);
        if (row.places[i] == '-') {
            EXPECT_EQ(actions[i], nullptr);
            continue;
        }
        ASSERT_NE(actions[i], nullptr);
        EXPECT_EQ(actions[i]->isEnabled(), row.places[i] == '1');
    }
}

class CommandStates : public CommandStatesTest, public ::testing::WithParamInterface<TStateCase> {};

TEST_P(CommandStates, EnabledByTheRules) {
    const TStateCase& c = GetParam();
    WriteSettings({"bsa=0"});
    m_images = WriteSeries(Img(""), 3);
    TMainForm& form = Start(c.openIndex < 0 ? QStringList{} : QStringList{m_images[c.openIndex]});
    if (c.setup) c.setup(*this, form);
    for (const TStateRow& row : c.rows) {
        SCOPED_TRACE(::testing::Message() << "command " << int(row.command));
        Check(form, row);
    }
}

const std::vector<TStateRow> kImageCommandsOn{
    {OpenImage, "111"},   {LoadTheme, "111"},   {SaveImage, "111"},       {SaveSequence, "-11"},
    {Print, "111"},       {Undo, "-00"},        {CopyToClipboard, "-11"}, {SetComment, "-11"},
    {FlipV, "-11"},       {FlipH, "-11"},       {RotateCW, "-11"},        {RotateCCW, "-11"},
    {RotateHalf, "-11"},  {ImageSize, "-11"},   {Settings, "111"},        {SequenceManager, "111"},
    {RenameImage, "111"}, {MoveImage, "111"},   {CopyImage, "111"},       {DeleteImage, "111"},
    {Information, "-1-"}, {WebSite, "-1-"},     {About, "-11"},           {FullScreen, "111"},
    {Exit, "-11"},        {LoadSequence, "-11"}};

INSTANTIATE_TEST_SUITE_P(
    Rules, CommandStates,
    ::testing::Values(
        TStateCase{"noImage",
                   nullptr,
                   -1,
                   {{OpenImage, "111"},       {LoadTheme, "111"},      {SaveImage, "000"},
                    {SaveSequence, "-00"},    {Print, "000"},          {Undo, "-00"},
                    {CopyToClipboard, "-00"}, {SetComment, "-00"},     {FlipV, "-00"},
                    {RotateHalf, "-00"},      {ImageSize, "-00"},      {Settings, "111"},
                    {SequenceManager, "111"}, {FullScreen, "111"},     {RenameImage, "000"},
                    {MoveImage, "000"},       {CopyImage, "000"},      {DeleteImage, "000"},
                    {Information, "-1-"},     {WebSite, "-1-"},        {About, "-11"},
                    {ZoomIn, "000"},          {StartSlideshow, "1--"}, {StopSlideshow, "0--"}}},
        TStateCase{"imageShown", nullptr, 1, kImageCommandsOn},
        TStateCase{"slideshowOn",
                   [](MainFormTest&, TMainForm& f) { f.SetSlideshow(true); },
                   1,
                   {{OpenImage, "100"},       {LoadTheme, "111"},      {SaveImage, "000"},
                    {SaveSequence, "-01"},    {Print, "000"},          {Undo, "-00"},
                    {CopyToClipboard, "-00"}, {SetComment, "-00"},     {FlipV, "-00"},
                    {ImageSize, "-00"},       {Settings, "111"},       {SequenceManager, "111"},
                    {RenameImage, "000"},     {MoveImage, "000"},      {CopyImage, "000"},
                    {DeleteImage, "000"},     {StartSlideshow, "0--"}, {StopSlideshow, "1--"},
                    {NextImage, "111"},       {About, "-11"}}},
        TStateCase{
            "lastImage",
            nullptr,
            2,
            {{NextImage, "000"}, {LastImage, "000"}, {PreviousImage, "111"}, {FirstImage, "111"}}},
        TStateCase{
            "firstImage",
            nullptr,
            0,
            {{NextImage, "111"}, {LastImage, "111"}, {PreviousImage, "000"}, {FirstImage, "000"}}},
        TStateCase{
            "noCurrentEntry",
            [](MainFormTest&, TMainForm& f) { f.Sequence().SetCurrent(-1); },
            1,
            {{NextImage, "111"}, {LastImage, "111"}, {PreviousImage, "111"}, {FirstImage, "111"}}},
        TStateCase{"afterFlip",
                   [](MainFormTest&, TMainForm& f) { f.RunCommand(FlipH); },
                   1,
                   {{Undo, "-11"}, {FlipH, "-11"}}},
        TStateCase{"afterFlipInSlideshow",
                   [](MainFormTest&, TMainForm& f) {
                       f.RunCommand(FlipH);
                       f.SetSlideshow(true);
                   },
                   1,
                   {{Undo, "-00"}}},
        TStateCase{"afterUndo",
                   [](MainFormTest&, TMainForm& f) {
                       f.RunCommand(RotateCW);
                       f.RunCommand(Undo);
                   },
                   1,
                   {{Undo, "-00"}}},
        TStateCase{"afterOpening",
                   [](MainFormTest&, TMainForm& f) {
                       f.RunCommand(FlipV);
                       f.NextImage();
                   },
                   1,
                   {{Undo, "-00"}}}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
