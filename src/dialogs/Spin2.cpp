// SPDX-License-Identifier: GPL-2.0-or-later
#include "dialogs/Spin2.h"

#include "dialogs/DialogHost.h"

#include <QKeyEvent>
#include <QKeySequence>
#include <QLocale>
#include <QToolButton>
#include <algorithm>
#include <cstdint>
#include <limits>

namespace {

QToolButton* ArrowButton(QWidget* parent, Qt::ArrowType arrow) {
    auto* b = new QToolButton(parent);
    b->setArrowType(arrow);
    b->setAutoRepeat(true);
    b->setFocusPolicy(Qt::NoFocus);
    b->setCursor(Qt::ArrowCursor);
    return b;
}

bool IsEditingShortcut(const QKeyEvent& e) {
    return e.matches(QKeySequence::Cut) || e.matches(QKeySequence::Paste) ||
           e.matches(QKeySequence::Undo) || e.matches(QKeySequence::Redo) ||
           e.matches(QKeySequence::Delete) || e.matches(QKeySequence::DeleteStartOfWord) ||
           e.matches(QKeySequence::DeleteEndOfWord) || e.key() == Qt::Key_Backspace ||
           e.key() == Qt::Key_Delete;
}

QLocale NumberLocale(QLocale l) {
    l.setNumberOptions(QLocale::OmitGroupSeparator | QLocale::RejectGroupSeparator);
    return l;
}

} // namespace

TCustomSpinEdit::TCustomSpinEdit(QWidget* parent)
    : QLineEdit(parent), m_up(ArrowButton(this, Qt::UpArrow)),
      m_down(ArrowButton(this, Qt::DownArrow)) {
    connect(m_up, &QToolButton::clicked, this, [this] { Step(+1); });
    connect(m_down, &QToolButton::clicked, this, [this] { Step(-1); });
    connect(this, &QLineEdit::textChanged, this, [this] {
        if (!m_quiet && OnChange) OnChange();
    });
    setTextMargins(0, 0, kUpDownWidth, 0);
    PlaceUpDown();
}

void TCustomSpinEdit::SetEditorEnabled(bool on) {
    m_editorEnabled = on;
    setContextMenuPolicy(on ? Qt::DefaultContextMenu : Qt::NoContextMenu);
    setAcceptDrops(on);
}

bool TCustomSpinEdit::ShowUpDown() const {
    return !m_up->isHidden();
}

void TCustomSpinEdit::SetShowUpDown(bool on) {
    m_up->setVisible(on);
    m_down->setVisible(on);
    setTextMargins(0, 0, on ? kUpDownWidth : 0, 0);
}

void TCustomSpinEdit::SetTextQuietly(const QString& text) {
    m_quiet = true;
    setText(text);
    m_quiet = false;
}

int TCustomSpinEdit::InsertPosition() const {
    return hasSelectedText() ? selectionStart() : cursorPosition();
}

QString TCustomSpinEdit::TextWithoutSelection() const {
    QString t = text();
    if (hasSelectedText()) t.remove(selectionStart(), selectedText().size());
    return t;
}

void TCustomSpinEdit::Step(int direction) {
    if (isReadOnly()) {
        Beep();
        return;
    }
    StepBy(direction);
}

void TCustomSpinEdit::keyPressEvent(QKeyEvent* event) {
    const bool modified = (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) != 0;
    if ((event->key() == Qt::Key_Up || event->key() == Qt::Key_Down) && !modified) {
        Step(event->key() == Qt::Key_Up ? +1 : -1);
        return;
    }
    if (!m_editorEnabled && IsEditingShortcut(*event)) return;
    const QString typed = event->text();
    const bool printable = !typed.isEmpty() && !modified && typed.at(0).isPrint();
    if (!printable) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    if (!m_editorEnabled || isReadOnly()) {
        Beep();
        return;
    }
    for (QChar c : typed) {
        if (!AcceptChar(c)) {
            Beep();
            return;
        }
        insert(QString(c));
    }
}

void TCustomSpinEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    TidyText();
}

