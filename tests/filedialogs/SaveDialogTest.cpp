// The open and save dialogs' settings, owner and events, and the save dialog's extension that
// follows the chosen file type.
#include "dialogs/DialogHost.h"
#include "dialogs/MyDlgs.h"
#include "formats/FormatRegistry.h"
#include "formats/ImageFiles.h"
#include "formats/SaveFormats.h"

#include "TestImages.h"

#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

class SaveDialog : public testing::Test {
protected:
    QTemporaryDir dir;
    TMySaveDialog dialog;

    QComboBox* Types() { return dialog.findChild<QComboBox*>("fileTypeCombo"); }
    // The user picks the next type in the list with the keyboard.
    void NextType() { QTest::keyClick(Types(), Qt::Key_Down); }
    void ChoosePngAndTypeABareName() {
        ASSERT_EQ(Types()->count(), 8);
        NextType(); // GIF
        NextType(); // JPEG
        NextType(); // PNG
        auto* name = dialog.findChild<QLineEdit*>("fileNameEdit");
        ASSERT_NE(name, nullptr);
        ASSERT_TRUE(name->text().isEmpty());
        QTest::keyClicks(name, "holiday");
        QTest::keyClick(name, Qt::Key_Return);
    }
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

// The type is chosen first, then a bare name typed and the dialog accepted with Enter: the name
// takes the chosen type's extension, not the dialog's default one, and saves in that format.
TEST_F(SaveDialog, ABareNameTypedAfterChoosingTheTypeTakesItsExtension) {
    dialog.Filter = BuildSaveFilter();
    dialog.FilterIndex = 1;
    dialog.DefaultExt = ".bmp";
    dialog.InitialDir = dir.path();
    // A failed check leaves the lambda early; the dialog is closed in any case, so that it
    // cannot wait for input that never comes.
    QTimer::singleShot(0, [this] {
        ChoosePngAndTypeABareName();
        if (dialog.isVisible()) dialog.reject();
    });
    ASSERT_TRUE(dialog.Execute());
    EXPECT_EQ(dialog.FilterIndex, 4);
    EXPECT_EQ(QFileInfo(dialog.FileName).fileName(), "holiday.png");

    QString saved = dialog.FileName;
    ASSERT_EQ(SaveImageFile(saved, UniformImage(4, 3, Rgb(10, 20, 30))), 1);
    QFile file(saved);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.read(8).startsWith("\x89PNG"));
}

TEST_F(SaveDialog, TheReadOnlyNativeTypeIsNotOffered) {
    Open("photo");
    ASSERT_EQ(dialog.nameFilters().size(), 8);
    for (const QString& type : dialog.nameFilters())
        EXPECT_FALSE(type.contains("oxi", Qt::CaseInsensitive)) << type.toStdString();
}

TEST_F(SaveDialog, AnEmptyNameStaysEmpty) {
    Open("");
    NextType();
    EXPECT_EQ(dialog.NameFieldText(), "");
    EXPECT_EQ(dialog.FilterIndex, 2);
}

TEST_F(SaveDialog, SettingsReachTheQtDialog) {
    Open("photo.tif", 7);
    EXPECT_EQ(dialog.acceptMode(), QFileDialog::AcceptSave);
    EXPECT_EQ(dialog.nameFilters().size(), 8);
    EXPECT_EQ(dialog.nameFilters()[2], "JPEG (*.jpg *.jpeg *.jpe *.jfif)");
    EXPECT_EQ(dialog.nameFilters()[7], "WebP (*.webp)");
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
              "Common images (*.png *.jpg *.jpeg *.tif *.tiff *.tga *.bmp *.gif *.oxi *.webp "
              "*.avif *.heic *.heif *.jxl *.svg)");
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
