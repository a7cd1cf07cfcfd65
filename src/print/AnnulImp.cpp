#include "print/AnnulImp.h"

#include "dialogs/DialogHost.h"
#include "print/PrintTarget.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TAnnulerForm::TAnnulerForm(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    ApplyDialogFont(*this);
    Panel = new QFrame(this);
    Panel->setFrameShape(QFrame::Panel);
    Panel->setFrameShadow(QFrame::Raised);
    LabelTitre = new QLabel(QStringLiteral("Please wait, spooling data..."), Panel);
    LabelTitre->setAlignment(Qt::AlignCenter);
    BAnnuler = new QPushButton(QStringLiteral("Cancel"), Panel);
    auto* inner = new QVBoxLayout(Panel);
    inner->setContentsMargins(24, 16, 24, 12);
    inner->setSpacing(12);
    inner->addWidget(LabelTitre);
    inner->addWidget(BAnnuler, 0, Qt::AlignHCenter);
    auto* all = new QVBoxLayout(this);
    all->setContentsMargins(0, 0, 0, 0);
    all->addWidget(Panel);
    all->setSizeConstraint(QLayout::SetFixedSize);
    // Events are served while the page spools: only this window may take input then.
    setWindowModality(Qt::ApplicationModal);
    connect(BAnnuler, &QPushButton::clicked, this, [this] { BAnnulerClick(); });
}

void TAnnulerForm::ShowWaiting() {
    SetCancellable(true);
    adjustSize();
    CentreOnMainWindow(*this);
    show();
}

void TAnnulerForm::SetCancellable(bool cancellable) {
    BAnnuler->setEnabled(cancellable);
}

void TAnnulerForm::BAnnulerClick() {
    if (m_target != nullptr && m_target->Printing()) {
        if (!m_target->CanAbortDocument()) return;
        m_target->AbortDocument();
    }
    m_cancelled = true;
}
