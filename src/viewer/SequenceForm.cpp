// SPDX-License-Identifier: GPL-2.0-or-later
// The sequence manager's construction, showing and closing, keys, drops and button states.
#include "viewer/SequenceForm.h"

#include "dialogs/DialogHost.h"
#include "viewer/FileChooser.h"
#include "viewer/FolderTree.h"
#include "viewer/PreviewBox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int kClientWidth = 571;
constexpr int kClientHeight = 411;

bool IsEnter(const QEvent* event) {
    if (event->type() != QEvent::KeyPress) return false;
    const int key = static_cast<const QKeyEvent*>(event)->key();
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

} // namespace

TSequenceForm::TSequenceForm(TImageSequence& sequence, IFileNameChooser& files, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_sequence(sequence), m_files(files) {
    ApplyDialogFont(*this);
    setWindowTitle(QStringLiteral("Images sequence"));
    BuildControls();
    FillFileTypes();
    FillDrives();
    Connect();
    setAcceptDrops(true);
    ClearPreview();
}

TSequenceForm::~TSequenceForm() {
    // The controls go after this object's own fields: none of their last signals may reach it.
    for (QObject* child : findChildren<QObject*>())
        child->disconnect(this);
}

void TSequenceForm::BuildControls() {
    CmbLecteur = new QComboBox(this);
    TVDossiers = new TFolderTree(this);
    LBFichiers = new QListWidget(this);
    LBFichiers->setSelectionMode(QAbstractItemView::SingleSelection);
    CmbTypes = new QComboBox(this);
    CBApercu = new QCheckBox(QStringLiteral("Preview"), this);
    CBApercu->setChecked(true);
    ImgApercu = new TPreviewBox(kSequencePreviewWidth, kSequencePreviewHeight, this);
    BAjouter = new QPushButton(QStringLiteral("Add"), this);
    BAjouterTout = new QPushButton(QStringLiteral("Add all"), this);
    LImages = new QLabel(QStringLiteral("Images to display :"), this);
    LBImages = new QListWidget(this);
    LBImages->setSelectionMode(QAbstractItemView::SingleSelection);
    BSupprimer = new QPushButton(QStringLiteral("Remove"), this);
    BSupprimerTout = new QPushButton(QStringLiteral("Remove all"), this);
    BMonter = new QPushButton(QStringLiteral("Up"), this);
    BDescendre = new QPushButton(QStringLiteral("Down"), this);
    LCommentaire = new QLabel(QStringLiteral("Image comment :"), this);
    EdiCommentaire = new QLineEdit(this);
    // A file dropped on the field is a file for the list, not text for the comment.
    EdiCommentaire->setAcceptDrops(false);
    LNombre = new QLabel(this);
    BCharger = new QPushButton(QStringLiteral("Load sequence"), this);
    BSauver = new QPushButton(QStringLiteral("Save sequence"), this);
    BOk = new QPushButton(QStringLiteral("OK"), this);
    BAnnuler = new QPushButton(QStringLiteral("Cancel"), this);

    auto* browse = new QVBoxLayout;
    browse->addWidget(CmbLecteur);
    browse->addWidget(TVDossiers, 1);
    auto* filePane = new QVBoxLayout;
    filePane->addWidget(LBFichiers, 1);
    filePane->addWidget(CmbTypes);
    auto* fileButtons = new QVBoxLayout;
    fileButtons->addWidget(CBApercu);
    fileButtons->addWidget(ImgApercu);
    fileButtons->addStretch();
    fileButtons->addWidget(BAjouter);
    fileButtons->addWidget(BAjouterTout);
    auto* top = new QHBoxLayout;
    top->addLayout(browse, 1);
    top->addLayout(filePane, 1);
    top->addLayout(fileButtons);

    auto* listButtons = new QVBoxLayout;
    for (QPushButton* b : {BSupprimer, BSupprimerTout, BMonter, BDescendre})
        listButtons->addWidget(b);
    listButtons->addStretch();
    auto* list = new QGridLayout;
    list->addWidget(LImages, 0, 0);
    list->addWidget(LBImages, 1, 0);
    list->addLayout(listButtons, 1, 1);
    list->addWidget(LCommentaire, 2, 0);
    list->addWidget(EdiCommentaire, 3, 0);
    list->addWidget(LNombre, 3, 1);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(BCharger);
    bottom->addWidget(BSauver);
    bottom->addStretch();
    bottom->addWidget(BOk);
    bottom->addWidget(BAnnuler);

    auto* all = new QVBoxLayout(this);
    all->addLayout(top, 1);
    all->addLayout(list, 1);
    all->addLayout(bottom);

    // Enter is the dialog's own key everywhere (see EnterKey), never a button's.
    for (QPushButton* b : findChildren<QPushButton*>())
        b->setAutoDefault(false);
    for (QWidget* w : std::initializer_list<QWidget*>{
             CmbLecteur, TVDossiers, LBFichiers, CmbTypes, CBApercu, BAjouter, BAjouterTout,
             LBImages, BSupprimer, BSupprimerTout, BMonter, BDescendre, EdiCommentaire, BCharger,
             BSauver, BOk, BAnnuler})
        w->installEventFilter(this);
    // The client size, unless the desktop font needs more room.
    setFixedSize(all->totalMinimumSize().expandedTo(QSize(kClientWidth, kClientHeight)));
}

void TSequenceForm::Connect() {
    connect(CmbLecteur, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (!m_filling) ChangeDrive(index);
    });
    TVDossiers->OnChange = [this](const QString& folder) { ChangeFolder(folder); };
    connect(LBFichiers, &QListWidget::itemSelectionChanged, this, [this] {
        if (!m_filling) LBFichiersChange();
    });
    connect(LBFichiers, &QListWidget::itemDoubleClicked, this, [this] {
        if (BAjouter->isEnabled()) BAjouterClick();
    });
    connect(CmbTypes, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (!m_filling) ChangeFileType(index);
    });
    connect(CBApercu, &QCheckBox::clicked, this, [this] { CBApercuClick(); });
    connect(LBImages, &QListWidget::itemSelectionChanged, this, [this] {
        if (!m_filling) LBImagesClick();
    });
    connect(EdiCommentaire, &QLineEdit::textEdited, this,
            [this](const QString& text) { EdiCommentaireChange(text); });
    connect(BAjouter, &QPushButton::clicked, this, [this] { BAjouterClick(); });
    connect(BAjouterTout, &QPushButton::clicked, this, [this] { BAjouterToutClick(); });
    connect(BSupprimer, &QPushButton::clicked, this, [this] { BSupprimerClick(); });
    connect(BSupprimerTout, &QPushButton::clicked, this, [this] { BSupprimerToutClick(); });
    connect(BMonter, &QPushButton::clicked, this, [this] { BMonterClick(); });
    connect(BDescendre, &QPushButton::clicked, this, [this] { BDescendreClick(); });
    connect(BCharger, &QPushButton::clicked, this, [this] { BChargerClick(); });
    connect(BSauver, &QPushButton::clicked, this, [this] { BSauverClick(); });
    connect(BOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(BAnnuler, &QPushButton::clicked, this, &QDialog::reject);
}

