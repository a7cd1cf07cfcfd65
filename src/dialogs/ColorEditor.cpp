// SPDX-License-Identifier: GPL-2.0-or-later
#include "dialogs/ColorEditor.h"

#include "dialogs/ColorPicker.h"
#include "dialogs/DialogHost.h"
#include "dialogs/PrevNextBtn.h"

#include <QColorDialog>
#include <QElapsedTimer>
#include <QKeyEvent>

namespace {

qint64 SteadyMs() {
    static QElapsedTimer timer = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return timer.elapsed();
}

} // namespace

TColorEdit::TColorEdit(QWidget* parent)
    : TThemedCustomControl(parent), m_clock(SteadyMs), m_picker(new TColorPicker(this)),
      m_arrow(new TPrevNextButton(this)), m_popup(new TColorPopup(this)) {
    setFocusPolicy(Qt::StrongFocus);
    m_picker->SetColor(m_color);
    m_arrow->SetDirection(TArrowDirection::Down);
    m_picker->OnClick = [this] { SwatchClick(); };
    m_arrow->OnClick = [this] { DropDown(); };
    m_popup->OnSelect = [this](TColor c) { SetColor(c); };
    m_popup->OnClose = [this] { m_lastClose = m_clock(); };
    ClientResized();
}

TColorEdit::~TColorEdit() {
    // The pop-up outlives this object's members while the base class deletes it.
    m_popup->OnSelect = nullptr;
    m_popup->OnClose = nullptr;
}

TColorEdit::TColorDialog TColorEdit::StandardColorDialog() {
    return [](TColor current, QWidget* owner) -> std::optional<TColor> {
        const QColor c = QColorDialog::getColor(QColorOf(current), owner);
        if (!c.isValid()) return std::nullopt;
        return RGBColor(c.red(), c.green(), c.blue());
    };
}

QSize TColorEdit::sizeHint() const {
    return {64, 22};
}

void TColorEdit::SetColor(TColor c) {
    if (c == m_color) return;
    m_color = c;
    m_picker->SetColor(c);
    if (OnChange) OnChange();
}

void TColorEdit::SetReadOnly(bool on) {
    m_readOnly = on;
    UpdateArrow();
}

void TColorEdit::UpdateArrow() {
    m_arrow->setEnabled(isEnabled() && !m_readOnly);
}

bool TColorEdit::DropDown() {
    if (m_readOnly || !isEnabled() || m_popup->isVisible()) return false;
    if (m_lastClose && m_clock() - *m_lastClose < kReopenGuardMs) return false;
    m_popup->Open(m_color, QRect(mapToGlobal(QPoint(0, 0)), size()));
    return true;
}

void TColorEdit::SwatchClick() {
    setFocus();
    if (m_readOnly) return;
    if (!m_dialog) {
        DropDown();
        return;
    }
    if (const std::optional<TColor> chosen = m_dialog(m_color, this)) SetColor(*chosen);
}

void TColorEdit::ClientResized() {
    const QRect client = ClientRect();
    const int arrow = std::min(kArrowWidth, client.width());
    m_picker->setGeometry(client.x(), client.y(), client.width() - arrow, client.height());
    m_arrow->setGeometry(client.x() + client.width() - arrow, client.y(), arrow, client.height());
}

void TColorEdit::keyPressEvent(QKeyEvent* event) {
    if ((event->key() == Qt::Key_Right || event->key() == Qt::Key_Down) &&
        event->modifiers() == Qt::NoModifier) {
        DropDown();
        return;
    }
    TThemedCustomControl::keyPressEvent(event);
}

void TColorEdit::changeEvent(QEvent* event) {
    TThemedCustomControl::changeEvent(event);
    if (event->type() == QEvent::EnabledChange) UpdateArrow();
}

void TColorEdit::focusInEvent(QFocusEvent* event) {
    TThemedCustomControl::focusInEvent(event);
    m_picker->update();
}

void TColorEdit::focusOutEvent(QFocusEvent* event) {
    TThemedCustomControl::focusOutEvent(event);
    m_picker->update();
}
