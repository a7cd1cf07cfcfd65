// SPDX-License-Identifier: GPL-2.0-or-later
// The sequence manager's browsing side: drives, folders, the file pane with its file types, and
// the preview.
#include "viewer/SequenceForm.h"

#include "browse/FolderScan.h"
#include "core/StretchEx.h"
#include "formats/ImageFiles.h"
#include "formats/SaveFormats.h"
#include "viewer/FolderTree.h"
#include "viewer/PreviewBox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QListWidget>
#include <QPushButton>

namespace {

constexpr int kPreviewShadow = 3;
constexpr int kPreviewMargin = 2;

QString DriveText(const QString& root) {
    const QString text = QDir::toNativeSeparators(root);
#ifdef _WIN32
    return text.toUpper();
#else
    return text;
#endif
}

} // namespace

void TSequenceForm::FillFileTypes() {
    // The long masks (*.jpeg, *.tiff, *.rgba) stay: here no shorter mask also lists those files.
    const QStringList parts = BuildOpenFilter(false, true, true, false).split(u'|');
    const bool was = m_filling;
    m_filling = true;
    CmbTypes->clear();
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
        CmbTypes->addItem(parts[i], parts[i + 1]);
    CmbTypes->setCurrentIndex(0);
    m_filling = was;
    m_sequence.SetFolderMask(FileTypeMask(0));
}

QString TSequenceForm::FileTypeMask(int index) const {
    QString mask = CmbTypes->itemData(index).toString();
    mask.remove(u' ');
    return mask;
}

void TSequenceForm::ChangeFileType(int index) {
    if (index < 0) return;
    m_sequence.SetFolderMask(FileTypeMask(index));
    ReadFolder();
}

void TSequenceForm::FillDrives() {
    const QStringList drives = DriveRoots();
    if (drives == m_drives) return;
    m_drives = drives;
    const bool was = m_filling;
    m_filling = true;
    CmbLecteur->clear();
    for (const QString& root : m_drives)
        CmbLecteur->addItem(DriveText(root));
    m_filling = was;
}

void TSequenceForm::ChangeDrive(int index) {
    if (index >= 0 && index < m_drives.size()) ChangeFolder(m_drives[index]);
}

QString TSequenceForm::Folder() const {
    return m_sequence.Folder().isEmpty() ? QDir::currentPath() : m_sequence.Folder();
}

void TSequenceForm::ChangeFolder(const QString& folder) {
    m_sequence.SetFolder(folder);
    const QString drive = DriveOf(folder, m_drives);
    const bool was = m_filling;
    m_filling = true;
    CmbLecteur->setCurrentIndex(int(m_drives.indexOf(drive)));
    if (!drive.isEmpty() && drive != TVDossiers->Root()) TVDossiers->SetRoot(drive);
    TVDossiers->SelectFolder(folder);
    m_filling = was;
    ReadFolder();
    ClearPreview();
}

void TSequenceForm::ReadFolder() {
    const bool was = m_filling;
    m_filling = true;
    LBFichiers->clear();
    LBFichiers->addItems(
        ListFolder(Folder(), m_sequence.FolderMask(), m_sequence.ExtensionFilter()));
    m_filling = was;
    BAjouter->setEnabled(false);
}

QString TSequenceForm::SelectedFile() const {
    const QList<QListWidgetItem*> items = LBFichiers->selectedItems();
    return items.isEmpty() ? QString() : JoinPath(Folder(), items.front()->text());
}

void TSequenceForm::SelectFile(int row) {
    if (row < 0 || row >= LBFichiers->count()) {
        LBFichiers->clearSelection();
        LBFichiers->selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
    } else {
        LBFichiers->setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
    }
}

void TSequenceForm::LBFichiersChange() {
    const bool selected = !LBFichiers->selectedItems().isEmpty();
    BAjouter->setEnabled(selected);
    if (selected) ShowPreview(psFiles);
}

// A relative path of a loaded sequence names a file beside the sequence file when one is there.
QString TSequenceForm::PreviewPath(TPreviewSource source) const {
    if (source == psFiles) return SelectedFile();
    const int index = SelectedEntry();
    if (index < 0) return QString();
    const QString path = m_sequence.Entries()[index].Path;
    if (path.isEmpty() || QFileInfo(path).isAbsolute() || m_sequence.FileName().isEmpty())
        return path;
    const QString beside = QFileInfo(m_sequence.FileName()).absoluteDir().filePath(path);
    return QFileInfo::exists(beside) ? beside : path;
}

void TSequenceForm::ShowPreview(TPreviewSource source) {
    if (!CBApercu->isChecked()) return;
    const QString path = PreviewPath(source);
    TBitmap image;
    if (path.isEmpty() || LoadImagePreview(path, image) <= 0 || image.Empty()) {
        ClearPreview();
        return;
    }
    const QColor face = palette().color(QPalette::Window);
    TRect drawn;
    FittedPreview(image, ImgApercu->Picture(), clWhite, drawn,
                  RGBColor(face.red(), face.green(), face.blue()), kPreviewShadow, kPreviewMargin);
    ImgApercu->update();
}

void TSequenceForm::ClearPreview() {
    const QColor face = palette().color(QPalette::Window);
    NewImage(ImgApercu->Picture(), kSequencePreviewWidth, kSequencePreviewHeight,
             RGBColor(face.red(), face.green(), face.blue()));
    ImgApercu->update();
}

void TSequenceForm::CBApercuClick() {
    if (!CBApercu->isChecked())
        ClearPreview();
    else if (SelectedEntry() >= 0)
        ShowPreview(psList);
    else
        ShowPreview(psFiles);
}

const TBitmap& TSequenceForm::PreviewPicture() const {
    return ImgApercu->Picture();
}
