// SPDX-License-Identifier: GPL-2.0-or-later
// The four pages of the settings dialog and the lists they offer.
#include "dialogs/ParamsForm.h"

#include "dialogs/ColorEditor.h"
#include "dialogs/Spin2.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

QStringList Items(std::initializer_list<const char*> texts) {
    QStringList items;
    for (const char* t : texts)
        items << QString::fromUtf8(t);
    return items;
}

QComboBox* List(const QStringList& items, QWidget* parent) {
    auto* list = new QComboBox(parent);
    list->addItems(items);
    list->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    return list;
}

TSpinEdit2* Spin(int min, int max, QWidget* parent) {
    auto* spin = new TSpinEdit2(parent);
    spin->SetMinValue(min);
    spin->SetMaxValue(max);
    spin->SetValue(min);
    return spin;
}

TColorEdit* Colour(QWidget* parent) {
    auto* edit = new TColorEdit(parent);
    edit->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    edit->SetColorDialog(TColorEdit::StandardColorDialog());
    return edit;
}

QGroupBox* Group(const char* title, QWidget* parent) {
    return new QGroupBox(QString::fromUtf8(title), parent);
}

} // namespace

QStringList ZoomItems() {
    return Items({"<None>", "<Fit to screen>", "<Fit on width>", "<Fit on height>", "33,33%", "50%",
                  "66,66%", "200%", "<Thumbnail>"});
}

QStringList TintItems() {
    return Items({"<Normal>", "Color (+)", "Color (-)", "Grayscale", "Sepia", "Blue", "Green",
                  "Red", "Yellow"});
}

QStringList AdjustmentItems() {
    return Items({"<Default>", "Brightness (+)", "Brightness (-)", "Contrast (+)", "Contrast (-)"});
}

QStringList FluidityItems() {
    return Items({"Very smooth", "Smooth", "Jerked", "Very jerked"});
}

QStringList RotationItems() {
    return Items({"None", "Allways landscape", "Allways portrait", "Rotate 180°", "Rotate 90° CW",
                  "Rotate 90° CCW", "Based on EXIF data"});
}

TRadioGroup::TRadioGroup(const QString& title, const QStringList& items, QWidget* parent)
    : QGroupBox(title, parent), m_group(new QButtonGroup(this)) {
    auto* column = new QVBoxLayout(this);
    for (int i = 0; i < items.size(); ++i) {
        auto* button = new QRadioButton(items[i], this);
        m_group->addButton(button, i);
        column->addWidget(button);
    }
}

int TRadioGroup::ItemIndex() const {
    return m_group->checkedId();
}

void TRadioGroup::SetItemIndex(int index) {
    if (index >= 0 && index < Count()) {
        m_group->button(index)->setChecked(true);
        return;
    }
    // An exclusive group keeps one button checked; it must let go to show no choice.
    m_group->setExclusive(false);
    for (QAbstractButton* b : m_group->buttons())
        b->setChecked(false);
    m_group->setExclusive(true);
}

QRadioButton* TRadioGroup::Button(int index) const {
    return qobject_cast<QRadioButton*>(m_group->button(index));
}

int TRadioGroup::Count() const {
    return int(m_group->buttons().size());
}

void TParamsForm::BuildControls() {
    Pages = new QTabWidget(this);
    Pages->addTab(BuildViewPage(), QStringLiteral("View"));
    Pages->addTab(BuildAdvancedPage(), QStringLiteral("Advanced"));
    Pages->addTab(BuildCommentPage(), QStringLiteral("Comment"));
    Pages->addTab(BuildMiscPage(), QStringLiteral("Misc"));

    BOk = new QPushButton(QStringLiteral("OK"), this);
    BAnnuler = new QPushButton(QStringLiteral("Cancel"), this);
    BSauver = new QPushButton(QStringLiteral("Save"), this);
    BOk->setDefault(true);
    // Enter means OK wherever the focus is, also on the other two buttons.
    BAnnuler->setAutoDefault(false);
    BSauver->setAutoDefault(false);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(BOk);
    buttons->addWidget(BAnnuler);
    buttons->addWidget(BSauver);
    buttons->addStretch();

    auto* all = new QHBoxLayout(this);
    all->addWidget(Pages);
    all->addLayout(buttons);
    all->setSizeConstraint(QLayout::SetFixedSize);
}

