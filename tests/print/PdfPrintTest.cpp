// Printing to a PDF file through the whole command: the dialog, the job, the file, and the
// page rendered back to pixels with poppler's pdftoppm.
#include "print/PrintCommand.h"

#include "PrintTestUtil.h"
#include "ScriptedDialogs.h"
#include "dialogs/Spin2.h"
#include "print/AnnulImp.h"
#include "print/Impr.h"
#include "print/PrintTarget.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QPainter>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

constexpr int kDpi = 150;
constexpr int kStillOpen = 99;

bool HasPoppler() {
    return !QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty() &&
           !QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty();
}

QString Run(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(-1) || p.exitCode() != 0) return QString();
    return QString::fromUtf8(p.readAllStandardOutput());
}

// The value of one "Name: value" line of pdfinfo.
QString PdfInfo(const QString& pdf, const QString& name) {
    for (const QString& line : Run(QStringLiteral("pdfinfo"), {pdf}).split(u'\n'))
        if (line.startsWith(name + u':')) return line.mid(name.size() + 1).trimmed();
    return QString();
}

QImage Render(const QString& pdf, const QString& folder) {
    const QString prefix = QDir(folder).filePath(QStringLiteral("page"));
    Run(QStringLiteral("pdftoppm"),
        {QStringLiteral("-r"), QString::number(kDpi), QStringLiteral("-png"),
         QStringLiteral("-singlefile"), pdf, prefix});
    QImage page(prefix + QStringLiteral(".png"));
    QFile::remove(prefix + QStringLiteral(".png"));
    return page.convertToFormat(QImage::Format_RGB32);
}

bool IsRed(QRgb c) {
    return qRed(c) > 200 && qGreen(c) < 80 && qBlue(c) < 80;
}

bool IsDark(QRgb c) {
    return qGray(c) < 100;
}

bool IsWhite(QRgb c) {
    return qGray(c) > 240;
}

// The bounding box of the red dots, exclusive right and bottom.
TRect RedBounds(const QImage& page) {
    TRect b{page.width(), page.height(), -1, -1};
    for (int y = 0; y < page.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(page.constScanLine(y));
        for (int x = 0; x < page.width(); ++x)
            if (IsRed(row[x])) {
                b.Left = std::min(b.Left, x);
                b.Top = std::min(b.Top, y);
                b.Right = std::max(b.Right, x + 1);
                b.Bottom = std::max(b.Bottom, y + 1);
            }
    }
    return b;
}

struct PdfFixture : ::testing::Test {
    TScriptedUserDialogs User;
    QTemporaryDir Folder;
    QString Chosen;
    TPrinterTarget* Target = nullptr;
    std::unique_ptr<TPrintCommand> Command;
    std::function<void()> OnPump;

    PdfFixture() {
        Chosen = Folder.filePath(QStringLiteral("out.pdf"));
        auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setResolution(kDpi);
        printer->setPageSize(QPageSize(QPageSize::A4));
        auto target = std::make_unique<TPrinterTarget>(
            std::move(printer), [this](QWidget*, const QString&) { return Chosen; });
        Target = target.get();
        Command = std::make_unique<TPrintCommand>(std::move(target), &User);
        Command->SetEventPump([this] {
            if (OnPump) OnPump();
        });
    }

    // Runs the command, answering the print dialog with act.
    TPrintResult Print(const TBitmap& image, std::function<void(TImprForm&)> act) {
        QTimer::singleShot(0, [this, act] {
            TImprForm* form = Command->Form();
            if (form == nullptr) return;
            act(*form);
            if (form->isVisible()) form->done(kStillOpen);
        });
        return Command->Run(nullptr, image, QStringLiteral("/pictures/photo.jpg"),
                            TPageUnit::Centimetre);
    }

    // Where the painter's origin lies on the rendered paper.
    QPoint Origin() const { return Target->Printer().pageLayout().paintRectPixels(kDpi).topLeft(); }

    QStringList FolderEntries() const {
        return QDir(Folder.path())
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }
};

