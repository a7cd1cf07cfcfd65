#include "print/PrintJob.h"

#include "dialogs/UserDialogs.h"
#include "print/AnnulImp.h"
#include "print/PrintPage.h"
#include "print/PrintTarget.h"

#include <QCoreApplication>
#include <QImage>
#include <exception>
#include <new>

namespace {

// Hides the wait window and detaches it from the printer however the job ends.
class TWaitScope {
public:
    TWaitScope(TAnnulerForm& wait, IPrintTarget& target) : m_wait(wait) {
        m_wait.ClearCancelled();
        m_wait.SetTarget(&target);
        m_wait.ShowWaiting();
    }
    ~TWaitScope() {
        m_wait.SetTarget(nullptr);
        m_wait.SetCancellable(true);
        m_wait.hide();
    }
    TWaitScope(const TWaitScope&) = delete;
    TWaitScope& operator=(const TWaitScope&) = delete;

private:
    TAnnulerForm& m_wait;
};

TPrintResult Failure(IUserDialogs& dialogs, const QString& text) {
    dialogs.Message(text, mkError, mbOk);
    return TPrintResult::Failed;
}

} // namespace

void ProcessPendingEvents() {
    QCoreApplication::processEvents();
}

TPrintResult RunPrintJob(TAnnulerForm& wait, IPrintTarget& target, const QImage& image,
                         const TPrintLayout& layout, IUserDialogs& dialogs,
                         const TEventPump& pump) {
    // Events are served before the document opens and between two bands of the page: the
    // window keeps painting and Cancel, which aborts the open document, is heard.
    const auto serve = [&] {
        if (pump) pump();
        return !wait.Cancelled();
    };
    QString error;
    {
        TWaitScope scope(wait, target);
        if (!serve()) return TPrintResult::Cancelled;

        QPainter* painter = target.BeginDocument();
        if (painter == nullptr) {
            error = target.ErrorText();
        } else {
            wait.SetCancellable(target.CanAbortDocument());
            bool drawn = false;
            try {
                drawn = DrawPrintPage(*painter, image, layout, serve);
            } catch (const std::bad_alloc&) {
                error = QStringLiteral("Not enough memory to print the image.");
            } catch (const std::exception& e) {
                error = QString::fromLocal8Bit(e.what());
            }
            if (!error.isEmpty() || !drawn || wait.Cancelled()) {
                if (target.Printing()) target.AbortDocument();
                if (error.isEmpty()) return TPrintResult::Cancelled;
            } else if (!target.EndDocument()) {
                error = target.ErrorText();
            }
        }
    }
    // The wait window is gone before the message shows.
    if (!error.isEmpty()) return Failure(dialogs, error);
    return TPrintResult::Printed;
}
