// The open dialog's preview pane: the picture and the information text for files written in
// code (a PNG with alpha, GIFs, a JPEG carrying EXIF), and what clears it.
#include "dialogs/DialogHost.h"
#include "dialogs/MyDlgs.h"
#include "formats/DateDisplay.h"
#include "formats/Exif.h"
#include "formats/ExifFixtures.h"
#include "formats/GifTestUtil.h"
#include "formats/ImageFiles.h"

#include "TestImages.h"

#include <QBuffer>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QImage>
#include <QLabel>
#include <QListView>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace {

class PreviewPane : public testing::Test {
protected:
    QTemporaryDir dir;
    TOpenPictureDialog dialog;

    QString WriteBytes(const QString& name, const QByteArray& bytes) {
        return exiffix::WriteFile(QDir(dir.path()), name, bytes);
    }

    // The lines every loaded file ends its text with, before any EXIF lines.
    static QStringList FileLines(const QString& path) {
        const QFileInfo info(path);
        return {FileSizeText(info.size(), DateDisplayLocale()),
                FormatDisplayDate(info.lastModified(), DateDisplayLocale())};
    }
    QStringList Lines() const { return dialog.InfoText().split(u'\r'); }

    TColor Surround() const {
        const QColor c = dialog.PicturePanel->palette().color(QPalette::Window);
        return RGBColor(c.red(), c.green(), c.blue());
    }
    // The picture shows nothing but the pane's colour.
    bool OnlySurround() const {
        const TBitmap& p = dialog.PreviewPicture();
        const TTriple s = Rgb(RedOf(Surround()), GreenOf(Surround()), BlueOf(Surround()));
        for (int y = 0; y < p.Height(); ++y)
            for (int x = 0; x < p.Width(); ++x)
                if (PixelAt(p, x, y) != s) return false;
        return true;
    }
    int Count(const std::function<bool(TTriple)>& test) const {
        const TBitmap& p = dialog.PreviewPicture();
        int n = 0;
        for (int y = 0; y < p.Height(); ++y)
            for (int x = 0; x < p.Width(); ++x)
                n += test(PixelAt(p, x, y)) ? 1 : 0;
        return n;
    }
    void ExpectEmpty() {
        EXPECT_TRUE(dialog.InfoText().isEmpty()) << dialog.InfoText().toStdString();
        EXPECT_TRUE(dialog.PictureLabel->text().isEmpty());
        EXPECT_TRUE(OnlySurround());
    }
};

TEST_F(PreviewPane, PngWithAlphaShowsOnWhite) {
    QImage png(40, 20, QImage::Format_ARGB32);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 40; ++x)
            png.setPixel(x, y, x < 20 ? qRgba(255, 0, 0, 0) : qRgba(0, 0, 255, 255));
    const QString path = dir.filePath("alpha.png");
    ASSERT_TRUE(png.save(path, "PNG"));

    dialog.PreviewSelection({path});
    EXPECT_EQ(Lines(),
              QStringList({"40x20 pixels", "32 bits", "RVBA (couche Alpha)"}) + FileLines(path));
    EXPECT_EQ(dialog.Transparency(), tkAlpha);
    EXPECT_EQ(dialog.PictureLabel->text(), Lines().join(u'\n'));
    // The transparent half shows the white card, never its hidden red.
    EXPECT_EQ(Count([](TTriple p) { return p.r > 100 && p.g < 100; }), 0);
    EXPECT_GE(Count([](TTriple p) { return p == Rgb(0, 0, 255); }), 15 * 15);
    EXPECT_GE(Count([](TTriple p) { return p == Rgb(255, 255, 255); }), 20 * 20);
    const TBitmap& picture = dialog.PreviewPicture();
    EXPECT_EQ(picture.Width(), TOpenPictureDialog::kPaneWidth - TOpenPictureDialog::kBorder);
    EXPECT_EQ(picture.Height(), picture.Width() * 3 / 4);
}

std::vector<uint8_t> Indices(int w, int h, uint8_t a, uint8_t b) {
    std::vector<uint8_t> v(size_t(w * h));
    for (size_t i = 0; i < v.size(); ++i)
        v[i] = (i % 3) ? a : b;
    return v;
}

const std::vector<uint8_t> kPalette = {0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255};

TEST_F(PreviewPane, AnimatedGifHasNoTransparencyLine) {
    std::vector<TGifSpecFrame> frames(2);
    frames[0] = {30, 12, Indices(30, 12, 1, 0), 0};
    frames[1] = {30, 12, Indices(30, 12, 2, 0), 0};
    const std::vector<uint8_t> bytes = MakeGif(30, 12, kPalette, frames);
    const QString path =
        WriteBytes("anim.gif", QByteArray(reinterpret_cast<const char*>(bytes.data()),
                                          qsizetype(bytes.size())));
    dialog.PreviewSelection({path});
    EXPECT_EQ(Lines(),
              QStringList({"30x12 pixels", QString::fromUtf8("Gif animé")}) + FileLines(path));
}