bool TSequenceForm::Execute() {
    return exec() == QDialog::Accepted;
}

void TSequenceForm::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) {
        CentreOnMainWindow(*this);
        FormShow();
    }
    QDialog::showEvent(event);
}

void TSequenceForm::FormShow() {
    SelectFile(-1);
    BAjouter->setEnabled(false);
    BAjouterTout->setEnabled(true);
    FillList();
    UpdateButtons();
    m_snapshot = m_sequence.Snapshot();
    FillDrives();
    ChangeFolder(Folder());
    (BOk->isEnabled() ? BOk : BAnnuler)->setFocus();
    ClearPreview();
}

void TSequenceForm::done(int result) {
    FormClose(result);
    QDialog::done(result);
}

void TSequenceForm::FormClose(int result) {
    if (!m_snapshot) return;
    if (result != QDialog::Accepted) {
        m_sequence.Restore(*m_snapshot);
        FillList();
        UpdateButtons();
    }
    m_snapshot.reset();
}

void TSequenceForm::UpdateButtons() {
    const int count = m_sequence.Count();
    const int selected = SelectedEntry();
    BOk->setEnabled(count > 0);
    BSupprimer->setEnabled(selected >= 0);
    BSupprimerTout->setEnabled(count > 0);
    BSauver->setEnabled(count > 0);
    BMonter->setEnabled(selected > 0);
    BDescendre->setEnabled(selected >= 0 && selected + 1 < count);
    LNombre->setText(
        (count > 1 ? QStringLiteral("%1 files") : QStringLiteral("%1 file")).arg(count));
    // Filling the field is not an edit: textEdited only reports the user's typing.
    const QString comment = selected >= 0 ? m_sequence.Entries()[selected].Comment : QString();
    if (EdiCommentaire->text() != comment) EdiCommentaire->setText(comment);
    EdiCommentaire->setEnabled(selected >= 0);
}

void TSequenceForm::keyPressEvent(QKeyEvent* event) {
    if (IsEnter(event)) {
        EnterKey(this);
        return;
    }
    QDialog::keyPressEvent(event);
}

bool TSequenceForm::eventFilter(QObject* watched, QEvent* event) {
    if (IsEnter(event)) return EnterKey(watched);
    if (event->type() == QEvent::FocusIn) {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        // Coming back to the window is not a move between its controls.
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            FocusEntered(watched);
    }
    return QDialog::eventFilter(watched, event);
}

// Enter in the comment field moves on to the list; anywhere else it is OK, when OK may be used.
bool TSequenceForm::EnterKey(QObject* watched) {
    if (watched == EdiCommentaire)
        LBImages->setFocus(Qt::TabFocusReason);
    else if (BOk->isEnabled())
        accept();
    return true;
}

void TSequenceForm::FocusEntered(QObject* watched) {
    if (watched == LBFichiers) {
        SelectEntry(-1);
        ClearPreview();
    } else if (watched == LBImages) {
        SelectFile(-1);
        BAjouter->setEnabled(false);
        ClearPreview();
    }
}

void TSequenceForm::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void TSequenceForm::dropEvent(QDropEvent* event) {
    QStringList paths;
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile()) paths << url.toLocalFile();
    event->acceptProposedAction();
    DropFiles(paths);
}

bool ShowSequenceManager(QWidget& owner, TImageSequence& sequence, IFileNameChooser& files) {
    auto* form = owner.findChild<TSequenceForm*>(QString(), Qt::FindDirectChildrenOnly);
    if (form == nullptr) form = new TSequenceForm(sequence, files, &owner);
    return form->Execute();
}