void TCustomSpinEdit::resizeEvent(QResizeEvent* event) {
    QLineEdit::resizeEvent(event);
    PlaceUpDown();
}

void TCustomSpinEdit::mouseReleaseEvent(QMouseEvent* event) {
    // The middle button pastes the selection on some desktops.
    if (!m_editorEnabled && event->button() == Qt::MiddleButton) return;
    QLineEdit::mouseReleaseEvent(event);
}

void TCustomSpinEdit::PlaceUpDown() {
    const int h = height();
    const int half = h / 2;
    const int x = width() - kUpDownWidth;
    m_up->setGeometry(x, 0, kUpDownWidth, half);
    m_down->setGeometry(x, half, kUpDownWidth, h - half);
}

// Integer spin edit.

TSpinEdit2::TSpinEdit2(QWidget* parent) : TCustomSpinEdit(parent) {}

int TSpinEdit2::Limited(int v) const {
    if (m_min == m_max) return v;
    return std::min(std::max(v, m_min), m_max);
}

int TSpinEdit2::Value() const {
    bool ok = false;
    const int v = text().trimmed().toInt(&ok);
    return Limited(ok ? v : m_min);
}

void TSpinEdit2::SetValue(int v) {
    setText(QString::number(Limited(v)));
}

void TSpinEdit2::StepBy(int direction) {
    SetValue(int(std::clamp(int64_t{Value()} + int64_t{direction} * m_increment,
                            int64_t{std::numeric_limits<int>::min()},
                            int64_t{std::numeric_limits<int>::max()})));
}

bool TSpinEdit2::AcceptChar(QChar& c) const {
    if (c.isDigit()) return c.unicode() < 128;
    if (c == QLatin1Char('+') || c == QLatin1Char('-')) return InsertPosition() == 0;
    return false;
}

void TSpinEdit2::TidyText() {
    const QString t = text();
    if (t.isEmpty()) return;
    const QString valueText = QString::number(Value());
    if (t != valueText) SetTextQuietly(valueText);
}

// Decimal spin edit.

TFloatSpinEdit::TFloatSpinEdit(QWidget* parent) : TCustomSpinEdit(parent) {}

void TFloatSpinEdit::SetFormat(const QString& format) {
    m_format = format.isEmpty() ? QStringLiteral("0.00") : format;
}

int TFloatSpinEdit::Decimals() const {
    const int dot = m_format.indexOf(QLatin1Char('.'));
    if (dot < 0) return 0;
    int n = 0;
    for (int i = dot + 1; i < m_format.size(); ++i)
        if (m_format[i] == QLatin1Char('0') || m_format[i] == QLatin1Char('#')) ++n;
    return n;
}

QChar TFloatSpinEdit::Separator() const {
    const QString dp = locale().decimalPoint();
    return dp.isEmpty() ? QLatin1Char('.') : dp.at(0);
}

double TFloatSpinEdit::Limited(double v) const {
    if (m_min == m_max) return v;
    return std::min(std::max(v, m_min), m_max);
}

double TFloatSpinEdit::Value() const {
    bool ok = false;
    const double v = NumberLocale(locale()).toDouble(text().trimmed(), &ok);
    return Limited(ok ? v : m_min);
}

QString TFloatSpinEdit::FormatValue(double v) const {
    return NumberLocale(locale()).toString(v, 'f', Decimals());
}

void TFloatSpinEdit::SetValue(double v) {
    setText(FormatValue(Limited(v)));
}

void TFloatSpinEdit::StepBy(int direction) {
    SetValue(Value() + direction * m_increment);
}

bool TFloatSpinEdit::AcceptChar(QChar& c) const {
    if (c.isDigit()) return c.unicode() < 128;
    if (c == QLatin1Char('+') || c == QLatin1Char('-')) return InsertPosition() == 0;
    if (c == QLatin1Char('.') || c == Separator()) {
        if (!m_format.contains(QLatin1Char('.')) || TextWithoutSelection().contains(Separator()))
            return false;
        c = Separator();
        return true;
    }
    return false;
}

void TFloatSpinEdit::TidyText() {
    if (!text().isEmpty()) setText(FormatValue(Value()));
}