TEST_F(PreviewPane, StillGifWithATransparentColour) {
    std::vector<TGifSpecFrame> frames(1);
    frames[0] = {16, 8, Indices(16, 8, 1, 0), 0};
    const std::vector<uint8_t> bytes = MakeGif(16, 8, kPalette, frames);
    const QString path =
        WriteBytes("still.gif", QByteArray(reinterpret_cast<const char*>(bytes.data()),
                                           qsizetype(bytes.size())));
    dialog.PreviewSelection({path});
    EXPECT_EQ(Lines(), QStringList({"16x8 pixels", "8 bits", "Transparence"}) + FileLines(path));
    EXPECT_EQ(dialog.Transparency(), tkColorKey);
    // Index 0 (black) is transparent: the card shows instead.
    EXPECT_EQ(Count([](TTriple p) { return p == Rgb(0, 0, 0); }), 0);
}

QByteArray JpegWithExif(int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(qRgb(30, 160, 90));
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG", 90);
    using namespace exiffix;
    const QByteArray block = Block(false, {Ascii(0x010F, "Tavelune Optics"), Ascii(0x0110, "TO-7")},
                                   {Ascii(0x9003, "2021:03:04 05:06:07")});
    const TSegment app1 = ExifApp1(block);
    QByteArray segment("\xFF\xE1", 2);
    segment += U16(true, uint16_t(app1.payload.size() + 2)) + app1.payload;
    return jpeg.left(2) + segment + jpeg.mid(2);
}

TEST_F(PreviewPane, JpegShowsItsStoredSizeAndExifLines) {
    // Large enough for the preview to decode it at a reduced scale.
    const QString path = WriteBytes("photo.jpg", JpegWithExif(800, 600));
    const QString exif = ExifInfoText(path, DateDisplayLocale());
    ASSERT_TRUE(exif.contains("TO-7")) << exif.toStdString();
    ASSERT_TRUE(exif.contains(
        FormatDisplayDate(QDateTime(QDate(2021, 3, 4), QTime(5, 6, 7)), DateDisplayLocale())));

    dialog.PreviewSelection({path});
    EXPECT_EQ(Lines(), QStringList({"800x600 pixels", "24 bits"}) + FileLines(path) +
                           QStringList{QString()} + exif.split(u'\r'));
    EXPECT_GE(Count([](TTriple p) { return p.g > 120 && p.r < 80; }), 100);
}

// A red JPEG tagged with a profile that swaps red and green, in one APP2 segment.
QByteArray JpegWithSwappingProfile() {
    QFile f(QStringLiteral("/usr/share/color/icc/colord/SwappedRedAndGreen.icc"));
    if (!f.open(QIODevice::ReadOnly)) return {};
    const QByteArray profile = f.readAll();
    QImage image(60, 40, QImage::Format_RGB32);
    image.fill(qRgb(255, 0, 0));
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG", 100);
    const int length = 2 + 12 + 2 + int(profile.size());
    QByteArray segment("\xFF\xE2", 2);
    segment += char(length >> 8);
    segment += char(length & 0xFF);
    segment += QByteArray("ICC_PROFILE", 12) + QByteArray("\x01\x01", 2) + profile;
    return jpeg.left(2) + segment + jpeg.mid(2);
}

TEST_F(PreviewPane, NamesTheProfileAndShowsItsColours) {
    const QByteArray jpeg = JpegWithSwappingProfile();
    if (jpeg.isEmpty()) GTEST_SKIP() << "colord-data is not installed";
    const QString path = WriteBytes("tagged.jpg", jpeg);
    dialog.PreviewSelection({path});
    EXPECT_EQ(Lines(),
              QStringList({"60x40 pixels", "24 bits", "ICC profile: Swapped Red and Green"}) +
                  FileLines(path));
    EXPECT_EQ(Count([](TTriple p) { return p.r > 200 && p.g < 50; }), 0);
    EXPECT_GE(Count([](TTriple p) { return p.g > 200 && p.r < 50; }), 100);
}

