// SPDX-License-Identifier: GPL-2.0-or-later
// The real settings dialog opened by the main window, driven from inside its modal loop, and
// what the window does after its OK.
#include "MainFormFixture.h"

#include "dialogs/ColorEditor.h"
#include "dialogs/ParamsForm.h"
#include "dialogs/Spin2.h"
#include "formats/JpegUtils.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QPushButton>
#include <QTimer>

namespace {

class SettingsDialogTest : public MainFormTest {
protected:
    // Runs the command with edit acting on the dialog once it shows; then OK or Cancel.
    // False when no settings dialog showed.
    bool RunDialog(const std::function<void()>& start,
                   const std::function<void(TParamsForm&)>& edit, bool ok) {
        bool shown = false;
        QTimer::singleShot(0, [&] {
            auto* form = qobject_cast<TParamsForm*>(QApplication::activeModalWidget());
            if (form == nullptr) return;
            shown = true;
            edit(*form);
            if (ok)
                form->BOk->click();
            else
                form->BAnnuler->click();
            if (form->isVisible()) form->done(QDialog::Rejected);
        });
        start();
        return shown;
    }
    bool Settings(const std::function<void(TParamsForm&)>& edit, bool ok = true) {
        return RunDialog([this] { m_form->SettingsCommand(); }, edit, ok);
    }
};

TEST_F(SettingsDialogTest, OkAppliesTintAndBackgroundAtOnce) {
    WriteSettings({"bsa=0", "bcadre=0", "bombre=0", "zoom=0", "cf=#0000FF"});
    TMainForm& form = Start({WriteImage(Img("red.png"), UniformImage(40, 30, Rgb(200, 0, 0)))});
    const TRect before = form.Zoom().ImageRect();
    ASSERT_EQ(PixelAt(form.WorkingImage(), 5, 5), Rgb(200, 0, 0));
    ASSERT_EQ(BufferAt(2, 2), Rgb(0, 0, 255));

    ASSERT_TRUE(Settings([](TParamsForm& f) {
        f.CBTeinte->setCurrentIndex(3); // "Grayscale"
        f.ColorEditFond->SetColor(RGBColor(0, 255, 0));
    }));
    EXPECT_EQ(form.Settings().teinte, 3);
    const TTriple grey = PixelAt(form.WorkingImage(), 5, 5);
    EXPECT_EQ(grey.r, grey.g);
    EXPECT_EQ(grey.g, grey.b);
    EXPECT_EQ(BufferAt(2, 2), Rgb(0, 255, 0));
    EXPECT_EQ(BufferAt(before.Left + 5, before.Top + 5), grey);

    // Back to "<Normal>": the file is read again.
    ASSERT_TRUE(Settings([](TParamsForm& f) { f.CBTeinte->setCurrentIndex(0); }));
    EXPECT_EQ(PixelAt(form.WorkingImage(), 5, 5), Rgb(200, 0, 0));
}

// A red JPEG tagged with a profile that swaps red and green (stored red means green).
QString WriteSwappedJpeg(const QString& path) {
    QFile profileFile(QStringLiteral("/usr/share/color/icc/colord/SwappedRedAndGreen.icc"));
    if (!profileFile.open(QIODevice::ReadOnly)) return {};
    const QByteArray profile = profileFile.readAll();
    const std::vector<uint8_t> jpeg = EncodeJpeg(UniformImage(40, 30, Rgb(255, 0, 0)), 100, false);
    const int length = 2 + 12 + 2 + int(profile.size());
    QByteArray bytes(reinterpret_cast<const char*>(jpeg.data()), 2);
    bytes += QByteArray("\xFF\xE2", 2) + char(length >> 8) + char(length & 0xFF);
    bytes += QByteArray("ICC_PROFILE", 12) + QByteArray("\x01\x01", 2) + profile;
    bytes += QByteArray(reinterpret_cast<const char*>(jpeg.data()) + 2, qsizetype(jpeg.size()) - 2);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) return {};
    return path;
}

