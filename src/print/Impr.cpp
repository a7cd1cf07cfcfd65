#include "print/Impr.h"

#include "dialogs/DialogHost.h"
#include "dialogs/Spin2.h"
#include "print/PrintTarget.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

namespace {

constexpr double kFieldMax = 1000;
constexpr int kMaxCopies = 100;
// "1000.00": the fields hold up to 1000 with two decimals.
constexpr int kFieldLength = 7;
// The page picture's corner of the dialog: box, shadow and the label below it.
constexpr int kPageAreaWidth = kPreviewOrigin + kPreviewSide + 4 + kPreviewOrigin;
constexpr int kPageAreaHeight = kPreviewOrigin + kPreviewSide + 8 + 20 + kPreviewOrigin;

QString UnitCaption(TPageUnit unit) {
    return unit == TPageUnit::Centimetre ? QStringLiteral("(cm) ") : QStringLiteral("(inch) ");
}

TFloatSpinEdit* NewField(QWidget* parent) {
    auto* e = new TFloatSpinEdit(parent);
    e->SetFormat(QStringLiteral("0.00"));
    e->SetIncrement(1.0);
    e->SetMinValue(0);
    e->SetMaxValue(kFieldMax);
    e->setMaxLength(kFieldLength);
    return e;
}

} // namespace

TImprForm::TImprForm(IPrintTarget& target, TPageUnit unit, QWidget* parent, IUserDialogs* dialogs)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_target(target), m_unit(unit), m_dialogs(dialogs) {
    ApplyDialogFont(*this);
    setWindowTitle(QStringLiteral("Print"));
    BuildControls();
    Connect();
    for (QWidget* w : findChildren<QWidget*>())
        w->installEventFilter(this);
}

QGroupBox* TImprForm::BuildGroup(const QString& caption, const QString& first, TFloatSpinEdit*& a,
                                 const QString& second, TFloatSpinEdit*& b, QPushButton*& ok) {
    auto* group = new QGroupBox(caption + UnitCaption(m_unit), this);
    a = NewField(group);
    b = NewField(group);
    ok = new QPushButton(QStringLiteral("Ok"), group);
    auto* grid = new QGridLayout(group);
    grid->addWidget(new QLabel(first, group), 0, 0);
    grid->addWidget(a, 0, 1);
    grid->addWidget(new QLabel(second, group), 1, 0);
    grid->addWidget(b, 1, 1);
    grid->addWidget(ok, 0, 2, 2, 1, Qt::AlignVCenter);
    return group;
}

void TImprForm::BuildControls() {
    CBCentrer = new QCheckBox(QStringLiteral("Page center"), this);
    CBAjuster = new QCheckBox(QStringLiteral("Fit to page"), this);
    LabelZoom = new QLabel(this);
    ScrollBarZoom = new QScrollBar(Qt::Horizontal, this);
    ScrollBarZoom->setMinimum(1);
    ScrollBarZoom->setSingleStep(1);
    ScrollBarZoom->setPageStep(4);
    GBTaille = BuildGroup(QStringLiteral(" Image size "), QStringLiteral("Width :"), SEL,
                          QStringLiteral("Height :"), SEH, BOkTaille);
    GBMarges = BuildGroup(QStringLiteral(" Position "), QStringLiteral("Left :"), SEX,
                          QStringLiteral("Top :"), SEY, BOkMarges);
    CBContours = new QCheckBox(QStringLiteral("Print only bounding box"), this);
    CBTraits = new QCheckBox(QStringLiteral("Print crop marks"), this);
    SECopies = new TSpinEdit2(this);
    SECopies->SetMinValue(1);
    SECopies->SetMaxValue(kMaxCopies);
    SECopies->SetValue(1);
    LblProp = new QLabel(this);
    LblProp->setAlignment(Qt::AlignCenter);
    BConfigurer = new QPushButton(QStringLiteral("Setup..."), this);
    BImprimer = new QPushButton(QStringLiteral("Print"), this);
    BAnnuler = new QPushButton(QStringLiteral("Cancel"), this);
    BImprimer->setDefault(true);

    auto* copies = new QHBoxLayout;
    copies->addWidget(new QLabel(QStringLiteral("Copies :"), this));
    copies->addWidget(SECopies);
    copies->addStretch();

    auto* column = new QVBoxLayout;
    column->addWidget(CBCentrer);
    column->addWidget(CBAjuster);
    column->addWidget(LabelZoom);
    column->addWidget(ScrollBarZoom);
    column->addWidget(GBTaille);
    column->addWidget(GBMarges);
    column->addWidget(CBContours);
    column->addWidget(CBTraits);
    column->addLayout(copies);
    column->addStretch();

    auto* buttons = new QHBoxLayout;
    buttons->setContentsMargins(kPreviewOrigin, 0, 0, 0);
    buttons->addWidget(BConfigurer);
    buttons->addStretch();
    buttons->addWidget(BImprimer);
    buttons->addWidget(BAnnuler);

    // The page picture is painted by the dialog itself in this corner.
    auto* pageArea = new QWidget(this);
    pageArea->setFixedSize(kPageAreaWidth, kPageAreaHeight);
    pageArea->setAttribute(Qt::WA_TransparentForMouseEvents);

    auto* top = new QHBoxLayout;
    top->setSpacing(0);
    top->addWidget(pageArea, 0, Qt::AlignTop);
    top->addLayout(column);

    auto* all = new QVBoxLayout(this);
    all->setContentsMargins(0, 12, kPreviewOrigin, 12);
    all->addLayout(top);
    all->addLayout(buttons);
    all->setSizeConstraint(QLayout::SetFixedSize);
    LblProp->raise();
}

