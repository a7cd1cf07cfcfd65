// SPDX-License-Identifier: GPL-2.0-or-later
#include "viewer/FileChooser.h"

#include "dialogs/DialogHost.h"
#include "dialogs/MyDlgs.h"
#include "dialogs/UserDialogs.h"
#include "viewer/DirForm.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>

namespace {

void Prepare(TOpenDialogEx& dialog, const TFileNameRequest& request, unsigned options) {
    dialog.Title = request.Title;
    dialog.Filter = request.Filter;
    dialog.FilterIndex = request.FilterIndex;
    dialog.DefaultExt = request.DefaultExtension;
    dialog.InitialDir = request.Folder;
    dialog.FileName = request.FileName;
    dialog.Options = request.Resizable ? options | ofEnableSizing : options & ~ofEnableSizing;
}

QString Chosen(QFileDialog& dialog) {
    if (dialog.exec() != QDialog::Accepted) return {};
    const QStringList files = dialog.selectedFiles();
    return files.isEmpty() ? QString() : files.front();
}

} // namespace

QStringList QtNameFilters(const QString& pipeFilter) {
    QStringList filters;
    for (const TFilterEntry& entry : SplitFilter(pipeFilter))
        filters << QtNameFilter(entry);
    return filters;
}

QString TQtFileNameChooser::OpenName(const TFileNameRequest& request) {
    const unsigned options = ofHideReadOnly | ofFileMustExist | ofEnableSizing;
    if (request.Preview == nullptr) {
        TOpenDialogEx dialog;
        Prepare(dialog, request, options);
        return dialog.Execute() ? dialog.FileName : QString();
    }
    TOpenPictureDialog dialog;
    Prepare(dialog, request, options);
    dialog.SetPreview(*request.Preview);
    const bool chosen = dialog.Execute();
    *request.Preview = dialog.Preview();
    return chosen ? dialog.FileName : QString();
}

QString TQtFileNameChooser::SaveName(const TFileNameRequest& request) {
    TFileNameRequest next = request;
    for (;;) {
        TMySaveDialog dialog;
        // The question about replacing a file goes through the program's own message box.
        Prepare(dialog, next, ofHideReadOnly | ofPathMustExist | ofEnableSizing);
        const QString name = dialog.Execute() ? dialog.FileName : QString();
        if (name.isEmpty() || !QFileInfo::exists(name)) return name;
        const QString question =
            QStringLiteral("%1 already exists.\rDo you want to replace it?").arg(name);
        if (UserDialogs().Message(question, mkConfirmation, mbYesNo) == mrYes) return name;
        next.FileName = name;
        next.FilterIndex = dialog.FilterIndex;
    }
}

QString TQtFileNameChooser::FolderName(const QString& title, const QString& folder) {
    QFileDialog dialog(DialogOwner());
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setWindowTitle(title);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    if (QFileInfo(folder).isDir()) dialog.setDirectory(folder);
    ApplyDialogFont(dialog);
    return Chosen(dialog);
}

QString IFileNameChooser::ChooseFolder(const QString& caption, const QString& message,
                                       const QString& folder) {
    TDirForm form(DialogOwner(), [this](const QString& title, const QString& start) {
        return FolderName(title, start);
    });
    return form.Execute(caption, message, folder);
}

int TViewerFileSeam::MessageBox(const QString& text, TMsgKind kind, unsigned buttons) {
    return UserDialogs().Message(text, kind, buttons);
}

QString TViewerFileSeam::ChooseOpenName(const TOpenNameRequest& request, bool& preview) {
    TFileNameRequest r;
    r.Preview = &preview;
    r.Resizable = request.Resizable;
    r.Filter = request.Filter;
    r.Folder = request.InitialFolder;
    return m_chooser.OpenName(r);
}

QString TViewerFileSeam::ChooseSaveName(const TSaveNameRequest& request) {
    TFileNameRequest r;
    r.Filter = request.Filter;
    r.FilterIndex = request.FilterIndex;
    r.DefaultExtension = request.DefaultExtension;
    r.Folder = request.InitialFolder;
    r.FileName = request.FileName;
    r.Resizable = request.Resizable;
    return m_chooser.SaveName(r);
}

void TViewerFileSeam::ProcessPendingEvents() {
    QCoreApplication::processEvents();
}
