// SPDX-License-Identifier: GPL-2.0-or-later
#include "dialogs/MyMsgDlg.h"

#include "core/InterfaceTexts.h"
#include "dialogs/DialogHost.h"
#include "dialogs/MyBevel.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTimer>
#include <algorithm>

namespace {

constexpr int kMargin = 16;
constexpr int kHeadingTop = 20;
constexpr int kIconTop = 56;
constexpr int kIconSize = 32;
constexpr int kMessageLeft = 60;
constexpr int kInputLeft = 64;
constexpr int kButtonTop = 17; // from the strip's top, 16 below its line
constexpr int kButtonRightGap = 15;
constexpr TColor kHeadingColour = 0xDE3C12; // #123CDE

std::function<void(TMsgDlgForm&)>& ShowHook() {
    static std::function<void(TMsgDlgForm&)> hook;
    return hook;
}

QString KindHeading(TMsgKind kind) {
    const TInterfaceTexts& t = InterfaceTexts();
    switch (kind) {
    case mkWarning:
        return t.Warning;
    case mkError:
        return t.Error;
    case mkInformation:
        return t.Information;
    case mkConfirmation:
        return t.Confirm;
    case mkPlain:
        break;
    }
    return ProgramFileName();
}

QIcon KindIcon(const QStyle& style, TMsgKind kind) {
    switch (kind) {
    case mkWarning:
        return style.standardIcon(QStyle::SP_MessageBoxWarning);
    case mkError:
        return style.standardIcon(QStyle::SP_MessageBoxCritical);
    case mkInformation:
        return style.standardIcon(QStyle::SP_MessageBoxInformation);
    case mkConfirmation:
        return style.standardIcon(QStyle::SP_MessageBoxQuestion);
    case mkPlain:
        break;
    }
    const QIcon app = QApplication::windowIcon();
    return app.isNull() ? style.standardIcon(QStyle::SP_ComputerIcon) : app;
}

void FillWith(QWidget& w, TColor colour) {
    QPalette p = w.palette();
    p.setColor(QPalette::Window, QColorOf(colour));
    w.setPalette(p);
    w.setAutoFillBackground(true);
}

// A carriage return in a message starts a new line.
QString MessageLines(QString text) {
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

} // namespace

TMsgDlgForm::TMsgDlgForm(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                         Qt::MSWindowsFixedSizeDialogHint) {
    ApplyDialogFont(*this);
    setWindowTitle(ProgramName());
    setWindowOpacity(233.0 / 255.0);
    FillWith(*this, clWindow);

    ResIcon = new QLabel(this);
    LblCaption = new QLabel(this);
    CaptionSep = new TMyBevel(this);
    LblMsg = new QLabel(this);
    LblMsg->setTextFormat(Qt::PlainText);
    LblCaption->setTextFormat(Qt::PlainText);
    EdiInput = new QLineEdit(this);
    EdiInput->hide();
    PnlButtons = new QWidget(this);
    FillWith(*PnlButtons, clBtnFace);
    PnlSepButtons = new QWidget(PnlButtons);
    FillWith(*PnlSepButtons, clBtnShadow);

    const TInterfaceTexts& t = InterfaceTexts();
    const std::pair<QPushButton**, std::pair<QString, int>> buttons[] = {
        {&BtnYes, {t.Yes, mrYes}},
        {&BtnNo, {t.No, mrNo}},
        {&BtnOk, {t.Ok, mrOk}},
        {&BtnCancel, {t.Cancel, mrCancel}},
    };
    for (const auto& [slot, captionAndResult] : buttons) {
        auto* b = new QPushButton(captionAndResult.first, PnlButtons);
        b->setAutoDefault(true);
        b->hide();
        const int result = captionAndResult.second;
        connect(b, &QPushButton::clicked, this, [this, result] { done(result); });
        *slot = b;
    }

    QFont headingFont = font();
    headingFont.setPointSizeF(headingFont.pointSizeF() + 2);
    LblCaption->setFont(headingFont);
    QPalette hp = LblCaption->palette();
    hp.setColor(QPalette::WindowText, QColorOf(kHeadingColour));
    LblCaption->setPalette(hp);
    CaptionSep->SetStyle(bsGradient);
    CaptionSep->SetDrawColor(kHeadingColour);
    CaptionSep->SetColor(clWindow);
}

void TMsgDlgForm::SetupMessage(const QString& text, TMsgKind kind, unsigned buttons,
                               const QString& heading) {
    m_input = false;
    EdiInput->hide();
    LblMsg->setText(MessageLines(text));
    Arrange(kind, buttons, heading.isEmpty() ? KindHeading(kind) : heading);
}

void TMsgDlgForm::SetupInput(const QString& heading, const QString& prompt, const QString& text) {
    m_input = true;
    LblMsg->setText(MessageLines(prompt));
    EdiInput->setText(text);
    EdiInput->show();
    Arrange(mkConfirmation, mbOkCancel,
            heading.isEmpty() ? InterfaceTexts().InputHeading : heading);
    EdiInput->selectAll();
    EdiInput->setFocus();
}

void TMsgDlgForm::Arrange(TMsgKind kind, unsigned buttons, const QString& heading) {
    ResIcon->setPixmap(KindIcon(*style(), kind).pixmap(kIconSize, kIconSize));
    ResIcon->setGeometry(kMargin, kIconTop, kIconSize, kIconSize);
    LblCaption->setText(heading);
    LblCaption->adjustSize();
    LblCaption->move(kMargin, kHeadingTop);
    LblMsg->adjustSize();
    LblMsg->move(kMessageLeft, kIconTop);

    const int width =
        std::max({kMessageLeft + LblMsg->width() + kMargin, 4 * kMsgButtonWidth, kMsgMinWidth});
    // The rule sits just under the heading, a little lower than a bold two-pixel bar would.
    CaptionSep->setGeometry(kMargin, LblCaption->y() + LblCaption->height() + 1 + 3,
                            width - 2 * kMargin, 1);

    const int messageBottom = LblMsg->y() + LblMsg->height();
    int height = std::max(messageBottom + 20, 20 + kIconTop + kIconSize);
    if (m_input) {
        const int editHeight = EdiInput->sizeHint().height();
        EdiInput->setGeometry(kInputLeft, messageBottom + 5, width - kMargin - kInputLeft,
                              editHeight);
        height += editHeight + 5;
    }
    PnlButtons->setGeometry(0, height, width, kMsgStripHeight);
    PnlSepButtons->setGeometry(0, 0, width, 1);
    height += kMsgStripHeight;
    ArrangeButtons(buttons, width);
    setFixedSize(width, height);
    CentreOnMainWindow(*this);
}

void TMsgDlgForm::ArrangeButtons(unsigned buttons, int clientWidth) {
    QPushButton* const order[] = {BtnYes, BtnNo, BtnOk, BtnCancel};
    const unsigned bits[] = {mbYes, mbNo, mbOk, mbCancel};
    int n = 0;
    for (unsigned bit : bits)
        if (buttons & bit) ++n;
    const int total = n * kMsgButtonWidth + std::max(n - 1, 0) * kMsgButtonGap;
    int x = clientWidth - total - kButtonRightGap;
    for (int i = 0; i < 4; ++i) {
        QPushButton* b = order[i];
        b->setDefault(false);
        b->setVisible((buttons & bits[i]) != 0);
        if (!b->isVisibleTo(this)) continue;
        b->setGeometry(x, kButtonTop, kMsgButtonWidth, kMsgButtonHeight);
        x += kMsgButtonWidth + kMsgButtonGap;
    }
    m_default = (buttons & mbOk) ? BtnOk : (buttons & mbYes) ? BtnYes : nullptr;
    m_cancel = (buttons & mbCancel) ? BtnCancel : (buttons & mbNo) ? BtnNo : nullptr;
    if (m_default != nullptr) {
        m_default->setDefault(true);
        m_default->setFocus();
    }
}

int TMsgDlgForm::Execute() {
    if (ShowHook()) QTimer::singleShot(0, this, [this] { ShowHook()(*this); });
    return exec();
}

void TMsgDlgForm::SetShowHook(std::function<void(TMsgDlgForm&)> hook) {
    ShowHook() = std::move(hook);
}

void TMsgDlgForm::reject() {
    // The title bar's close button.
    done(mrCancel);
}

void TMsgDlgForm::keyPressEvent(QKeyEvent* event) {
    const bool plainKey = (event->modifiers() & ~Qt::ShiftModifier) == Qt::NoModifier;
    if (event->key() == Qt::Key_Escape && plainKey) {
        if (m_cancel != nullptr) m_cancel->click();
        return;
    }
    if (!m_input && plainKey) {
        if (event->key() == Qt::Key_Y && BtnYes->isVisibleTo(this)) {
            done(mrYes);
            return;
        }
        if (event->key() == Qt::Key_N && BtnNo->isVisibleTo(this)) {
            done(mrNo);
            return;
        }
    }
    QDialog::keyPressEvent(event);
}

int MsgBox(const QString& text, TMsgKind kind, unsigned buttons, const QString& heading) {
    TMsgDlgForm box(DialogOwner());
    box.SetupMessage(text, kind, buttons, heading);
    return box.Execute();
}

bool InputBox(const QString& heading, const QString& prompt, QString& text) {
    TMsgDlgForm box(DialogOwner());
    box.SetupInput(heading, prompt, text);
    if (box.Execute() != mrOk) return false;
    text = box.EdiInput->text();
    return true;
}