TEST_F(SettingsDialogTest, ColourManagementReadsTheImageAgain) {
    struct TRestore {
        ~TRestore() { OptionsOE().ColourManagement = true; }
    } restore;
    const QString path = WriteSwappedJpeg(Img("swapped.jpg"));
    if (path.isEmpty()) GTEST_SKIP() << "colord-data is not installed";
    WriteSettings({"bsa=0", "bcouleurs=0"});
    TMainForm& form = Start({path});
    const auto green = [&form] {
        const TTriple p = PixelAt(form.WorkingImage(), 5, 5);
        return p.g > 250 && p.r < 5;
    };
    const auto red = [&form] {
        const TTriple p = PixelAt(form.WorkingImage(), 5, 5);
        return p.r > 250 && p.g < 5;
    };
    EXPECT_FALSE(form.Settings().bcouleurs);
    EXPECT_TRUE(red()) << "off from the settings file: the stored colour";

    ASSERT_TRUE(Settings([](TParamsForm& f) {
        EXPECT_FALSE(f.CBCouleurs->isChecked());
        f.CBCouleurs->setChecked(true);
    }));
    EXPECT_TRUE(form.Settings().bcouleurs);
    EXPECT_TRUE(green()) << "switched on: read again in the colours the profile means";

    ASSERT_TRUE(Settings([](TParamsForm& f) { f.CBCouleurs->setChecked(false); }));
    EXPECT_TRUE(red());
}

TEST_F(SettingsDialogTest, CancelAppliesNothingAndTheSlideshowStaysStopped) {
    WriteSettings({"bsa=0"});
    WriteSeries(Path("img"), 3);
    TMainForm& form = Start({Path("img")});
    ASSERT_TRUE(form.SlideshowOn());
    ASSERT_TRUE(Settings([](TParamsForm& f) { f.CBFlou->setChecked(true); }, false));
    EXPECT_FALSE(form.Settings().bflou);
    EXPECT_FALSE(form.SlideshowOn());
}

TEST_F(SettingsDialogTest, OkDropsTheManualZoomAndLaysOutTheComment) {
    WriteSettings({"bsa=0", "zoom=0", "bcmt=0"});
    TMainForm& form = Start({WriteImage(Img("a.png"), UniformImage(400, 300, Rgb(9, 9, 9)))});
    form.RunCommand(TCommand::ZoomIn);
    ASSERT_TRUE(form.ManualZoom());
    const TRect viewBefore = form.Zoom().ViewRect();
    ASSERT_TRUE(Settings([](TParamsForm& f) {
        f.CBCommentaire->setChecked(true);
        f.CBZoom->setCurrentIndex(1);
    }));
    EXPECT_FALSE(form.ManualZoom());
    EXPECT_TRUE(form.Settings().bcmt);
    EXPECT_EQ(form.Settings().zoom, 1);
    // The comment band takes its share of the display area.
    EXPECT_NE(form.Zoom().ViewRect(), viewBefore);
    EXPECT_FALSE(form.CommentBox().isEmpty());
}

TEST_F(SettingsDialogTest, PatternFollowsTheBox) {
    const QString pattern = WriteImage(Path("prog/tavelune.png"), UniformImage(8, 8, Rgb(1, 2, 3)));
    WriteSettings({"bsa=0"});
    TMainForm& form = Start({});
    ASSERT_TRUE(form.PatternShown());
    ASSERT_TRUE(Settings([](TParamsForm& f) {
        EXPECT_FALSE(f.CBMotif->isHidden());
        f.CBMotif->setChecked(false);
    }));
    EXPECT_FALSE(form.PatternShown());
    EXPECT_FALSE(form.Settings().bmotif);
    ASSERT_TRUE(Settings([](TParamsForm& f) { f.CBMotif->setChecked(true); }));
    EXPECT_TRUE(form.PatternShown());
    EXPECT_EQ(form.Settings().motif, pattern);
}

