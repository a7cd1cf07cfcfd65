// SPDX-License-Identifier: GPL-2.0-or-later
// Files dropped from a file manager arrive as a text/uri-list of percent-encoded file URLs.
#include "MainFormFixture.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <algorithm>

namespace {

struct DropCase {
    const char* name;
    const char* folder; // below the temporary root
    const char* file;
    // How the list is written around the file: "%1" stands for its encoded URL, "%P" for the
    // encoded path alone.
    const char* list;
};

class DropTest : public MainFormTest, public testing::WithParamInterface<DropCase> {
protected:
    // Delivers a drag entering the window and the drop, as the platform would.
    bool Drop(const QByteArray& uriList) {
        QMimeData data;
        data.setData(QStringLiteral("text/uri-list"), uriList);
        const QPointF at(100, 100);
        QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(m_form.get(), &enter);
        if (!enter.isAccepted()) return false;
        QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(m_form.get(), &drop);
        return true;
    }
};

TEST_P(DropTest, OpensTheDroppedFileWithItsFolder) {
    const DropCase& c = GetParam();
    WriteSettings({"bsa=0"});
    Start({});
    const QString folder = Path(QString::fromUtf8(c.folder));
    const QString target = WriteImage(QDir(folder).filePath(QString::fromUtf8(c.file)),
                                      UniformImage(64, 48, Rgb(10, 200, 30)));
    WriteImage(QDir(folder).filePath(QStringLiteral("zz other.png")),
               UniformImage(30, 20, Rgb(0, 0, 0)));

    const QByteArray url = QUrl::fromLocalFile(target).toEncoded();
    // The encoded form carries no raw space or non-ASCII byte, as file managers send it.
    ASSERT_FALSE(url.contains(' '));
    ASSERT_TRUE(std::all_of(url.begin(), url.end(), [](char ch) { return uchar(ch) < 0x80; }));
    QByteArray list(c.list);
    list.replace("%1", url);
    ASSERT_TRUE(url.startsWith("file:///"));
    list.replace("%P", url.mid(int(sizeof("file://")) - 1));

    ASSERT_TRUE(Drop(list));
    EXPECT_TRUE(m_dialogs.Messages.empty());
    EXPECT_EQ(m_form->CurrentFile(), target);
    EXPECT_EQ(CurrentWidth(), 64);
    EXPECT_EQ(m_form->Sequence().Count(), 2);
    EXPECT_EQ(m_form->StatusText(3), QDir::toNativeSeparators(target));
}

INSTANTIATE_TEST_SUITE_P(
    Lists, DropTest,
    testing::Values(
        DropCase{"spaces", "img/my pictures", "a photo.png", "%1\r\n"},
        DropCase{"accents_and_spaces", "img/Vacances été 2026", "plage à Noël.png", "%1\r\n"},
        DropCase{"other_scripts", "img/Фото 写真", "Ελλάδα ☀.png", "%1\r\n"},
        // A comment line and a second file before it: only the first file counts.
        DropCase{"comment_then_two", "img/x y", "é.png",
                 "# dragged from a file manager\r\n%1\r\nfile:///nonexistent/z.png\r\n"},
        // A last line without its line ending.
        DropCase{"no_final_newline", "img/n é", "b c.png", "%1"},
        // The host part "localhost" names this machine.
        DropCase{"localhost", "img/l m", "ñ o.png", "file://localhost%P\r\n"},
        // A remote address first is passed over.
        DropCase{"remote_first", "img/r s", "ü.png", "https://example.org/x.png\r\n%1\r\n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(MainFormTest, DropWithoutFilesIsRefused) {
    Start({});
    QMimeData data;
    data.setText(QStringLiteral("just some text"));
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(m_form.get(), &enter);
    EXPECT_FALSE(enter.isAccepted());
}

} // namespace