TEST_F(PdfFixture, PageMetricsComeFromThePrinter) {
    Target->SetLandscape(false);
    const QRect paint = Target->Printer().pageLayout().paintRectPixels(kDpi);
    EXPECT_EQ(Target->PageMetrics(), (TPageMetrics{paint.width(), paint.height(), kDpi}));
    Target->SetLandscape(true);
    EXPECT_EQ(Target->PageMetrics(), (TPageMetrics{paint.height(), paint.width(), kDpi}));
}

TEST_F(PdfFixture, OnePageWithTheImageWhereTheLayoutPutItAndTheMarks) {
    if (!HasPoppler()) GTEST_SKIP() << "poppler-utils missing";
    TPrintLayout layout;
    const TPrintResult result = Print(SolidImage(300, 200, qRgb(255, 0, 0)), [&](TImprForm& f) {
        f.CBTraits->setChecked(true);
        f.SECopies->SetValue(5);
        f.BImprimer->click();
        layout = f.Layout();
    });
    ASSERT_EQ(result, TPrintResult::Printed);
    EXPECT_TRUE(User.Messages.empty());
    // Only the finished document is left in the folder.
    EXPECT_EQ(FolderEntries(), QStringList{"out.pdf"});

    // The copies are set on the printer; Qt's PDF engine writes the page once.
    EXPECT_EQ(Target->Copies(), 5);
    EXPECT_EQ(Target->Printer().copyCount(), 5);
    EXPECT_EQ(PdfInfo(Chosen, "Pages"), "1");
    EXPECT_EQ(PdfInfo(Chosen, "Title"), "photo.jpg");

    // 300 x 200 pixels at 80 % of the fitting scale, centred on landscape paper.
    const TPageMetrics metrics = Target->PageMetrics();
    ASSERT_GT(metrics.WidthDots, metrics.HeightDots);
    const double scale = FirstScale(FitScale(metrics, 300, 200));
    EXPECT_NEAR(RectWidth(layout.ImageRect), PrintedDots(300, scale), 1);
    EXPECT_NEAR(RectHeight(layout.ImageRect), PrintedDots(200, scale), 1);
    EXPECT_NEAR(layout.ImageRect.Left, CentredOffset(metrics.WidthDots, PrintedDots(300, scale)),
                1);
    const QImage page = Render(Chosen, Folder.path());
    ASSERT_FALSE(page.isNull());
    EXPECT_GT(page.width(), page.height());
    const QPoint o = Origin();
    const TRect red = RedBounds(page);
    EXPECT_NEAR(red.Left, layout.ImageRect.Left + o.x(), 1);
    EXPECT_NEAR(red.Top, layout.ImageRect.Top + o.y(), 1);
    EXPECT_NEAR(red.Right, layout.ImageRect.Right + o.x(), 1);
    EXPECT_NEAR(red.Bottom, layout.ImageRect.Bottom + o.y(), 1);

    // 0.8 cm and 0.1 cm at 150 dpi.
    ASSERT_EQ(layout.Marks, (TMarkLengths{47, 6}));
    const std::vector<TRect> marks =
        CropMarkLines(layout.ImageRect, layout.Marks, 300, 200); // 3:2: with centre marks
    ASSERT_EQ(marks.size(), 10u);
    for (const TRect& m : marks) {
        const bool horizontal = RectHeight(m) == 1;
        const QPoint mid(o.x() + (m.Left + m.Right) / 2, o.y() + (m.Top + m.Bottom) / 2);
        EXPECT_TRUE(IsDark(page.pixel(mid))) << mid.x() << "," << mid.y();
        const QPoint aside = horizontal ? QPoint(0, 3) : QPoint(3, 0);
        EXPECT_TRUE(IsWhite(page.pixel(mid + aside))) << mid.x() << "," << mid.y();
        EXPECT_TRUE(IsWhite(page.pixel(mid - aside))) << mid.x() << "," << mid.y();
    }
    // Between a mark's inner end and the image the paper stays white.
    const TRect& l = layout.ImageRect;
    EXPECT_TRUE(IsWhite(page.pixel(o.x() + l.Left - 3, o.y() + l.Top)));
    EXPECT_TRUE(IsDark(page.pixel(o.x() + l.Left - 8, o.y() + l.Top)));
}

