// SPDX-License-Identifier: GPL-2.0-or-later
// The open and save dialogs' settings, owner and events, and the save dialog's extension that
// follows the chosen file type.
#include "dialogs/DialogHost.h"
#include "dialogs/MyDlgs.h"
#include "formats/FormatRegistry.h"
#include "formats/SaveFormats.h"

#include <QComboBox>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class SaveDialog : public testing::Test {
protected:
    QTemporaryDir dir;
    TMySaveDialog dialog;

    QComboBox* Types() { return dialog.findChild<QComboBox*>("fileTypeCombo"); }
    // The user picks the next type in the list with the keyboard.
    void NextType() { QTest::keyClick(Types(), Qt::Key_Down); }
    void Open(const QString& name, int filterIndex = 1) {
        dialog.Filter = BuildSaveFilter();
        dialog.FilterIndex = filterIndex;
        dialog.InitialDir = dir.path();
        dialog.FileName = name;
        dialog.Prepare();
    }
};

TEST_F(SaveDialog, TypedNameFollowsTheChosenType) {
    Open("photo.bmp");
    ASSERT_NE(Types(), nullptr);
    ASSERT_EQ(dialog.NameFieldText(), "photo.bmp");
    int typeChanges = 0;
    dialog.OnTypeChange = [&] { ++typeChanges; };
    NextType(); // GIF
    EXPECT_EQ(dialog.NameFieldText(), "photo.gif");
    NextType(); // JPEG, whose masks start with *.jpg
    EXPECT_EQ(dialog.NameFieldText(), "photo.jpg");
    EXPECT_EQ(dialog.FilterIndex, 3);
    EXPECT_EQ(typeChanges, 2);
}

TEST_F(SaveDialog, ANameWithoutExtensionGetsOne) {
    Open("photo");
    NextType();
    EXPECT_EQ(dialog.NameFieldText(), "photo.gif");
}

TEST_F(SaveDialog, AnEmptyNameStaysEmpty) {
    Open("");
    NextType();
    EXPECT_EQ(dialog.NameFieldText(), "");
    EXPECT_EQ(dialog.FilterIndex, 2);
}

TEST_F(SaveDialog, SettingsReachTheQtDialog) {
    Open("photo.tif", 8);
    EXPECT_EQ(dialog.acceptMode(), QFileDialog::AcceptSave);
    EXPECT_EQ(dialog.nameFilters().size(), 8);
    EXPECT_EQ(dialog.nameFilters()[2], "JPEG (*.jpg *.jpeg *.jpe *.jfif)");
    EXPECT_EQ(dialog.selectedNameFilter(), "TIFF (*.tif *.tiff)");
    EXPECT_TRUE(dialog.testOption(QFileDialog::DontUseNativeDialog));
    EXPECT_EQ(QFileInfo(dialog.directory().absolutePath()).canonicalFilePath(),
              QFileInfo(dir.path()).canonicalFilePath());
}

// The image dialogs set no title of their own: the toolkit's open and save titles show,
// and a dialog used again with a title and then without does not keep the old one.
TEST_F(SaveDialog, NoTitleGivesTheToolkitsOwn) {
    Open("photo.bmp");
    EXPECT_EQ(dialog.windowTitle(), QFileDialog::tr("Save As"));
    dialog.Title = "Save sequence";
    dialog.Prepare();
    EXPECT_EQ(dialog.windowTitle(), "Save sequence");
    dialog.Title.clear();
    dialog.Prepare();
    EXPECT_EQ(dialog.windowTitle(), QFileDialog::tr("Save As"));

    TOpenDialogEx open;
    open.Prepare();
    EXPECT_EQ(open.windowTitle(), QFileDialog::tr("Open"));
}

TEST(OpenDialogEx, OwnerIsTheMainWindowWhenNothingIsActive) {
    QWidget main;
    SetDialogMainWindow(&main);
    {
        TOpenDialogEx dialog;
        EXPECT_EQ(dialog.parentWidget(), &main);
    }
    SetDialogMainWindow(nullptr);
    TOpenDialogEx orphan;
    EXPECT_EQ(orphan.parentWidget(), nullptr);
}

TEST(OpenDialogEx, OpenSettingsAndEvents) {
    TOpenDialogEx dialog;
    dialog.Filter = BuildOpenFilter(true, false, true, false);
    dialog.Options = ofFileMustExist | ofAllowMultiSelect;
    dialog.Prepare();
    EXPECT_EQ(dialog.fileMode(), QFileDialog::ExistingFiles);
    EXPECT_EQ(dialog.nameFilters()[0],
              "Common images (*.png *.jpg *.jpeg *.tif *.tiff *.tga *.bmp *.gif *.oxi)");
    EXPECT_EQ(dialog.nameFilters()[1], "All images (*)");
    EXPECT_EQ(dialog.selectedNameFilter(), dialog.nameFilters()[0]);
    int shows = 0, closes = 0, types = 0;
    dialog.OnShow = [&] { ++shows; };
    dialog.OnClose = [&] { ++closes; };
    dialog.OnTypeChange = [&] { ++types; };
    dialog.TypeSelected(dialog.nameFilters()[4]);
    EXPECT_EQ(dialog.FilterIndex, 5);
    EXPECT_EQ(types, 1);
    dialog.show();
    dialog.reject();
    EXPECT_EQ(shows, 1);
    EXPECT_EQ(closes, 1);
}

} // namespace