void TImprForm::Connect() {
    connect(ScrollBarZoom, &QScrollBar::valueChanged, this, [this](int position) {
        if (!m_showingScale) ScrollBarZoomScroll(position);
    });
    SEL->OnChange = [this] { SELChange(); };
    SEH->OnChange = [this] { SEHChange(); };
    SEX->OnChange = [this] { SEXYChange(); };
    SEY->OnChange = [this] { SEXYChange(); };
    connect(BOkTaille, &QPushButton::clicked, this, [this] { BOkTailleClick(); });
    connect(BOkMarges, &QPushButton::clicked, this, [this] { BOkMargesClick(); });
    connect(CBAjuster, &QCheckBox::clicked, this, [this] { CBAjusterClick(); });
    connect(CBCentrer, &QCheckBox::clicked, this, [this] { CBCentrerClick(); });
    connect(BConfigurer, &QPushButton::clicked, this, [this] { BConfigurerClick(); });
    connect(BImprimer, &QPushButton::clicked, this, [this] { BImprimerClick(); });
    connect(BAnnuler, &QPushButton::clicked, this, &QDialog::reject);
}

bool TImprForm::Execute(const TBitmap& image, const QString& filePath) {
    FormShow(image, filePath);
    adjustSize();
    CentreOnMainWindow(*this);
    const bool ok = exec() == QDialog::Accepted;
    if (!ok) ReleaseImage();
    return ok;
}

void TImprForm::FormShow(const TBitmap& image, const QString& filePath) {
    CBContours->setChecked(false);
    m_updating = false;
    m_image = image;
    m_filePath = filePath;
    ForgetPreview();
    m_target.SetLandscape(!(image.Width() < image.Height()));
    ReadPage();
    ResetLayout();
    LblProp->setText(QStringLiteral("%1 x %2 %3")
                         .arg(image.Width())
                         .arg(image.Height())
                         .arg(QStringLiteral("pixels")));
    BImprimer->setFocus();
}

void TImprForm::ReleaseImage() {
    m_image = TBitmap();
    ForgetPreview();
}

void TImprForm::ReadPage() {
    m_page = TPageGeometry(m_target.PageMetrics(), m_unit);
    m_box = PreviewBoxFor(m_page.Metrics());
    const QRect inner = PreviewInnerRect();
    LblProp->setGeometry(inner.left(), inner.bottom() + 1 + 8, inner.width(), 20);
}

int TImprForm::DisplayWidth() const {
    return PrintedDots(m_image.Width(), m_scale);
}

int TImprForm::DisplayHeight() const {
    return PrintedDots(m_image.Height(), m_scale);
}

void TImprForm::WriteField(TFloatSpinEdit* field, double value) {
    const bool was = m_updating;
    m_updating = true;
    field->SetValue(value);
    m_updating = was;
}

void TImprForm::UpdateEnabled() {
    const bool free = !CBAjuster->isChecked();
    CBCentrer->setEnabled(free);
    ScrollBarZoom->setEnabled(free);
    LabelZoom->setEnabled(free);
    GBTaille->setEnabled(free);
    GBMarges->setEnabled(!CBCentrer->isChecked());
}

void TImprForm::ResetLayout() {
    CBCentrer->setChecked(true);
    CBAjuster->setChecked(false);
    UpdateEnabled();
    m_fit = FitScale(m_page.Metrics(), m_image.Width(), m_image.Height());
    m_showingScale = true;
    ScrollBarZoom->setMaximum(ZoomScrollMax(m_fit));
    m_showingScale = false;
    m_scale = FirstScale(m_fit);
    ShowScale();
    ApplyScale();
    m_sizeEdited = false;
    m_positionEdited = false;
    update();
}

void TImprForm::ShowScale() {
    const int position = ZoomPosition(m_scale, ScrollBarZoom->maximum());
    m_showingScale = true;
    ScrollBarZoom->setValue(position);
    m_showingScale = false;
    LabelZoom->setText(QStringLiteral("Scale : %1%").arg(position * 10));
}

void TImprForm::ApplyScale() {
    if (CBAjuster->isChecked()) {
        m_scale = m_fit;
        ShowScale();
    }
    if (!m_updating) {
        WriteField(SEL, m_page.DotsToUnitsX(DisplayWidth()));
        WriteField(SEH, m_page.DotsToUnitsY(DisplayHeight()));
    }
    if (CBCentrer->isChecked()) PositionImage();
    update();
}

