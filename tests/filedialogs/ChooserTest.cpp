// SPDX-License-Identifier: GPL-2.0-or-later
// The main window's real file-name chooser uses these dialogs: the picture dialog for images
// (its "Preview" state kept from one use to the next), the plain one otherwise, and the save
// dialog that follows the file type.
#include "dialogs/MyDlgs.h"
#include "formats/ImageFiles.h"
#include "viewer/FileChooser.h"

#include <QApplication>
#include <QCheckBox>
#include <QScreen>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

namespace {

// Runs a chooser call while act sees the modal dialog it shows, then cancels it.
QString WithDialog(const std::function<QString()>& call, const std::function<void(QWidget*)>& act) {
    QTimer::singleShot(0, [act] {
        QWidget* w = QApplication::activeModalWidget();
        act(w);
        if (auto* d = qobject_cast<QDialog*>(w)) d->reject();
    });
    return call();
}

TEST(Chooser, ImagesOpenWithThePreviewPaneAndItsStateComesBack) {
    TQtFileNameChooser chooser;
    TFileNameRequest request;
    request.Filter = "Common images|*.png;*.jpg";
    bool preview = false;
    request.Preview = &preview;
    bool seen = false;
    const QString name = WithDialog([&] { return chooser.OpenName(request); },
                                    [&](QWidget* w) {
                                        auto* d = qobject_cast<TOpenPictureDialog*>(w);
                                        ASSERT_NE(d, nullptr);
                                        seen = true;
                                        EXPECT_FALSE(d->Preview());
                                        d->PreviewCheck->setChecked(true);
                                    });
    EXPECT_TRUE(seen);
    EXPECT_TRUE(name.isEmpty());
    EXPECT_TRUE(preview); // kept although the dialog was cancelled
}

TEST(Chooser, OtherFilesOpenWithoutPane) {
    TQtFileNameChooser chooser;
    TFileNameRequest request;
    request.Title = "Load theme";
    request.Filter = "Theme file (*.tlt)|*.tlt";
    bool seen = false;
    WithDialog([&] { return chooser.OpenName(request); },
               [&](QWidget* w) {
                   auto* d = qobject_cast<TOpenDialogEx*>(w);
                   ASSERT_NE(d, nullptr);
                   seen = true;
                   EXPECT_EQ(qobject_cast<TOpenPictureDialog*>(w), nullptr);
                   EXPECT_EQ(d->windowTitle(), "Load theme");
                   EXPECT_EQ(d->nameFilters(), QStringList{"Theme file (*.tlt)"});
                   EXPECT_EQ(d->fileMode(), QFileDialog::ExistingFile);
                   // Placed on the monitor as the program places its dialogs.
                   EXPECT_EQ(d->pos(), DialogPlacement(d->screen()->availableGeometry(),
                                                       d->frameGeometry().size()));
               });
    EXPECT_TRUE(seen);
}

TEST(Chooser, SavingUsesTheDialogThatFollowsTheType) {
    TQtFileNameChooser chooser;
    TFileNameRequest request;
    request.Filter = "BMP (*.bmp)|*.bmp|PNG (*.png)|*.png";
    request.FilterIndex = 2;
    request.FileName = "picture.png";
    bool seen = false;
    const QString name = WithDialog([&] { return chooser.SaveName(request); },
                                    [&](QWidget* w) {
                                        auto* d = qobject_cast<TMySaveDialog*>(w);
                                        ASSERT_NE(d, nullptr);
                                        seen = true;
                                        EXPECT_EQ(d->selectedNameFilter(), "PNG (*.png)");
                                        EXPECT_EQ(d->NameFieldText(), "picture.png");
                                    });
    EXPECT_TRUE(seen);
    EXPECT_TRUE(name.isEmpty());
}

// Answers every open request by switching the preview off; records what it was asked.
class TPreviewOffChooser final : public IFileNameChooser {
public:
    std::vector<TFileNameRequest> opens;
    QString OpenName(const TFileNameRequest& r) override {
        opens.push_back(r);
        if (r.Preview != nullptr) *r.Preview = false;
        return {};
    }
    QString SaveName(const TFileNameRequest&) override { return {}; }
    QString FolderName(const QString&, const QString&) override { return {}; }
};

TEST(Chooser, ThePreviewStateIsKeptForTheNextOpenDialog) {
    TPreviewOffChooser chooser;
    TViewerFileSeam seam(chooser);
    SetFileUserSeam(&seam);
    OptionsOE().OpenPreview = true;
    QString name;
    TBitmap bitmap;
    EXPECT_EQ(LoadImageFile(name, bitmap), 0);
    SetFileUserSeam(nullptr);
    ASSERT_EQ(chooser.opens.size(), 1u);
    EXPECT_NE(chooser.opens[0].Preview, nullptr);
    EXPECT_FALSE(OptionsOE().OpenPreview);
    OptionsOE().OpenPreview = true;
}

} // namespace