TEST_F(PdfFixture, OutlineOnlyPrintsNoImage) {
    if (!HasPoppler()) GTEST_SKIP() << "poppler-utils missing";
    TPrintLayout layout;
    ASSERT_EQ(Print(SolidImage(400, 300, qRgb(255, 0, 0)),
                    [&](TImprForm& f) {
                        f.CBContours->setChecked(true);
                        f.BImprimer->click();
                        layout = f.Layout();
                    }),
              TPrintResult::Printed);
    const QImage page = Render(Chosen, Folder.path());
    ASSERT_FALSE(page.isNull());
    EXPECT_EQ(RedBounds(page).Right, -1);
    const QPoint o = Origin();
    const TRect& r = layout.ImageRect;
    const int midX = o.x() + (r.Left + r.Right) / 2;
    const int midY = o.y() + (r.Top + r.Bottom) / 2;
    EXPECT_TRUE(IsDark(page.pixel(midX, o.y() + r.Top)));
    EXPECT_TRUE(IsDark(page.pixel(midX, o.y() + r.Bottom - 1)));
    EXPECT_TRUE(IsDark(page.pixel(o.x() + r.Left, midY)));
    EXPECT_TRUE(IsDark(page.pixel(o.x() + r.Right - 1, midY)));
    EXPECT_TRUE(IsWhite(page.pixel(midX, midY)));
    EXPECT_TRUE(IsWhite(page.pixel(midX, o.y() + r.Top + 3)));
    // No crop marks were asked for.
    EXPECT_TRUE(IsWhite(page.pixel(o.x() + r.Left - 20, o.y() + r.Top)));
}

TEST_F(PdfFixture, CancelLeavesNoFile) {
    OnPump = [this] { Command->WaitForm()->BAnnuler->click(); };
    EXPECT_EQ(
        Print(SolidImage(30, 20, qRgb(255, 0, 0)), [](TImprForm& f) { f.BImprimer->click(); }),
        TPrintResult::Cancelled);
    EXPECT_TRUE(FolderEntries().isEmpty());
    EXPECT_TRUE(User.Messages.empty());
}

TEST_F(PdfFixture, CancelWhileThePageSpoolsLeavesTheOldFileAsItWas) {
    {
        QFile old(Chosen);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("old");
    }
    // A picture of several bands: events are served between them with the document open.
    int pumps = 0;
    bool openWhenCancelled = false;
    OnPump = [&] {
        if (++pumps == 2) {
            openWhenCancelled = Target->Printing();
            Command->WaitForm()->BAnnuler->click();
        }
    };
    EXPECT_EQ(
        Print(SolidImage(600, 1000, qRgb(255, 0, 0)), [](TImprForm& f) { f.BImprimer->click(); }),
        TPrintResult::Cancelled);
    EXPECT_TRUE(openWhenCancelled);
    EXPECT_EQ(pumps, 2);
    EXPECT_FALSE(Target->Printing());
    EXPECT_TRUE(User.Messages.empty());
    EXPECT_FALSE(Command->WaitForm()->isVisible());
    QFile pdf(Chosen);
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_EQ(pdf.readAll(), "old");
    EXPECT_EQ(FolderEntries(), QStringList{"out.pdf"});
}

TEST_F(PdfFixture, NoFileExistsUntilTheDocumentIsComplete) {
    bool seenWhileSpooling = true;
    OnPump = [&] { seenWhileSpooling = seenWhileSpooling && FolderEntries().isEmpty(); };
    ASSERT_EQ(
        Print(SolidImage(600, 1000, qRgb(255, 0, 0)), [](TImprForm& f) { f.BImprimer->click(); }),
        TPrintResult::Printed);
    EXPECT_TRUE(seenWhileSpooling);
    EXPECT_EQ(FolderEntries(), QStringList{"out.pdf"});
    if (!HasPoppler()) return;
    EXPECT_EQ(PdfInfo(Chosen, "Pages"), "1");
    EXPECT_EQ(PdfInfo(Chosen, "Title"), "photo.jpg");
}

TEST_F(PdfFixture, AnExistingFileIsReplacedOnlyByAFinishedDocument) {
    {
        QFile old(Chosen);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("old");
    }
    ASSERT_EQ(
        Print(SolidImage(30, 20, qRgb(255, 0, 0)), [](TImprForm& f) { f.BImprimer->click(); }),
        TPrintResult::Printed);
    QFile pdf(Chosen);
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_TRUE(pdf.readAll().startsWith("%PDF"));
    EXPECT_EQ(FolderEntries(), QStringList{"out.pdf"});
}

