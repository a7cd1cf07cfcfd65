// SPDX-License-Identifier: GPL-2.0-or-later
// The commands on the shown image's file: rename, move, copy, send to the trash, and the
// folder-choice dialog of move and copy. None of them ever replaces an existing file.
#include "viewer/Main.h"

#include "browse/FileOps.h"
#include "browse/Trash.h"
#include "dialogs/UserDialogs.h"

#include <QDir>
#include <QFileInfo>

namespace {

const QString kIdentical = QStringLiteral("The name or the path are identical !");

QString Native(const QString& path) {
    return QDir::toNativeSeparators(path);
}

// "Rename image \"%s\"\rto \"%s\" ?" and its siblings. Only Yes goes on: a box closed without
// an answer does not touch the file.
bool Confirmed(const QString& verb, const QString& from, const QString& to) {
    const QString text =
        QStringLiteral("%1 image \"%2\"\rto \"%3\" ?").arg(verb, Native(from), Native(to));
    return UserDialogs().Message(text, mkConfirmation, mbYesNo) == mrYes;
}

void Warn(const QString& text) {
    UserDialogs().Message(text, mkWarning, mbOk);
}

bool SameFile(const QString& a, const QString& b) {
    const QFileInfo fa(a), fb(b);
    if (fa.absoluteFilePath() == fb.absoluteFilePath()) return true;
    const QString ca = fa.canonicalFilePath(), cb = fb.canonicalFilePath();
    return !ca.isEmpty() && ca == cb;
}

} // namespace

bool TMainForm::CurrentEntryIs(const QString& path) const {
    const int current = m_sequence.Current();
    if (current < 0 || current >= m_sequence.Count() || path.isEmpty()) return false;
    return SameFile(ListPath(m_sequence.Entries()[current].Path), path);
}

QString TMainForm::ChooseFolder(const QString& caption, const QString& message) {
    // The settings file's folder when it names one, else the default folder of the moment.
    m_settings.cdir.clear();
    QString folder = m_store->ReadChosenFolder();
    if (!QFileInfo(folder).isDir()) folder = m_settings.defdir;
    const QString chosen = m_files->ChooseFolder(caption, message, folder);
    if (!chosen.isEmpty()) m_store->WriteChosenFolder(chosen);
    raise();
    activateWindow();
    return chosen;
}

QString TMainForm::FolderTarget(const QString& folder) const {
    return QDir::cleanPath(folder) + u'/' + QFileInfo(m_currentFile).fileName();
}

void TMainForm::RenameCommand() {
    if (m_image.Empty() || m_currentFile.isEmpty()) return;
    const QFileInfo file(m_currentFile);
    const QString extension = file.suffix().isEmpty() ? QString() : QString(u'.' + file.suffix());
    QString name = file.suffix().isEmpty() ? file.fileName() : file.completeBaseName();
    if (!UserDialogs().Input(QStringLiteral("Rename image"),
                             QStringLiteral("Input a new name (extension is preserved) :"), name))
        return;
    const QString target = file.absolutePath() + u'/' + name + extension;
    if (target == m_currentFile) {
        Warn(kIdentical);
        return;
    }
    if (!Confirmed(QStringLiteral("Rename"), m_currentFile, target)) return;
    if (RenameNoReplace(m_currentFile, target) != 0) {
        Warn(QStringLiteral("Can not rename this image !"));
        return;
    }
    FileTouched(m_currentFile);
    FileTouched(target);
    if (CurrentEntryIs(m_currentFile)) m_sequence.RenameCurrent(target);
    m_currentFile = target;
    UpdateStatus();
}

void TMainForm::MoveCommand() {
    if (m_image.Empty() || m_currentFile.isEmpty()) return;
    const QString folder =
        ChooseFolder(QStringLiteral("Confirm"), QStringLiteral("Move image to :"));
    if (folder.isEmpty()) return;
    const QString target = FolderTarget(folder);
    if (target == m_currentFile) {
        Warn(kIdentical);
        return;
    }
    if (!Confirmed(QStringLiteral("Move"), m_currentFile, target)) return;
    const QString moved = m_currentFile;
    if (MoveNoReplace(moved, target) != 0) {
        Warn(QStringLiteral("Can not move this image !"));
        return;
    }
    FileTouched(moved);
    FileTouched(target);
    AfterFileRemoved(moved);
}

void TMainForm::CopyCommand() {
    if (m_image.Empty() || m_currentFile.isEmpty()) return;
    const QString folder =
        ChooseFolder(QStringLiteral("Confirm"), QStringLiteral("Copy image to :"));
    if (folder.isEmpty()) return;
    const QString target = FolderTarget(folder);
    if (target == m_currentFile) {
        Warn(kIdentical);
        return;
    }
    if (!Confirmed(QStringLiteral("Copy"), m_currentFile, target)) return;
    if (CopyNoReplace(m_currentFile, target) != 0)
        Warn(QStringLiteral("Can not copy this image !"));
    else
        FileTouched(target);
}

void TMainForm::DeleteCommand() {
    if (m_image.Empty() || m_currentFile.isEmpty()) return;
    if (UserDialogs().Message(QStringLiteral("Do you want to send this image to the recycle bin ?"),
                              mkConfirmation, mbYesNo) != mrYes)
        return;
    const QString deleted = m_currentFile;
    if (MoveToTrash(deleted, HomeTrashFolder()).Error != 0) {
        Warn(QStringLiteral("Can not send this image to the recycle bin !"));
        return;
    }
    FileTouched(deleted);
    AfterFileRemoved(deleted);
}

void TMainForm::AfterFileRemoved(const QString& path) {
    // Only the entry of that file leaves the list; an image shown from outside the list leaves
    // the list as it was.
    if (CurrentEntryIs(path)) m_sequence.RemoveCurrent();
    const QString next = m_sequence.CurrentPath();
    if (!next.isEmpty()) {
        OpenFromList(next);
        return;
    }
    EndAnimation();
    m_image.Clear();
    m_currentFile.clear();
    m_page = 0;
    m_pageCount = 1;
    m_manualZoom = false;
    m_zoom->Recompute();
    Refresh();
}
