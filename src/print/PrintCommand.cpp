#include "print/PrintCommand.h"

#include "core/Bitmap.h"
#include "dialogs/UserDialogs.h"
#include "print/AnnulImp.h"
#include "print/Impr.h"
#include "print/PrintTarget.h"

#include <QImage>

TPrintCommand::TPrintCommand(std::unique_ptr<IPrintTarget> target, IUserDialogs* dialogs)
    : m_target(target ? std::move(target) : std::make_unique<TPrinterTarget>()),
      m_dialogs(dialogs) {}

TPrintCommand::~TPrintCommand() {
    // The windows refer to the printer; they go first (unless their owner took them already).
    delete m_form.data();
    delete m_wait.data();
}

void TPrintCommand::SetUnit(TPageUnit unit) {
    if (m_form && m_form->Unit() != unit) delete m_form.data();
}

TPrintResult TPrintCommand::Run(QWidget* owner, const TBitmap& image, const QString& filePath,
                                TPageUnit unit) {
    if (image.Empty()) return TPrintResult::Cancelled;
    SetUnit(unit);
    if (!m_form) m_form = new TImprForm(*m_target, unit, owner, m_dialogs);
    if (!m_wait) m_wait = new TAnnulerForm(owner);
    if (!m_form->Execute(image, filePath)) return TPrintResult::Cancelled;
    IUserDialogs& dialogs = m_dialogs != nullptr ? *m_dialogs : UserDialogs();
    // The job serves events while it spools: it keeps its own reference to the pixels.
    const QImage page = m_form->Image().Image();
    const TPrintResult result =
        RunPrintJob(*m_wait, *m_target, page, m_form->Layout(), dialogs, m_pump);
    m_form->ReleaseImage();
    return result;
}
