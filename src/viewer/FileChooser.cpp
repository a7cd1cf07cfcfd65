#include "viewer/FileChooser.h"

#include "dialogs/DialogHost.h"
#include "dialogs/UserDialogs.h"
#include "viewer/DirForm.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

QString WithoutDot(const QString& extension) {
    return extension.startsWith(u'.') ? extension.mid(1) : extension;
}

// A dialog of our own, set up the same way for every use.
void Prepare(QFileDialog& dialog, const TFileNameRequest& request) {
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setWindowTitle(request.Title);
    const QStringList filters = QtNameFilters(request.Filter);
    dialog.setNameFilters(filters);
    const int index = request.FilterIndex - 1;
    if (index >= 0 && index < filters.size()) dialog.selectNameFilter(filters[index]);
    dialog.setDefaultSuffix(WithoutDot(request.DefaultExtension));
    if (!request.Folder.isEmpty() && QFileInfo(request.Folder).isDir())
        dialog.setDirectory(request.Folder);
    if (!request.FileName.isEmpty()) {
        const QFileInfo proposed(request.FileName);
        if (proposed.isAbsolute() && QFileInfo(proposed.absolutePath()).isDir())
            dialog.setDirectory(proposed.absolutePath());
        dialog.selectFile(proposed.fileName());
    }
    ApplyDialogFont(dialog);
}

QString Chosen(QFileDialog& dialog) {
    if (dialog.exec() != QDialog::Accepted) return {};
    const QStringList files = dialog.selectedFiles();
    return files.isEmpty() ? QString() : files.front();
}

} // namespace

QStringList QtNameFilters(const QString& pipeFilter) {
    static const QRegularExpression trailingMasks(QStringLiteral("\\s*\\([^()]*\\)\\s*$"));
    const QStringList parts = pipeFilter.split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i];
        description.remove(trailingMasks);
        QStringList masks;
        for (const QString& mask : parts[i + 1].split(u';', Qt::SkipEmptyParts)) {
            const QString m = mask.trimmed();
            if (m.isEmpty()) continue;
            masks << (m == QLatin1String("*.*") ? QStringLiteral("*") : m);
        }
        filters << description + QStringLiteral(" (") + masks.join(u' ') + u')';
    }
    return filters;
}

QString TQtFileNameChooser::OpenName(const TFileNameRequest& request) {
    QFileDialog dialog(DialogOwner());
    Prepare(dialog, request);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    return Chosen(dialog);
}

QString TQtFileNameChooser::SaveName(const TFileNameRequest& request) {
    TFileNameRequest next = request;
    for (;;) {
        QFileDialog dialog(DialogOwner());
        Prepare(dialog, next);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        // The question about replacing a file goes through the program's own message box.
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
        const QString name = Chosen(dialog);
        if (name.isEmpty() || !QFileInfo::exists(name)) return name;
        const QString question =
            QStringLiteral("%1 already exists.\rDo you want to replace it?").arg(name);
        if (UserDialogs().Message(question, mkConfirmation, mbYesNo) == mrYes) return name;
        next.FileName = name;
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

QString TViewerFileSeam::ChooseOpenName(const TOpenNameRequest& request, bool&) {
    TFileNameRequest r;
    r.Title = QStringLiteral("Open image");
    r.Filter = request.Filter;
    r.Folder = request.InitialFolder;
    return m_chooser.OpenName(r);
}

QString TViewerFileSeam::ChooseSaveName(const TSaveNameRequest& request) {
    TFileNameRequest r;
    r.Title = QStringLiteral("Save image as");
    r.Filter = request.Filter;
    r.FilterIndex = request.FilterIndex;
    r.DefaultExtension = request.DefaultExtension;
    r.Folder = request.InitialFolder;
    r.FileName = request.FileName;
    return m_chooser.SaveName(r);
}

void TViewerFileSeam::ProcessPendingEvents() {
    QCoreApplication::processEvents();
}
