#pragma once
// The printer as the print dialog and the print job see it: page metrics, orientation, the
// set-up dialog, title and copies, and one document with one page. The program prints through
// TPrinterTarget; tests put other pages (a plain image) behind the same interface.

#include "print/PageLayout.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class QBuffer;
class QPaintDevice;
class QPainter;
class QPdfWriter;
class QPrinter;
class QWidget;

class IPrintTarget {
public:
    virtual ~IPrintTarget() = default;

    // Portrait or landscape paper; the metrics follow.
    virtual void SetLandscape(bool landscape) = 0;
    virtual TPageMetrics PageMetrics() const = 0;
    // The platform's printer set-up; what the user answers does not matter to the caller.
    virtual void ShowSetup(QWidget* parent) = 0;

    virtual void SetTitle(const QString& title) = 0;
    virtual QString Title() const = 0;
    virtual void SetCopies(int copies) = 0;
    virtual int Copies() const = 0;

    // Settles what a job needs from the user before it starts (the output file of a file
    // target); false when the user declined.
    virtual bool PrepareJob(QWidget* parent) = 0;

    // Opens the document; its single page is drawn with the painter returned, which stays
    // valid until the document is ended or aborted. Null on failure, with ErrorText().
    virtual QPainter* BeginDocument() = 0;
    // Hands the page over to the printing system; false on failure, with ErrorText().
    virtual bool EndDocument() = 0;
    // Discards the open document (nothing of it is printed or kept).
    virtual void AbortDocument() = 0;
    // Whether an open document can still be discarded; some printing systems print whatever
    // was drawn once a page has begun.
    virtual bool CanAbortDocument() const = 0;
    // Whether a document is open.
    virtual bool Printing() const = 0;
    virtual QString ErrorText() const = 0;
};

// The printing layer's own texts.
QString PrinterBusyText();          // a document is already open
QString PrinterNotPrintingText();   // ending or aborting with no document open
QString InvalidPrinterText();       // the printer chosen is not usable
QString NoDefaultPrinterText();     // no printer chosen and none is the default
QString UnsupportedByPrinterText(); // the printer refused an operation

// The names of the system's printers.
QStringList SystemPrinterNames();
// Whether printing is possible at all: always, since the PDF file target needs no printer.
bool PrintersAvailable();

// Asks where a PDF file goes, starting from a suggested path; empty when the user declines.
using TPdfFileChooser = std::function<QString(QWidget* parent, const QString& suggested)>;
// The save dialog of the platform for PDF files.
QString ChoosePdfFile(QWidget* parent, const QString& suggested);

// A QPrinter: the default system printer, or the PDF file target when there is none or the
// set-up dialog chose it. A PDF document is made in memory, with the printer's page, resolution
// and title, and written by the program's one atomic writer when the page is complete; an
// aborted or failed document leaves no file and an existing one untouched.
class TPrinterTarget : public IPrintTarget {
public:
    explicit TPrinterTarget(TPdfFileChooser chooser = ChoosePdfFile);
    // Prints with the printer given (tests use a PDF printer of their own resolution).
    TPrinterTarget(std::unique_ptr<QPrinter> printer, TPdfFileChooser chooser);
    ~TPrinterTarget() override;

    void SetLandscape(bool landscape) override;
    TPageMetrics PageMetrics() const override;
    void ShowSetup(QWidget* parent) override;
    void SetTitle(const QString& title) override;
    QString Title() const override;
    void SetCopies(int copies) override;
    int Copies() const override;
    bool PrepareJob(QWidget* parent) override;
    QPainter* BeginDocument() override;
    bool EndDocument() override;
    void AbortDocument() override;
    bool CanAbortDocument() const override;
    bool Printing() const override;
    QString ErrorText() const override { return m_error; }

    QPrinter& Printer() { return *m_printer; }
    // Whether the PDF file target is in use.
    bool PrintsToFile() const;
    // The PDF file the next document goes to.
    QString OutputFile() const { return m_outputFile; }

private:
    QPaintDevice* OpenPdfDocument();
    void DiscardPdfDocument();
    bool WritePdfFile();

    std::unique_ptr<QPrinter> m_printer;
    TPdfFileChooser m_chooser;
    // The PDF document being made: its bytes, and the writer that paints into them.
    std::unique_ptr<QBuffer> m_pdfBytes;
    std::unique_ptr<QPdfWriter> m_pdfWriter;
    std::unique_ptr<QPainter> m_painter;
    QString m_outputFile;
    QString m_error;
};
