#include "dialogs/Redim.h"

#include "core/Rect.h"
#include "dialogs/DialogHost.h"
#include "dialogs/Spin2.h"
#include "dialogs/UserDialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <algorithm>

namespace {

constexpr double kNominalPxPerCm = 96.0 / 2.54;
constexpr double kCmPerInch = 2.54;

double Density(int pixels, double millimetres) {
    if (pixels <= 0 || !(millimetres > 0)) return kNominalPxPerCm;
    return pixels / millimetres * 10;
}

QString FormatFor(int unit) {
    return unit == suPixels ? QStringLiteral("0") : QStringLiteral("0.00");
}

} // namespace

TScreenDensity DensityFrom(const QSize& pixels, const QSizeF& millimetres) {
    return {Density(pixels.width(), millimetres.width()),
            Density(pixels.height(), millimetres.height())};
}

TScreenDensity MeasureScreenDensity(const QScreen* screen) {
    if (screen == nullptr) return {kNominalPxPerCm, kNominalPxPerCm};
    // The image is shown at actual size one pixel to a device pixel: count device pixels.
    const QSizeF devicePixels = QSizeF(screen->geometry().size()) * screen->devicePixelRatio();
    return DensityFrom(devicePixels.toSize(), screen->physicalSize());
}

int UnitToPixels(double value, int unit, int imgSize, double pxPerCm) {
    double p = value;
    switch (unit) {
    case suPercent:
        p = value * imgSize / 100;
        break;
    case suCm:
        p = value * pxPerCm;
        break;
    case suInches:
        p = value * pxPerCm * kCmPerInch;
        break;
    default:
        break;
    }
    // Far beyond any limit; kept inside int before rounding.
    return RoundHalfEven(std::clamp(p, -1e9, 1e9));
}

double PixelsToUnit(int pixels, int unit, int imgSize, double pxPerCm) {
    switch (unit) {
    case suPercent:
        return imgSize > 0 ? pixels * 100.0 / imgSize : 0;
    case suCm:
        return pixels / pxPerCm;
    case suInches:
        return pixels / pxPerCm / kCmPerInch;
    default:
        return pixels;
    }
}

TRedimForm::TRedimForm(QWidget* parent, std::optional<TScreenDensity> density,
                       IUserDialogs* dialogs)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                          Qt::WindowStaysOnTopHint),
      m_dialogs(dialogs) {
    ApplyDialogFont(*this);
    setWindowTitle(QStringLiteral("Image size"));
    if (density) {
        m_density = *density;
    } else {
        const QWidget* main = DialogMainWindow();
        const QScreen* screen = main != nullptr ? main->screen() : QGuiApplication::primaryScreen();
        m_density = MeasureScreenDensity(screen);
    }
    BuildControls();
    m_width = {EdiL, CmbL, suPixels, 1, m_density.PxPerCmX};
    m_height = {EdiH, CmbH, suPixels, 1, m_density.PxPerCmY};

    connect(CmbL, &QComboBox::currentIndexChanged, this, [this] { UnitChange(m_width); });
    connect(CmbH, &QComboBox::currentIndexChanged, this, [this] { UnitChange(m_height); });
    EdiL->OnChange = [this] { FieldChange(m_width, m_height, true); };
    EdiH->OnChange = [this] { FieldChange(m_height, m_width, false); };
    connect(BOk, &QPushButton::clicked, this, [this] { BOkClick(); });
    connect(BAnnuler, &QPushButton::clicked, this, &QDialog::reject);
}

