#include "print/PrintTarget.h"

#include "core/AtomicFile.h"
#include "core/Errors.h"

#include <QBuffer>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

namespace {

QString FileErrorText(const QString& path, const QString& reason) {
    return QStringLiteral("%1\n%2").arg(QDir::toNativeSeparators(path), reason);
}

} // namespace

QString PrinterBusyText() {
    return QStringLiteral("Impression en cours");
}

QString PrinterNotPrintingText() {
    return QStringLiteral("L'imprimante n'imprime pas pour l'instant");
}

QString InvalidPrinterText() {
    return QStringLiteral("Imprimante sélectionnée incorrecte");
}

QString NoDefaultPrinterText() {
    return QStringLiteral("Aucune imprimante par défaut sélectionnée");
}

QString UnsupportedByPrinterText() {
    return QStringLiteral("Opération non supportée par l'imprimante sélectionnée");
}

QStringList SystemPrinterNames() {
    return QPrinterInfo::availablePrinterNames();
}

bool PrintersAvailable() {
    return true;
}

QString ChoosePdfFile(QWidget* parent, const QString& suggested) {
    return QFileDialog::getSaveFileName(parent, QStringLiteral("Print to PDF file"), suggested,
                                        QStringLiteral("PDF files (*.pdf)"), nullptr,
                                        QFileDialog::DontUseNativeDialog);
}

TPrinterTarget::TPrinterTarget(TPdfFileChooser chooser)
    : TPrinterTarget(std::make_unique<QPrinter>(QPrinter::HighResolution), std::move(chooser)) {
    if (m_printer->outputFormat() == QPrinter::NativeFormat && m_printer->printerName().isEmpty()) {
        // No default printer: the first one, else the PDF file.
        const QStringList names = SystemPrinterNames();
        if (names.isEmpty())
            m_printer->setOutputFormat(QPrinter::PdfFormat);
        else
            m_printer->setPrinterName(names.front());
    }
}

TPrinterTarget::TPrinterTarget(std::unique_ptr<QPrinter> printer, TPdfFileChooser chooser)
    : m_printer(std::move(printer)), m_chooser(std::move(chooser)) {}

TPrinterTarget::~TPrinterTarget() {
    if (m_painter) AbortDocument();
}

void TPrinterTarget::SetLandscape(bool landscape) {
    m_printer->setPageOrientation(landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
}

TPageMetrics TPrinterTarget::PageMetrics() const {
    const int dpi = m_printer->resolution();
    const QRect paint = m_printer->pageLayout().paintRectPixels(dpi);
    return {paint.width(), paint.height(), m_printer->logicalDpiX()};
}

void TPrinterTarget::ShowSetup(QWidget* parent) {
    QPrintDialog dialog(m_printer.get(), parent);
    dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintShowPageSize);
    dialog.exec();
}

void TPrinterTarget::SetTitle(const QString& title) {
    m_printer->setDocName(title);
}

QString TPrinterTarget::Title() const {
    return m_printer->docName();
}

void TPrinterTarget::SetCopies(int copies) {
    m_printer->setCopyCount(copies);
}

int TPrinterTarget::Copies() const {
    return m_printer->copyCount();
}

bool TPrinterTarget::PrintsToFile() const {
    return m_printer->outputFormat() == QPrinter::PdfFormat;
}

bool TPrinterTarget::PrepareJob(QWidget* parent) {
    if (!PrintsToFile()) return true;
    QString suggested = m_outputFile;
    if (suggested.isEmpty()) suggested = m_printer->outputFileName();
    if (suggested.isEmpty()) {
        const QString base = QFileInfo(Title()).completeBaseName();
        suggested = QDir::home().filePath((base.isEmpty() ? QStringLiteral("image") : base) +
                                          QStringLiteral(".pdf"));
    }
    QString chosen = m_chooser ? m_chooser(parent, suggested) : QString();
    if (chosen.isEmpty()) return false;
    if (QFileInfo(chosen).suffix().isEmpty()) chosen += QStringLiteral(".pdf");
    m_outputFile = QFileInfo(chosen).absoluteFilePath();
    m_printer->setOutputFileName(m_outputFile);
    return true;
}

QPaintDevice* TPrinterTarget::OpenPdfDocument() {
    m_pdfBytes = std::make_unique<QBuffer>();
    m_pdfBytes->open(QIODevice::WriteOnly);
    m_pdfWriter = std::make_unique<QPdfWriter>(m_pdfBytes.get());
    m_pdfWriter->setResolution(m_printer->resolution());
    m_pdfWriter->setPageLayout(m_printer->pageLayout());
    m_pdfWriter->setTitle(m_printer->docName());
    m_pdfWriter->setCreator(m_printer->creator());
    return m_pdfWriter.get();
}

void TPrinterTarget::DiscardPdfDocument() {
    m_pdfWriter.reset();
    m_pdfBytes.reset();
}

bool TPrinterTarget::WritePdfFile() {
    const QByteArray bytes = m_pdfBytes->data();
    DiscardPdfDocument();
    if (bytes.isEmpty()) {
        m_error = FileErrorText(m_outputFile, UnsupportedByPrinterText());
        return false;
    }
    try {
        WriteFileAtomically(m_outputFile, bytes);
    } catch (const ETaveluneError& e) {
        m_error = FileErrorText(m_outputFile, QString::fromUtf8(e.what()));
        return false;
    }
    return true;
}

QPainter* TPrinterTarget::BeginDocument() {
    if (m_painter) {
        m_error = PrinterBusyText();
        return nullptr;
    }
    m_error.clear();
    if (PrintsToFile()) {
        if (m_outputFile.isEmpty()) {
            m_error = InvalidPrinterText();
            return nullptr;
        }
    } else if (m_printer->printerName().isEmpty()) {
        m_error = NoDefaultPrinterText();
        return nullptr;
    } else if (QPrinterInfo::printerInfo(m_printer->printerName()).isNull()) {
        m_error = InvalidPrinterText();
        return nullptr;
    }
    QPaintDevice* device = PrintsToFile() ? OpenPdfDocument() : m_printer.get();
    auto painter = std::make_unique<QPainter>();
    if (!painter->begin(device)) {
        m_error = PrintsToFile() ? FileErrorText(m_outputFile, UnsupportedByPrinterText())
                                 : InvalidPrinterText();
        DiscardPdfDocument();
        return nullptr;
    }
    m_painter = std::move(painter);
    return m_painter.get();
}

bool TPrinterTarget::EndDocument() {
    if (!m_painter) {
        m_error = PrinterNotPrintingText();
        return false;
    }
    const bool ended = m_painter->end();
    m_painter.reset();
    if (m_pdfWriter) {
        if (ended) return WritePdfFile();
        DiscardPdfDocument();
    } else if (ended && m_printer->printerState() != QPrinter::Error) {
        return true;
    }
    m_error = UnsupportedByPrinterText();
    return false;
}

void TPrinterTarget::AbortDocument() {
    if (!m_painter) {
        m_error = PrinterNotPrintingText();
        return;
    }
    if (!m_pdfWriter) m_printer->abort();
    m_painter->end();
    m_painter.reset();
    DiscardPdfDocument();
}

bool TPrinterTarget::CanAbortDocument() const {
    // The PDF document is only in memory until it is complete. Qt's CUPS engine cannot abort:
    // ending its document, as any abort must, prints what was drawn.
#if defined(Q_OS_WIN) || defined(Q_OS_MACOS)
    return true;
#else
    return PrintsToFile();
#endif
}

bool TPrinterTarget::Printing() const {
    return m_painter != nullptr;
}
