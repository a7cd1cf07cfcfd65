// SPDX-License-Identifier: GPL-2.0-or-later
#include "print/PrintTarget.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTemporaryFile>
#include <filesystem>
#include <system_error>

namespace {

std::filesystem::path FsPath(const QString& path) {
    return std::filesystem::path(path.toStdU16String());
}

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
    return true;
}

bool TPrinterTarget::OpenTemporaryFile() {
    const QFileInfo target(m_outputFile);
    QTemporaryFile file(target.absoluteDir().filePath(
        QStringLiteral(".") + target.completeBaseName() + QStringLiteral("-XXXXXX.pdf")));
    file.setAutoRemove(false);
    if (!file.open()) {
        m_error = FileErrorText(m_outputFile, file.errorString());
        return false;
    }
    m_temporaryFile = file.fileName();
    file.close();
    m_printer->setOutputFileName(m_temporaryFile);
    return true;
}

void TPrinterTarget::DiscardTemporaryFile() {
    if (m_temporaryFile.isEmpty()) return;
    QFile::remove(m_temporaryFile);
    m_temporaryFile.clear();
    m_printer->setOutputFileName(m_outputFile);
}

bool TPrinterTarget::CommitFile() {
    const QFileInfo written(m_temporaryFile);
    if (!written.exists() || written.size() == 0) {
        m_error = FileErrorText(m_outputFile, UnsupportedByPrinterText());
        DiscardTemporaryFile();
        return false;
    }
    // The temporary file is private to its owner; the document gets the permissions of the file
    // it replaces, or the usual ones of a new document.
    const QFileInfo old(m_outputFile);
    QFile::setPermissions(m_temporaryFile,
                          old.exists() ? old.permissions()
                                       : QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                             QFileDevice::ReadGroup | QFileDevice::ReadOther);
    std::error_code error;
    std::filesystem::rename(FsPath(m_temporaryFile), FsPath(m_outputFile), error);
    if (error) {
        m_error = FileErrorText(m_outputFile, QString::fromStdString(error.message()));
        DiscardTemporaryFile();
        return false;
    }
    m_temporaryFile.clear();
    m_printer->setOutputFileName(m_outputFile);
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
        if (!OpenTemporaryFile()) return nullptr;
    } else if (m_printer->printerName().isEmpty()) {
        m_error = NoDefaultPrinterText();
        return nullptr;
    } else if (QPrinterInfo::printerInfo(m_printer->printerName()).isNull()) {
        m_error = InvalidPrinterText();
        return nullptr;
    }
    auto painter = std::make_unique<QPainter>();
    if (!painter->begin(m_printer.get())) {
        m_error = PrintsToFile() ? FileErrorText(m_outputFile, UnsupportedByPrinterText())
                                 : InvalidPrinterText();
        DiscardTemporaryFile();
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
    if (!ended || m_printer->printerState() == QPrinter::Error) {
        m_error = UnsupportedByPrinterText();
        DiscardTemporaryFile();
        return false;
    }
    return m_temporaryFile.isEmpty() || CommitFile();
}

void TPrinterTarget::AbortDocument() {
    if (!m_painter) {
        m_error = PrinterNotPrintingText();
        return;
    }
    m_printer->abort();
    m_painter->end();
    m_painter.reset();
    DiscardTemporaryFile();
}

bool TPrinterTarget::Printing() const {
    return m_painter != nullptr;
}
