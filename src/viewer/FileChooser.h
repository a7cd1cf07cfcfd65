// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// How the main window asks the user for file and folder names, and the file layer's user seam
// built on it. The program uses the Qt file dialogs (never the desktop's native ones, so that
// they look and behave the same everywhere); tests install scripted choosers.

#include "formats/UserSeam.h"

#include <QString>
#include <QStringList>

struct TFileNameRequest {
    QString Title;
    QString Filter;           // "description|masks|description|masks..."
    int FilterIndex = 1;      // 1-based entry selected on entry
    QString DefaultExtension; // without dot; added to a name typed without one
    QString Folder;           // starting folder; may be empty
    QString FileName;         // proposed name; may be empty
    bool Resizable = true;
    // Images: the open dialog shows its preview pane in this state and gives the state back.
    bool* Preview = nullptr;
};

class IFileNameChooser {
public:
    virtual ~IFileNameChooser() = default;
    // An existing file, or empty when cancelled.
    virtual QString OpenName(const TFileNameRequest& request) = 0;
    // A name in an existing folder; replacing an existing file was confirmed. Empty: cancelled.
    virtual QString SaveName(const TFileNameRequest& request) = 0;
    virtual QString FolderName(const QString& title, const QString& folder) = 0;
    // The folder-choice dialog (TDirForm) with caption and message, starting with folder; its
    // button opens FolderName. The folder on Ok, empty on Cancel.
    virtual QString ChooseFolder(const QString& caption, const QString& message,
                                 const QString& folder);
};

class TQtFileNameChooser : public IFileNameChooser {
public:
    QString OpenName(const TFileNameRequest& request) override;
    QString SaveName(const TFileNameRequest& request) override;
    QString FolderName(const QString& title, const QString& folder) override;
};

// The name filters of a Qt file dialog for a "description|masks|..." filter: each entry becomes
// "description (masks)" with the masks separated by spaces; a description that already ends
// with its masks in brackets keeps only its text. "*.*" stands for every file.
QStringList QtNameFilters(const QString& pipeFilter);

// The file layer's seam: messages through the program's message box (UserDialogs()), names
// through a chooser (not owned).
class TViewerFileSeam : public IFileUserSeam {
public:
    explicit TViewerFileSeam(IFileNameChooser& chooser) : m_chooser(chooser) {}

    int MessageBox(const QString& text, TMsgKind kind, unsigned buttons) override;
    QString ChooseOpenName(const TOpenNameRequest& request, bool& preview) override;
    QString ChooseSaveName(const TSaveNameRequest& request) override;
    void ProcessPendingEvents() override;

private:
    IFileNameChooser& m_chooser;
};
