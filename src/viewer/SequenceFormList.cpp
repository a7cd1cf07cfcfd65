// SPDX-License-Identifier: GPL-2.0-or-later
// The sequence manager's list: adding, removing, reordering, comments, dropped files and
// sequence files.
#include "viewer/SequenceForm.h"

#include "browse/FolderScan.h"
#include "core/Errors.h"
#include "dialogs/UserDialogs.h"
#include "viewer/FileChooser.h"

#include <QComboBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace {

QString FolderOf(const QString& file) {
    return file.isEmpty() ? QString() : QFileInfo(file).absolutePath();
}

} // namespace

int TSequenceForm::SelectedEntry() const {
    const QList<QListWidgetItem*> items = LBImages->selectedItems();
    return items.isEmpty() ? -1 : LBImages->row(items.front());
}

void TSequenceForm::SelectEntry(int row) {
    if (row < 0 || row >= LBImages->count()) {
        LBImages->clearSelection();
        LBImages->selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
    } else {
        LBImages->setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
    }
}

// The list widget shows the entries' paths; its selection is the list's current entry.
void TSequenceForm::FillList() {
    const bool was = m_filling;
    m_filling = true;
    LBImages->clear();
    for (const TSequenceEntry& e : m_sequence.Entries())
        LBImages->addItem(e.Path);
    SelectEntry(m_sequence.Current());
    m_filling = was;
}

void TSequenceForm::LBImagesClick() {
    m_sequence.SetCurrent(SelectedEntry());
    UpdateButtons();
    ShowPreview(psList);
}

void TSequenceForm::AddPath(const QString& path) {
    m_sequence.AddImage(path);
    const bool was = m_filling;
    m_filling = true;
    LBImages->addItem(path);
    m_filling = was;
    // Repeated clicks add consecutive files.
    const QList<QListWidgetItem*> files = LBFichiers->selectedItems();
    if (!files.isEmpty()) {
        const int row = LBFichiers->row(files.front());
        if (row + 1 < LBFichiers->count()) SelectFile(row + 1);
    }
    UpdateButtons();
}

void TSequenceForm::BAjouterClick() {
    const QString path = SelectedFile();
    if (!path.isEmpty()) AddPath(path);
}

void TSequenceForm::BAjouterToutClick() {
    m_sequence.FillFromFolder(QString(), false, true);
    FillList();
    UpdateButtons();
}

void TSequenceForm::BSupprimerClick() {
    const int index = SelectedEntry();
    if (index < 0) return;
    m_sequence.SetCurrent(index);
    m_sequence.RemoveAt(index);
    FillList();
    UpdateButtons();
    ShowPreview(psList);
}

void TSequenceForm::BSupprimerToutClick() {
    m_sequence.RemoveAll();
    FillList();
    UpdateButtons();
    ShowPreview(psFiles);
}

void TSequenceForm::BMonterClick() {
    const int index = SelectedEntry();
    if (index <= 0) return;
    m_sequence.SetCurrent(index);
    m_sequence.MoveUp(index);
    FillList();
    UpdateButtons();
}

void TSequenceForm::BDescendreClick() {
    const int index = SelectedEntry();
    if (index < 0 || index + 1 >= m_sequence.Count()) return;
    m_sequence.SetCurrent(index);
    m_sequence.MoveDown(index);
    FillList();
    UpdateButtons();
}

void TSequenceForm::EdiCommentaireChange(const QString& text) {
    const int index = SelectedEntry();
    if (index >= 0) m_sequence.SetComment(index, text);
}

void TSequenceForm::DropFiles(const QStringList& paths) {
    if (paths.isEmpty()) return;
    const QString path = paths.front();
    // The whole extension must be one of the chosen file type's: "x.jp" is no JPEG file.
    const QString extension = QFileInfo(path).suffix().toLower();
    if (extension.isEmpty() ||
        !MaskExtensions(FileTypeMask(CmbTypes->currentIndex())).contains(extension)) {
        UserDialogs().Message(QStringLiteral("Invalid image file format !"), mkInformation, mbOk);
        return;
    }
    AddPath(path);
}

void TSequenceForm::BChargerClick() {
    TFileNameRequest request;
    request.Title = QStringLiteral("Load sequence");
    request.Filter = QStringLiteral("Sequence files (*.stl)|*.stl");
    request.DefaultExtension = QStringLiteral("stl");
    request.Folder = FolderOf(m_sequence.FileName());
    const QString name = m_files.OpenName(request);
    if (name.isEmpty()) return;
    try {
        m_sequence.LoadSequenceFile(name);
    } catch (const ETaveluneError& e) {
        UserDialogs().Message(QString::fromStdString(e.what()), mkError, mbOk);
    }
    // A read that failed half-way keeps what it read: the list shows it.
    FillList();
    UpdateButtons();
}

void TSequenceForm::BSauverClick() {
    TFileNameRequest request;
    request.Title = QStringLiteral("Save sequence");
    request.Filter = QStringLiteral("Sequence file (*.stl)|*.stl");
    request.DefaultExtension = QStringLiteral("stl");
    request.FileName = m_sequence.FileName();
    request.Folder = FolderOf(m_sequence.FileName());
    const QString name = m_files.SaveName(request);
    if (name.isEmpty()) return;
    try {
        m_sequence.SaveSequenceFile(name);
    } catch (const ETaveluneError& e) {
        UserDialogs().Message(QString::fromStdString(e.what()), mkError, mbOk);
    }
}
