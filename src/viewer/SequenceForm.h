// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// "Images sequence": the modal dialog in which the user builds the image list by hand. Folders
// are browsed on the left, their image files listed in the file pane with a preview, and the
// list is edited on the right: add, add all, remove, reorder, comment, load and save. Cancel
// (and the window's close box, and Escape) puts back the entries, comments and current entry
// the list had when the dialog opened; the modified mark and the sequence file name keep what
// the actions gave them.
//
// The list itself is owned by the main window; the dialog edits it in place. Messages go
// through UserDialogs(), file names through the chooser it is given.

#include "browse/ImageSequence.h"
#include "core/Bitmap.h"

#include <QDialog>
#include <optional>

class IFileNameChooser;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class TFolderTree;
class TPreviewBox;

inline constexpr int kSequencePreviewWidth = 92;
inline constexpr int kSequencePreviewHeight = 67;

// Where a preview comes from.
enum TPreviewSource { psFiles, psList };

class TSequenceForm : public QDialog {
    Q_OBJECT
public:
    TSequenceForm(TImageSequence& sequence, IFileNameChooser& files, QWidget* parent = nullptr);
    ~TSequenceForm() override;

    // Shows the dialog modally; true on OK.
    bool Execute();

    // What showing does (also run by showEvent): fresh file pane, buttons, snapshot, focus.
    void FormShow();
    // What closing does (also run by done): unless OK, the snapshot is put back.
    void FormClose(int result);
    bool SnapshotTaken() const { return m_snapshot.has_value(); }

    void UpdateButtons();
    void ShowPreview(TPreviewSource source);
    void ClearPreview();

    // The folder of the folder pane and the file pane; also the list's folder.
    QString Folder() const;
    void ChangeFolder(const QString& folder);
    // The drive box's choice: the folder pane shows that drive, whose root becomes the folder.
    void ChangeDrive(int index);
    // The file-type box's choice: the masks of the file pane and of the list's listings.
    void ChangeFileType(int index);
    // The masks of file type index of the box.
    QString FileTypeMask(int index) const;

    // The file pane's selected file as a full path, or empty.
    QString SelectedFile() const;
    // The list's selected entry, or -1.
    int SelectedEntry() const;
    void SelectFile(int row);  // -1 clears; as a click in the file pane
    void SelectEntry(int row); // -1 clears; as a click in the list

    void BAjouterClick();
    void BAjouterToutClick();
    void BSupprimerClick();
    void BSupprimerToutClick();
    void BMonterClick();
    void BDescendreClick();
    void BChargerClick();
    void BSauverClick();
    void CBApercuClick();
    // Of the dropped files only the first counts; its type must be the file-type box's.
    void DropFiles(const QStringList& paths);

    TImageSequence& Sequence() { return m_sequence; }
    const TBitmap& PreviewPicture() const;

    QComboBox* CmbLecteur;
    TFolderTree* TVDossiers;
    QListWidget* LBFichiers;
    QComboBox* CmbTypes;
    QCheckBox* CBApercu;
    TPreviewBox* ImgApercu;
    QPushButton* BAjouter;
    QPushButton* BAjouterTout;
    QLabel* LImages;
    QListWidget* LBImages;
    QPushButton* BSupprimer;
    QPushButton* BSupprimerTout;
    QPushButton* BMonter;
    QPushButton* BDescendre;
    QLabel* LCommentaire;
    QLineEdit* EdiCommentaire;
    QLabel* LNombre;
    QPushButton* BCharger;
    QPushButton* BSauver;
    QPushButton* BOk;
    QPushButton* BAnnuler;

public slots:
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void BuildControls();
    void Connect();
    void FillFileTypes();
    void FillDrives();
    void ReadFolder();
    void FillList();
    // Appends path as "Add" does, moving the file pane's selection on to the next file.
    void AddPath(const QString& path);
    void LBFichiersChange();
    void LBImagesClick();
    void EdiCommentaireChange(const QString& text);
    void FocusEntered(QObject* watched);
    bool EnterKey(QObject* watched);
    QString PreviewPath(TPreviewSource source) const;

    TImageSequence& m_sequence;
    IFileNameChooser& m_files;
    std::optional<TImageSequence::TSnapshot> m_snapshot;
    QStringList m_drives;
    bool m_filling = false; // controls are being filled by the program, not by the user
};

// The main window's sequence manager: created on first use as a child of owner and kept, then
// shown modally. True on OK.
bool ShowSequenceManager(QWidget& owner, TImageSequence& sequence, IFileNameChooser& files);
