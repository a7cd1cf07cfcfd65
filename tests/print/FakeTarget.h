#pragma once
// A printer for the tests: page metrics given by the test (swapped in landscape), a page that is
// a plain white image, and a record of every call.

#include "print/PrintTarget.h"

#include <QImage>
#include <QPainter>
#include <functional>
#include <memory>
#include <utility>

class TFakeTarget : public IPrintTarget {
public:
    // The page as it is in portrait; landscape swaps width and height.
    TPageMetrics Portrait{2100, 2970, 254};
    bool IsLandscape = false;
    int OrientationCalls = 0;
    int SetupCalls = 0;
    std::function<void()> OnSetup;
    int PrepareCalls = 0;
    bool PrepareAnswer = true;
    bool FailBegin = false;
    bool FailEnd = false;
    bool Withdrawable = true; // an open document can be discarded
    int Begun = 0;
    int Ended = 0;
    int Aborted = 0;
    QImage Page;    // the last page handed over
    QImage Drawing; // the page being drawn

    void SetLandscape(bool landscape) override {
        ++OrientationCalls;
        IsLandscape = landscape;
    }
    TPageMetrics PageMetrics() const override {
        TPageMetrics m = Portrait;
        if (IsLandscape) std::swap(m.WidthDots, m.HeightDots);
        return m;
    }
    void ShowSetup(QWidget*) override {
        ++SetupCalls;
        if (OnSetup) OnSetup();
    }
    void SetTitle(const QString& title) override { m_title = title; }
    QString Title() const override { return m_title; }
    void SetCopies(int copies) override { m_copies = copies; }
    int Copies() const override { return m_copies; }
    bool PrepareJob(QWidget*) override {
        ++PrepareCalls;
        return PrepareAnswer;
    }
    QPainter* BeginDocument() override {
        if (m_painter) {
            m_error = PrinterBusyText();
            return nullptr;
        }
        if (FailBegin) {
            m_error = InvalidPrinterText();
            return nullptr;
        }
        ++Begun;
        const TPageMetrics m = PageMetrics();
        Drawing = QImage(m.WidthDots, m.HeightDots, QImage::Format_RGB32);
        Drawing.fill(Qt::white);
        m_painter = std::make_unique<QPainter>(&Drawing);
        return m_painter.get();
    }
    bool EndDocument() override {
        if (!m_painter) {
            m_error = PrinterNotPrintingText();
            return false;
        }
        m_painter.reset();
        if (FailEnd) {
            m_error = UnsupportedByPrinterText();
            Drawing = QImage();
            return false;
        }
        ++Ended;
        Page = std::exchange(Drawing, QImage());
        return true;
    }
    void AbortDocument() override {
        if (!m_painter) return;
        ++Aborted;
        m_painter.reset();
        Drawing = QImage();
    }
    bool CanAbortDocument() const override { return Withdrawable; }
    bool Printing() const override { return m_painter != nullptr; }
    QString ErrorText() const override { return m_error; }

private:
    QString m_title;
    int m_copies = 1;
    QString m_error;
    std::unique_ptr<QPainter> m_painter;
};