void TRedimForm::BuildControls() {
    GBActual = new QGroupBox(QStringLiteral(" Actual size (pixels) "), this);
    EdiLargeur = new QLineEdit(GBActual);
    EdiHauteur = new QLineEdit(GBActual);
    for (QLineEdit* e : {EdiLargeur, EdiHauteur})
        e->setReadOnly(true);
    auto* actual = new QGridLayout(GBActual);
    actual->addWidget(new QLabel(QStringLiteral("Width :"), GBActual), 0, 0);
    actual->addWidget(EdiLargeur, 0, 1);
    actual->addWidget(new QLabel(QStringLiteral("Height :"), GBActual), 1, 0);
    actual->addWidget(EdiHauteur, 1, 1);
    GBActual->setEnabled(false);

    GBNew = new QGroupBox(QStringLiteral(" New size "), this);
    EdiL = new TFloatSpinEdit(GBNew);
    EdiH = new TFloatSpinEdit(GBNew);
    CmbL = new QComboBox(GBNew);
    CmbH = new QComboBox(GBNew);
    const QStringList units = {QStringLiteral("pixels"), QStringLiteral("%"), QStringLiteral("cm"),
                               QStringLiteral("Inches")};
    for (QComboBox* c : {CmbL, CmbH})
        c->addItems(units);
    for (TFloatSpinEdit* e : {EdiL, EdiH}) {
        e->SetMinValue(1);
        e->SetMaxValue(kMaxResize);
        e->SetIncrement(1);
        e->SetFormat(FormatFor(suPixels));
        e->installEventFilter(this);
    }
    CBProportions = new QCheckBox(QStringLiteral("Preserve aspect ratio"), GBNew);
    CBOptimiser = new QCheckBox(QStringLiteral("Optimize"), GBNew);
    auto* fresh = new QGridLayout(GBNew);
    fresh->addWidget(new QLabel(QStringLiteral("Width :"), GBNew), 0, 0);
    fresh->addWidget(EdiL, 0, 1);
    fresh->addWidget(CmbL, 0, 2);
    fresh->addWidget(new QLabel(QStringLiteral("Height :"), GBNew), 1, 0);
    fresh->addWidget(EdiH, 1, 1);
    fresh->addWidget(CmbH, 1, 2);
    fresh->addWidget(CBProportions, 2, 0, 1, 3);
    fresh->addWidget(CBOptimiser, 3, 0, 1, 3);

    BOk = new QPushButton(QStringLiteral("Ok"), this);
    BAnnuler = new QPushButton(QStringLiteral("Cancel"), this);
    BOk->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BOk);
    buttons->addWidget(BAnnuler);

    auto* all = new QVBoxLayout(this);
    all->addWidget(GBActual);
    all->addWidget(GBNew);
    all->addLayout(buttons);
    all->setSizeConstraint(QLayout::SetFixedSize);
}

std::optional<TResizeChoice> TRedimForm::Execute(int imgW, int imgH, bool transparent) {
    FormShow(imgW, imgH, transparent);
    adjustSize();
    CentreOnMainWindow(*this);
    if (exec() != QDialog::Accepted) return std::nullopt;
    return m_choice;
}

void TRedimForm::FormShow(int imgW, int imgH, bool transparent) {
    m_width.ImageSize = std::max(imgW, 1);
    m_height.ImageSize = std::max(imgH, 1);
    EdiLargeur->setText(QString::number(imgW));
    EdiHauteur->setText(QString::number(imgH));
    m_ratio = double(m_width.ImageSize) / m_height.ImageSize;
    CBOptimiser->setEnabled(!transparent);
    CBOptimiser->setChecked(!transparent);
    WritePixels(m_width, imgW);
    WritePixels(m_height, imgH);
    CBProportions->setChecked(true);
    BOk->setFocus();
}

int TRedimForm::Pixels(const TAxis& axis) const {
    return UnitToPixels(axis.Edit->Value(), axis.Unit, axis.ImageSize, axis.PxPerCm);
}

void TRedimForm::WritePixels(TAxis& axis, int pixels) {
    const bool was = m_updating;
    m_updating = true;
    axis.Edit->SetValue(PixelsToUnit(pixels, axis.Unit, axis.ImageSize, axis.PxPerCm));
    m_updating = was;
}

void TRedimForm::UnitChange(TAxis& axis) {
    const int pixels = Pixels(axis);
    axis.Unit = axis.Units->currentIndex();
    axis.Edit->SetFormat(FormatFor(axis.Unit));
    WritePixels(axis, pixels);
}

void TRedimForm::FieldChange(TAxis& edited, TAxis& other, bool widthEdited) {
    if (m_updating || !CBProportions->isChecked() || edited.Edit->text().isEmpty()) return;
    const int p = Pixels(edited);
    WritePixels(other, RoundHalfEven(widthEdited ? p / m_ratio : p * m_ratio));
}

bool TRedimForm::BOkClick() {
    if (EdiL->text().isEmpty() || EdiH->text().isEmpty()) {
        IUserDialogs& dialogs = m_dialogs != nullptr ? *m_dialogs : UserDialogs();
        dialogs.Message(QStringLiteral("Complete all the fields before continuing !"), mkWarning,
                        mbOk);
        return false;
    }
    m_choice.Width = std::clamp(Pixels(m_width), kMinResize, kMaxResize);
    m_choice.Height = std::clamp(Pixels(m_height), kMinResize, kMaxResize);
    m_choice.Code = CBOptimiser->isChecked() ? 3 : 0;
    accept();
    return true;
}

bool TRedimForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const QString text = static_cast<QKeyEvent*>(event)->text();
        if (text == QLatin1String("+") || text == QLatin1String("-")) return true;
    }
    return QDialog::eventFilter(watched, event);
}