QWidget* TParamsForm::BuildViewPage() {
    auto* page = new QWidget;

    auto* background = Group(" Background ", page);
    ColorEditFond = Colour(background);
    CBMotif = new QCheckBox(QStringLiteral("Enable pattern"), background);
    auto* b = new QVBoxLayout(background);
    b->addWidget(ColorEditFond);
    b->addWidget(CBMotif);

    auto* zoom = Group(" Zoom ", page);
    CBZoom = List(ZoomItems(), zoom);
    CBReduction = new QCheckBox(QStringLiteral("Reduction only"), zoom);
    CBZoomOpt = new QCheckBox(QStringLiteral("Optimize"), zoom);
    auto* z = new QVBoxLayout(zoom);
    z->addWidget(CBZoom);
    z->addWidget(CBReduction);
    z->addWidget(CBZoomOpt);

    auto* stylize = Group(" Stylize ", page);
    CBCadrePhoto = new QCheckBox(QStringLiteral("Photo frame"), stylize);
    CBOmbre = new QCheckBox(QStringLiteral("Shadow"), stylize);
    CBCadre3D = new QCheckBox(QStringLiteral("Frame 3D"), stylize);
    CBRayures = new QCheckBox(QStringLiteral("Scanlines"), stylize);
    auto* s = new QGridLayout(stylize);
    s->addWidget(CBCadrePhoto, 0, 0);
    s->addWidget(CBOmbre, 0, 1);
    s->addWidget(CBCadre3D, 1, 0);
    s->addWidget(CBRayures, 1, 1);

    auto* adjust = Group(" Visualisation adjust ", page);
    CBTeinte = List(TintItems(), adjust);
    CBReglage = List(AdjustmentItems(), adjust);
    CBFlou = new QCheckBox(QStringLiteral("Blur"), adjust);
    auto* a = new QFormLayout(adjust);
    a->addRow(QStringLiteral("Hue :"), CBTeinte);
    a->addRow(QStringLiteral("Luminosity / Contrast :"), CBReglage);
    a->addRow(CBFlou);

    auto* grid = new QGridLayout(page);
    grid->addWidget(background, 0, 0);
    grid->addWidget(zoom, 0, 1);
    grid->addWidget(stylize, 1, 0);
    grid->addWidget(adjust, 1, 1);
    return page;
}

QWidget* TParamsForm::BuildAdvancedPage() {
    auto* page = new QWidget;

    auto* frame = Group(" Photo frame ", page);
    SEEpaisseurCadre = Spin(1, 50, frame);
    ColorEditCadre = Colour(frame);
    auto* f = new QFormLayout(frame);
    f->addRow(QStringLiteral("Width :"), SEEpaisseurCadre);
    f->addRow(QStringLiteral("Color :"), ColorEditCadre);

    auto* thumbnail = Group(" Thumbnail ", page);
    SETailleMaxVignette = Spin(50, 2000, thumbnail);
    CBAleatoire = new QCheckBox(QStringLiteral("Random position "), thumbnail);
    auto* t = new QFormLayout(thumbnail);
    t->addRow(QStringLiteral("Max size :"), SETailleMaxVignette);
    t->addRow(CBAleatoire);

    auto* slideshow = Group(" Slideshow ", page);
    SEDelaiDiaporama = Spin(1, 10, slideshow);
    CBBoucler = new QCheckBox(QStringLiteral("Loop"), slideshow);
    CBQuitter = new QCheckBox(QStringLiteral("Exit when finished"), slideshow);
    auto* d = new QFormLayout(slideshow);
    d->addRow(QStringLiteral("Delay (sec) :"), SEDelaiDiaporama);
    d->addRow(CBBoucler);
    d->addRow(CBQuitter);

    auto* scrolling = Group(" Scrolling ", page);
    CBScrollingAuto = new QCheckBox(QStringLiteral("Automatic"), scrolling);
    CBScrollingAutoSouris = new QCheckBox(QStringLiteral("With mouse"), scrolling);
    CBFluidite = List(FluidityItems(), scrolling);
    auto* r = new QFormLayout(scrolling);
    r->addRow(CBScrollingAuto);
    r->addRow(CBScrollingAutoSouris);
    r->addRow(QStringLiteral("Fluidity :"), CBFluidite);

    auto* grid = new QGridLayout(page);
    grid->addWidget(frame, 0, 0);
    grid->addWidget(thumbnail, 0, 1);
    grid->addWidget(slideshow, 1, 0);
    grid->addWidget(scrolling, 1, 1);
    return page;
}

QWidget* TParamsForm::BuildCommentPage() {
    auto* page = new QWidget;
    CBCommentaire = new QCheckBox(QStringLiteral("Display comment"), page);
    ColorEditCommentaire = Colour(page);
    SETailleCommentaire = Spin(8, 20, page);
    CBGras = new QCheckBox(QStringLiteral("Bold"), page);
    CBItalique = new QCheckBox(QStringLiteral("Italic"), page);
    CBSouligne = new QCheckBox(QStringLiteral("Underline"), page);
    RGCommentaire = new TRadioGroup(QStringLiteral(" Position "),
                                    Items({"Align on top", "Align on bottom"}), page);
    CBNomFic = new QCheckBox(QStringLiteral("Use filename by default"), page);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Color :"), ColorEditCommentaire);
    form->addRow(QStringLiteral("Font size :"), SETailleCommentaire);
    auto* styles = new QHBoxLayout;
    styles->addWidget(CBGras);
    styles->addWidget(CBItalique);
    styles->addWidget(CBSouligne);
    auto* column = new QVBoxLayout(page);
    column->addWidget(CBCommentaire);
    column->addLayout(form);
    column->addLayout(styles);
    column->addWidget(RGCommentaire);
    column->addWidget(CBNomFic);
    column->addStretch();
    return page;
}

QWidget* TParamsForm::BuildMiscPage() {
    auto* page = new QWidget;
    RGRotation =
        new TRadioGroup(QStringLiteral(" Rotation after opening image "), RotationItems(), page);
    CBCouleurs = new QCheckBox(QStringLiteral("Colour management"), page);
    auto* column = new QVBoxLayout(page);
    column->addWidget(RGRotation);
    column->addWidget(CBCouleurs);
    column->addStretch();
    return page;
}