TEST_F(PreviewPane, NothingForFoldersSeveralFilesBrokenFilesOrPreviewOff) {
    QImage small(8, 8, QImage::Format_RGB32);
    small.fill(Qt::red);
    const QString a = dir.filePath("a.png"), b = dir.filePath("b.png");
    ASSERT_TRUE(small.save(a) && small.save(b));
    const QString broken = WriteBytes("broken.png", "\x89PNG\r\n\x1a\nnot really");
    QDir(dir.path()).mkdir("sub.png");

    const struct {
        const char* what;
        QStringList selected;
        bool preview;
    } cases[] = {
        {"folder", {dir.filePath("sub.png")}, true},
        {"several", {a, b}, true},
        {"none", {}, true},
        {"missing", {dir.filePath("gone.png")}, true},
        {"broken", {broken}, true},
        {"preview off", {a}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        dialog.PreviewSelection({a}); // something shown before
        ASSERT_FALSE(dialog.InfoText().isEmpty());
        dialog.SetPreview(c.preview);
        dialog.PreviewSelection(c.selected);
        ExpectEmpty();
        EXPECT_EQ(dialog.BitDepth(), 24);
        EXPECT_EQ(dialog.Transparency(), tkNone);
        dialog.SetPreview(true);
    }
}

TEST_F(PreviewPane, UncheckingPreviewClearsAtOnceWhileShown) {
    QImage small(8, 8, QImage::Format_RGB32);
    small.fill(Qt::blue);
    const QString a = dir.filePath("a.png");
    ASSERT_TRUE(small.save(a));
    dialog.InitialDir = dir.path();
    dialog.Prepare();
    dialog.show();
    int changes = 0; // a handler of the event does not take the preview's place
    dialog.OnSelectionChange = [&] { ++changes; };
    dialog.SelectionChanged(a);
    EXPECT_EQ(Lines().value(0), "8x8 pixels");
    EXPECT_EQ(changes, 1);
    dialog.PreviewCheck->setChecked(false);
    ExpectEmpty();
    dialog.PreviewCheck->setChecked(true);
    EXPECT_EQ(Lines().value(0), "8x8 pixels");
    dialog.hide();
}

// Clicks on the dialog's own file list, as the user gives them: each shows the file clicked.
TEST_F(PreviewPane, AClickShowsTheFileClicked) {
    const struct {
        const char* name;
        int w, h;
    } files[] = {{"a.png", 8, 8}, {"b.png", 16, 12}, {"c.png", 24, 6}};
    for (const auto& f : files) {
        QImage image(f.w, f.h, QImage::Format_RGB32);
        image.fill(Qt::darkGreen);
        ASSERT_TRUE(image.save(dir.filePath(f.name)));
    }
    dialog.InitialDir = dir.path();
    dialog.Prepare();
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    auto* list = dialog.findChild<QListView*>("listView");
    ASSERT_NE(list, nullptr);
    auto* model = qobject_cast<QFileSystemModel*>(list->model());
    ASSERT_NE(model, nullptr);
    // The folder is read by the model's own thread.
    ASSERT_TRUE(QTest::qWaitFor([&] { return model->rowCount(list->rootIndex()) == 3; }));

    for (int pick : {0, 1, 2, 0, 2}) {
        SCOPED_TRACE(files[pick].name);
        const QModelIndex index = model->index(dir.filePath(files[pick].name));
        const QRect place = list->visualRect(index);
        ASSERT_FALSE(place.isEmpty());
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, place.center());
        EXPECT_EQ(dialog.CurrentSelection(), QStringList{dir.filePath(files[pick].name)});
        EXPECT_EQ(Lines().value(0),
                  QStringLiteral("%1x%2 pixels").arg(files[pick].w).arg(files[pick].h));
    }
    dialog.hide();
}

TEST_F(PreviewPane, PaneTextsAndPlace) {
    EXPECT_EQ(dialog.PreviewCheck->text(), "Preview");
    EXPECT_EQ(dialog.PreviewCheck->width(), 133);
    EXPECT_EQ(dialog.InfoLabel->text(), "Image properties");
    EXPECT_TRUE(dialog.InfoLabel->font().bold());
    EXPECT_EQ(dialog.PicturePanel->width(), 200);
    dialog.PlacePane(40);
    EXPECT_EQ(dialog.PaintBox->y(), 40);
    EXPECT_EQ(dialog.InfoLabel->y(), dialog.PaintBox->geometry().bottom() + 1 + 6);
    EXPECT_EQ(dialog.SepPanel->height(), 2);
    EXPECT_EQ(dialog.SepPanel->width(), dialog.PaintBox->width() - 4);
    EXPECT_EQ(dialog.PictureLabel->y(), dialog.SepPanel->geometry().bottom() + 1 + 6);
    // The pane lies right of Qt's own controls.
    dialog.show();
    EXPECT_GE(dialog.BandHeight(), 0);
    EXPECT_LT(dialog.BandHeight(), 70);
    EXPECT_GT(dialog.PicturePanel->x(), dialog.width() / 2);
    dialog.hide();
}

} // namespace
