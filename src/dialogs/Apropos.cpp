// SPDX-License-Identifier: GPL-2.0-or-later
#include "dialogs/Apropos.h"

#include "dialogs/DialogHost.h"
#include "dialogs/MyBevel.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

#ifndef TAVELUNE_VERSION
#define TAVELUNE_VERSION "0.1.0"
#endif

const char* const kProductName = "Tavelune";
const char* const kProductVersion = TAVELUNE_VERSION;
const char* const kProductRelease = "December 2026";
const char* const kRightsNotice = "Copyright (c) 2026 the Tavelune developers\n"
                                  "Free software under the GNU General Public License, "
                                  "version 2 or later";
const char* const kMakerName = "The Tavelune developers";
const char* const kMakerWebAddress = "https://tavelune.example.org/";

namespace {

constexpr QSize kLogoSize(72, 71);

// A crescent moon over a night sky; the flash brightens the sky and lights the stars.
void DrawLogo(QPainter& p, bool flash) {
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, kLogoSize.height());
    sky.setColorAt(0, flash ? QColor(0x3A, 0x5C, 0xC8) : QColor(0x14, 0x1E, 0x50));
    sky.setColorAt(1, flash ? QColor(0x12, 0x3C, 0xDE) : QColor(0x06, 0x0A, 0x28));
    p.fillRect(QRect(QPoint(0, 0), kLogoSize), sky);

    QPainterPath disc;
    disc.addEllipse(QRectF(14, 12, 44, 44));
    QPainterPath bite;
    bite.addEllipse(QRectF(26, 6, 42, 42));
    p.fillPath(disc.subtracted(bite), QColor(0xF4, 0xE3, 0x9A));

    const QPointF stars[] = {{50, 52}, {58, 18}, {20, 60}, {62, 38}};
    p.setPen(Qt::NoPen);
    p.setBrush(flash ? QColor(Qt::white) : QColor(0xB0, 0xB8, 0xD8));
    const double r = flash ? 2.2 : 1.2;
    for (const QPointF& s : stars)
        p.drawEllipse(s, r, r);
}

} // namespace

QPixmap LogoPicture(bool flash) {
    QImage img(kLogoSize, QImage::Format_RGB32);
    QPainter p(&img);
    DrawLogo(p, flash);
    p.end();
    return QPixmap::fromImage(img);
}

TAProposForm::TAProposForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {
    ApplyDialogFont(*this);
    setWindowTitle(QStringLiteral("About Tavelune"));

    Panel1 = new QFrame(this);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel1->setLineWidth(1);
    auto* outer = new QFrame(this);
    outer->setFrameStyle(QFrame::Panel | QFrame::Sunken);

    Panel2 = new QFrame(Panel1);
    Panel2->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel2->setLineWidth(1);
    Panel2->setFixedSize(kLogoSize + QSize(2, 2));
    Image1 = new QLabel(Panel2);
    Image2 = new QLabel(Panel2);
    Image1->setPixmap(LogoPicture(false));
    Image2->setPixmap(LogoPicture(true));
    for (QLabel* img : {Image1, Image2})
        img->setGeometry(QRect(QPoint(1, 1), kLogoSize));
    Image2->hide();

    ProductName = new QLabel(QString::fromUtf8(kProductName), Panel1);
    QFont bold = font();
    bold.setBold(true);
    bold.setPointSize(10);
    ProductName->setFont(bold);
    Version =
        new QLabel(QStringLiteral("Version %1 (%2)")
                       .arg(QString::fromUtf8(kProductVersion), QString::fromUtf8(kProductRelease)),
                   Panel1);
    Bevel1 = new TMyBevel(Panel1);
    Bevel1->SetStyle(bsSeparator);
    Bevel1->setFixedHeight(2);
    Copyright = new QLabel(QString::fromUtf8(kRightsNotice), Panel1);
    Maker = new QLabel(QString::fromUtf8(kMakerName), Panel1);
    URL = new QLabel(QString::fromUtf8(kMakerWebAddress), Panel1);
    QFont link = font();
    link.setUnderline(true);
    URL->setFont(link);
    QPalette linkPalette = URL->palette();
    linkPalette.setColor(QPalette::WindowText, Qt::blue);
    URL->setPalette(linkPalette);
    URL->setCursor(Qt::PointingHandCursor);
    URL->installEventFilter(this);

    auto* text = new QVBoxLayout;
    text->addWidget(ProductName);
    text->addWidget(Version);
    text->addStretch();
    auto* top = new QHBoxLayout;
    top->addWidget(Panel2, 0, Qt::AlignTop);
    top->addLayout(text, 1);
    auto* inside = new QVBoxLayout(Panel1);
    inside->addLayout(top);
    inside->addWidget(Bevel1);
    inside->addWidget(Copyright);
    inside->addWidget(Maker);
    inside->addWidget(URL);
    auto* outerLayout = new QVBoxLayout(outer);
    outerLayout->setContentsMargins(1, 1, 1, 1);
    outerLayout->addWidget(Panel1);

    BOk = new QPushButton(QStringLiteral("Ok"), this);
    BOk->setDefault(true);
    connect(BOk, &QPushButton::clicked, this, &QDialog::accept);
    auto* all = new QVBoxLayout(this);
    all->addWidget(outer);
    all->addWidget(BOk, 0, Qt::AlignHCenter);
    all->setSizeConstraint(QLayout::SetFixedSize);

    Timer = new QTimer(this);
    Timer->setInterval(100);
    connect(Timer, &QTimer::timeout, this, [this] { TimerTimer(); });
}

void TAProposForm::Execute() {
    adjustSize();
    CentreOnMainWindow(*this);
    exec();
}

void TAProposForm::TimerTimer() {
    if (m_ticks == 25) {
        m_ticks = 0;
        Image2->show();
    } else {
        Image2->setVisible(m_ticks == 13 || m_ticks == 15);
    }
    ++m_ticks;
}

void TAProposForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    m_ticks = 0;
    Image2->hide();
    Timer->start();
}

void TAProposForm::hideEvent(QHideEvent* event) {
    Timer->stop();
    QDialog::hideEvent(event);
}

bool TAProposForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == URL && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        OpenUrl(QUrl(QString::fromUtf8(kMakerWebAddress)));
        return true;
    }
    return QDialog::eventFilter(watched, event);
}