void TImprForm::PositionImage() {
    if (CBCentrer->isChecked()) {
        m_left = CentredOffset(m_page.Metrics().WidthDots, DisplayWidth());
        m_top = CentredOffset(m_page.Metrics().HeightDots, DisplayHeight());
        WriteField(SEX, m_page.DotsToUnitsX(m_left));
        WriteField(SEY, m_page.DotsToUnitsY(m_top));
    } else {
        m_left = m_page.UnitsToDotsX(SEX->Value());
        m_top = m_page.UnitsToDotsY(SEY->Value());
    }
    update();
}

void TImprForm::ScrollBarZoomScroll(int position) {
    LabelZoom->setText(QStringLiteral("Scale : %1%").arg(position * 10));
    m_scale = position / 10.0;
    ApplyScale();
}

void TImprForm::SELChange() {
    if (m_updating) return;
    WriteField(SEH, SEL->Value() / (double(m_image.Width()) / std::max(m_image.Height(), 1)));
    m_sizeEdited = true;
}

void TImprForm::SEHChange() {
    if (m_updating) return;
    WriteField(SEL, SEH->Value() * (double(m_image.Width()) / std::max(m_image.Height(), 1)));
    m_sizeEdited = true;
}

void TImprForm::SEXYChange() {
    if (!m_updating) m_positionEdited = true;
}

void TImprForm::ConfirmSize() {
    const TPageMetrics& m = m_page.Metrics();
    if (m_page.Landscape())
        m_scale = SEL->Value() / (std::max(m_image.Width(), 1) * m_page.WidthUnits() / m.WidthDots);
    else
        m_scale =
            SEH->Value() / (std::max(m_image.Height(), 1) * m_page.HeightUnits() / m.HeightDots);
    ShowScale();
    ApplyScale();
    m_sizeEdited = false;
}

void TImprForm::ConfirmPosition() {
    PositionImage();
    m_positionEdited = false;
}

bool TImprForm::BOkTailleClick() {
    if (!CheckFields()) return false;
    ConfirmSize();
    return true;
}

bool TImprForm::BOkMargesClick() {
    if (!CheckFields()) return false;
    ConfirmPosition();
    return true;
}

void TImprForm::CBAjusterClick() {
    if (CBAjuster->isChecked()) {
        CBCentrer->setChecked(true);
        ApplyScale();
    }
    UpdateEnabled();
    update();
}

void TImprForm::CBCentrerClick() {
    if (CBCentrer->isChecked()) PositionImage();
    UpdateEnabled();
    update();
}

void TImprForm::BConfigurerClick() {
    m_target.ShowSetup(this);
    ReadPage();
    ForgetPreview();
    ResetLayout();
}

bool TImprForm::BImprimerClick() {
    // A size or position typed and not confirmed takes effect before the margins are checked
    // against the free space it leaves; otherwise an image checked at its old size could be
    // printed partly off the page at the new one.
    const bool check = !CBAjuster->isChecked();
    if (check && !(CheckEmptyFields() && CheckSizeRanges())) return false;
    if (m_sizeEdited) ConfirmSize();
    if (m_positionEdited) ConfirmPosition();
    if (check && !CheckPositionRanges()) return false;
    m_target.SetTitle(QFileInfo(m_filePath).fileName());
    m_target.SetCopies(SECopies->Value());
    if (!m_target.PrepareJob(this)) return false;
    accept();
    return true;
}

TPrintLayout TImprForm::Layout() const {
    TPrintLayout layout;
    layout.ImageRect =
        ImageRectFromFields(m_page, SEX->Value(), SEY->Value(), SEL->Value(), SEH->Value());
    layout.OutlineOnly = CBContours->isChecked();
    layout.CropMarks = CBTraits->isChecked();
    layout.Marks = MarkLengths(m_page);
    layout.ImgW = m_image.Width();
    layout.ImgH = m_image.Height();
    return layout;
}

bool TImprForm::DialogKey(QObject* watched, const QKeyEvent& key) {
    const QString text = key.text();
    if (text == QLatin1String("+") || text == QLatin1String("-")) {
        if (qobject_cast<TCustomSpinEdit*>(watched) != nullptr) Beep();
        return true;
    }
    if (key.key() == Qt::Key_Escape) {
        reject();
        return true;
    }
    if (key.key() != Qt::Key_Return && key.key() != Qt::Key_Enter) return false;
    if (auto* field = qobject_cast<TFloatSpinEdit*>(watched)) {
        field->SetValue(field->Value());
        if (field == SEL || field == SEH) BOkTailleClick();
        if (field == SEX || field == SEY) BOkMargesClick();
        return true;
    }
    if (watched == SECopies) {
        SECopies->SetValue(SECopies->Value());
        return true;
    }
    return false;
}

bool TImprForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && DialogKey(watched, *static_cast<QKeyEvent*>(event)))
        return true;
    return QDialog::eventFilter(watched, event);
}

void TImprForm::keyPressEvent(QKeyEvent* event) {
    if (DialogKey(this, *event)) return;
    QDialog::keyPressEvent(event);
}
