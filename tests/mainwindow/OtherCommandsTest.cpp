// The commands that reach outside the window: the help file, the web site, the About box, the
// print dialog, the clipboard, and the image's comment.
#include "MainFormFixture.h"

#include "dialogs/Apropos.h"
#include "dialogs/DialogHost.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QUrl>

namespace {

using enum TCommand;

class OtherCommandsTest : public MainFormTest {
protected:
    OtherCommandsTest() {
        SetUrlOpener([this](const QUrl& url) {
            m_urls << url;
            return true;
        });
    }
    ~OtherCommandsTest() override { SetUrlOpener(nullptr); }

    TMainForm& StartOnSeries(QStringList settings = {}) {
        settings << "bsa=0";
        WriteSettings(settings);
        m_images = WriteSeries(Img(""), 3);
        return Start({m_images[1]});
    }
    QList<QUrl> m_urls;
    QStringList m_images;
};

TEST_F(OtherCommandsTest, InformationOpensTheHelpFileBesideTheProgram) {
    TMainForm& form = StartOnSeries();
    form.RunCommand(Information);
    ASSERT_EQ(m_dialogs.Messages.size(), 1u);
    EXPECT_EQ(m_dialogs.Messages[0].Text, "File not found !");
    EXPECT_EQ(m_dialogs.Messages[0].Kind, mkInformation);
    EXPECT_TRUE(m_urls.isEmpty());

    QFile help(Path("prog/tavelune.htm"));
    ASSERT_TRUE(help.open(QIODevice::WriteOnly));
    help.close();
    form.RunCommand(Information);
    ASSERT_EQ(m_urls.size(), 1);
    EXPECT_EQ(m_urls[0], QUrl::fromLocalFile(Path("prog/tavelune.htm")));
    EXPECT_EQ(m_dialogs.Messages.size(), 1u);
}

TEST_F(OtherCommandsTest, WebSiteAndAbout) {
    TMainForm& form = StartOnSeries();
    form.RunCommand(WebSite);
    ASSERT_EQ(m_urls.size(), 1);
    EXPECT_EQ(m_urls[0], QUrl(QString::fromUtf8(kMakerWebAddress)));
    form.RunCommand(About);
    EXPECT_EQ(m_commands->aboutShown, 1);
}

TEST_F(OtherCommandsTest, PrintGetsTheWorkingImageItsFileAndTheUnit) {
    TMainForm& form = StartOnSeries({"teinte=3"});
    form.RunCommand(RotateCW);
    form.RunCommand(UnitInch);
    ASSERT_FALSE(m_commands->unitChanges.empty());
    EXPECT_EQ(m_commands->unitChanges.back(), int(puInch));
    form.RunCommand(Print);
    ASSERT_EQ(m_commands->prints.size(), 1u);
    EXPECT_EQ(m_commands->prints[0].size, QSize(30, 50));
    EXPECT_EQ(m_commands->prints[0].path, m_images[1]);
    EXPECT_EQ(m_commands->prints[0].unit, int(puInch));

    form.SetSlideshow(true);
    form.RunCommand(Print);
    EXPECT_EQ(m_commands->prints.size(), 1u) << "no printing during the slideshow";
}

TEST_F(OtherCommandsTest, CopyPutsTheShownColoursOnTheClipboard) {
    TMainForm& form = StartOnSeries({"teinte=3"});
    QGuiApplication::clipboard()->clear();
    form.RunCommand(CopyToClipboard);
    const QImage copied = QGuiApplication::clipboard()->image();
    ASSERT_EQ(copied.size(), QSize(50, 30));
    const TTriple shown = PixelAt(form.WorkingImage(), 4, 4);
    EXPECT_EQ(shown.r, shown.g) << "grey in the working image";
    const QRgb c = copied.pixel(4, 4);
    EXPECT_EQ(qRed(c), shown.r);
    EXPECT_EQ(qGreen(c), shown.g);
    EXPECT_EQ(qBlue(c), shown.b);
}

TEST_F(OtherCommandsTest, CommentSwitchesTheCommentDisplayOnAndMarksTheList) {
    TMainForm& form = StartOnSeries({"bcmt=0"});
    form.Sequence().SetCurrentComment("before");
    form.Sequence().SetModified(false);
    m_dialogs.InputAnswers.push_back(QString("a quiet street"));
    form.RunCommand(SetComment);
    ASSERT_EQ(m_dialogs.Inputs.size(), 1u);
    EXPECT_EQ(m_dialogs.Inputs[0].Heading, "Comment");
    EXPECT_EQ(m_dialogs.Inputs[0].Prompt, "Input image comment :");
    EXPECT_EQ(m_dialogs.Inputs[0].Text, "before");
    EXPECT_EQ(form.Sequence().CurrentComment(false), "a quiet street");
    EXPECT_TRUE(form.Sequence().Modified());
    EXPECT_TRUE(form.Settings().bcmt);
    EXPECT_FALSE(form.CommentBox().isEmpty());
}

TEST_F(OtherCommandsTest, CommentInputStartsEmptyWithoutTheFileNameAndCancelKeepsAll) {
    TMainForm& form = StartOnSeries({"bcmt=0"});
    form.RunCommand(SetComment);
    ASSERT_EQ(m_dialogs.Inputs.size(), 1u);
    EXPECT_EQ(m_dialogs.Inputs[0].Text, "");
    EXPECT_FALSE(form.Sequence().Modified());
    EXPECT_FALSE(form.Settings().bcmt);
}

// "Save image as..." gives the shown image a new file while the list keeps its entry: the
// comment goes to that entry, which the screen shows the comment of.
TEST_F(OtherCommandsTest, CommentAfterSaveAsGoesToTheListsCurrentEntry) {
    TMainForm& form = StartOnSeries({"bcmt=0"});
    m_files->saveAnswers.push_back(Img("harbour.png"));
    form.RunCommand(SaveImage);
    ASSERT_EQ(form.CurrentFile(), Img("harbour.png"));
    m_dialogs.InputAnswers.push_back(QString("the harbour at dusk"));
    form.RunCommand(SetComment);
    ASSERT_EQ(m_dialogs.Inputs.size(), 1u);
    EXPECT_EQ(form.Sequence().Current(), 1);
    EXPECT_EQ(form.Sequence().Entries()[1].Comment, "the harbour at dusk");
    EXPECT_TRUE(form.Sequence().Modified());
    EXPECT_TRUE(form.Settings().bcmt);
    EXPECT_FALSE(form.CommentBox().isEmpty());
    EXPECT_TRUE(m_dialogs.Messages.empty());
}

// With no current entry nothing could keep a comment: the command says so.
TEST_F(OtherCommandsTest, CommentForAnImageOutsideTheListSaysSo) {
    TMainForm& form = StartOnSeries({"bcmt=0"});
    form.Sequence().SetCurrent(-1);
    form.RunCommand(SetComment);
    EXPECT_TRUE(m_dialogs.Inputs.empty());
    ASSERT_EQ(m_dialogs.Messages.size(), 1u);
    EXPECT_EQ(m_dialogs.Messages[0].Text, "This image is not in the images sequence !");
    EXPECT_EQ(m_dialogs.Messages[0].Kind, mkInformation);
    EXPECT_EQ(m_dialogs.Messages[0].Buttons, unsigned(mbOk));
    EXPECT_FALSE(form.Sequence().Modified());
    EXPECT_FALSE(form.Settings().bcmt);
}

} // namespace