TEST_F(PdfFixture, AnUnwritableFolderIsReportedAndLeavesTheProgramUsable) {
    Chosen = Folder.filePath(QStringLiteral("missing/out.pdf"));
    EXPECT_EQ(
        Print(SolidImage(30, 20, qRgb(255, 0, 0)), [](TImprForm& f) { f.BImprimer->click(); }),
        TPrintResult::Failed);
    ASSERT_EQ(User.Messages.size(), 1u);
    EXPECT_EQ(User.Messages[0].Kind, mkError);
    EXPECT_TRUE(User.Messages[0].Text.contains(QStringLiteral("out.pdf")));
    EXPECT_FALSE(Target->Printing());
    EXPECT_FALSE(Command->WaitForm()->isVisible());

    Chosen = Folder.filePath(QStringLiteral("out.pdf"));
    EXPECT_EQ(
        Print(SolidImage(30, 20, qRgb(255, 0, 0)), [](TImprForm& f) { f.BImprimer->click(); }),
        TPrintResult::Printed);
    EXPECT_TRUE(QFile::exists(Chosen));
}

TEST_F(PdfFixture, DecliningTheFileNameKeepsTheDialogOpen) {
    Chosen.clear();
    bool open = false;
    EXPECT_EQ(Print(SolidImage(30, 20, qRgb(255, 0, 0)),
                    [&open](TImprForm& f) {
                        f.BImprimer->click();
                        open = f.isVisible();
                        f.BAnnuler->click();
                    }),
              TPrintResult::Cancelled);
    EXPECT_TRUE(open);
    EXPECT_TRUE(FolderEntries().isEmpty());
}

TEST_F(PdfFixture, TheFileNameIsAskedForEachJobFromTheLastOne) {
    QStringList suggestions;
    TPrinterTarget target([&](QWidget*, const QString& suggested) {
        suggestions << suggested;
        return Folder.filePath(QStringLiteral("report"));
    });
    target.Printer().setOutputFormat(QPrinter::PdfFormat);
    target.SetTitle(QStringLiteral("holiday.photo.jpg"));
    ASSERT_TRUE(target.PrepareJob(nullptr));
    EXPECT_EQ(target.OutputFile(), Folder.filePath(QStringLiteral("report.pdf")));
    ASSERT_TRUE(target.PrepareJob(nullptr));
    ASSERT_EQ(suggestions.size(), 2);
    EXPECT_EQ(suggestions[0], QDir::home().filePath(QStringLiteral("holiday.photo.pdf")));
    EXPECT_EQ(suggestions[1], Folder.filePath(QStringLiteral("report.pdf")));
}

TEST_F(PdfFixture, DocumentStatesAreChecked) {
    ASSERT_TRUE(Target->PrepareJob(nullptr));
    EXPECT_FALSE(Target->EndDocument());
    EXPECT_EQ(Target->ErrorText(), PrinterNotPrintingText());
    QPainter* painter = Target->BeginDocument();
    ASSERT_NE(painter, nullptr);
    EXPECT_TRUE(Target->Printing());
    EXPECT_EQ(Target->BeginDocument(), nullptr);
    EXPECT_EQ(Target->ErrorText(), PrinterBusyText());
    painter->fillRect(0, 0, 10, 10, Qt::black);
    // Aborting leaves neither the document nor its temporary file.
    Target->AbortDocument();
    EXPECT_FALSE(Target->Printing());
    EXPECT_TRUE(FolderEntries().isEmpty());
    // The printer still writes where the user chose.
    EXPECT_EQ(Target->Printer().outputFileName(), Chosen);
    EXPECT_TRUE(Target->PrintsToFile());
}

TEST(PrinterTargetTest, WithoutSystemPrintersTheTargetIsAPdfFile) {
    TPrinterTarget target([](QWidget*, const QString&) { return QString(); });
    if (!SystemPrinterNames().isEmpty()) GTEST_SKIP() << "this machine has printers";
    EXPECT_TRUE(target.PrintsToFile());
    EXPECT_GT(target.PageMetrics().Dpi, 0);
    EXPECT_FALSE(target.PrepareJob(nullptr)); // the file name was declined
}

} // namespace