TEST_F(SettingsDialogTest, AutomaticScrollingSwitchedOnStartsScrolling) {
    WriteSettings({"bsa=0", "zoom=0", "bcadre=0", "bombre=0"});
    TMainForm& form = Start({WriteImage(Img("big.png"), RandomImage(3000, 200, 5))});
    ASSERT_TRUE(form.ExceedsView());
    ASSERT_FALSE(m_scroll->running);
    ASSERT_TRUE(Settings([](TParamsForm& f) {
        f.CBScrollingAuto->setChecked(true);
        f.CBFluidite->setCurrentIndex(3);
    }));
    EXPECT_EQ(form.Settings().fluidite, 16);
    EXPECT_EQ(form.Zoom().Step(), 16);
    EXPECT_TRUE(m_scroll->running);
    EXPECT_EQ(m_clock->waits, (std::vector<int>{kAutoScrollDelay}));

    // Already on: OK starts nothing more.
    form.StopScrolling();
    ASSERT_TRUE(Settings([](TParamsForm&) {}));
    EXPECT_FALSE(m_scroll->running);
}

TEST_F(SettingsDialogTest, ThumbnailPlacedAgainOnOk) {
    WriteSettings({"bsa=0", "zoom=8", "vtaille=50", "bcadre=0", "bombre=0"});
    TMainForm& form = Start({WriteImage(Img("a.png"), UniformImage(200, 100, Rgb(9, 9, 9)))});
    const TRect centred = form.Zoom().ImageRect();
    // Random places: over a few showings at least one leaves the centre.
    bool moved = false;
    for (int i = 0; i < 12 && !moved; ++i) {
        ASSERT_TRUE(Settings([](TParamsForm& f) { f.CBAleatoire->setChecked(true); }));
        moved = form.Zoom().ImageRect() != centred;
    }
    EXPECT_TRUE(moved);
    ASSERT_TRUE(Settings([](TParamsForm& f) { f.CBAleatoire->setChecked(false); }));
    EXPECT_EQ(form.Zoom().ImageRect(), centred);
}

TEST_F(SettingsDialogTest, SaveThenCancelWritesTheFileAndKeepsTheViewer) {
    WriteSettings({"bsa=0", "delai=4", "; kept=line"});
    TMainForm& form = Start({});
    form.setWindowState(Qt::WindowMaximized);
    ASSERT_TRUE(form.isMaximized());
    m_dialogs.MessageAnswers = {mrYes};
    ASSERT_TRUE(Settings(
        [](TParamsForm& f) {
            f.SEDelaiDiaporama->SetValue(8);
            f.BSauver->click();
            EXPECT_TRUE(f.isVisible()); // "Save" does not close
        },
        false));
    EXPECT_EQ(form.Settings().delai, 4);
    const QString text = SettingsText();
    EXPECT_TRUE(text.contains("delai=8\r\n"));
    EXPECT_TRUE(text.contains("bagrandir=1\r\n"));
    EXPECT_TRUE(text.contains("pe=0\r\n"));
    EXPECT_TRUE(text.contains("; kept=line\r\n"));
    ASSERT_EQ(m_dialogs.Messages.size(), 1u);
    EXPECT_EQ(m_dialogs.Messages[0].Kind, mkConfirmation);
}

TEST_F(SettingsDialogTest, DoubleClickOnAnImageOpensTheDialog) {
    WriteSettings({"bsa=0"});
    TMainForm& form = Start({WriteImage(Img("a.png"), UniformImage(40, 30, Rgb(9, 9, 9)))});
    EXPECT_TRUE(RunDialog([&] { form.DoubleClick(); }, [](TParamsForm&) {}, false));
}

TEST_F(SettingsDialogTest, TheDialogIsBuiltOnceAndShowsTheRecordEachTime) {
    WriteSettings({"bsa=0", "delai=4"});
    Start({});
    TParamsForm* first = nullptr;
    ASSERT_TRUE(Settings([&](TParamsForm& f) {
        first = &f;
        EXPECT_EQ(f.SEDelaiDiaporama->text(), "4");
    }));
    m_form->Settings().delai = 9;
    ASSERT_TRUE(Settings([&](TParamsForm& f) {
        EXPECT_EQ(&f, first);
        EXPECT_EQ(f.SEDelaiDiaporama->text(), "9");
    }));
}

} // namespace
