// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// How the image-file layer reaches the user: the message box and the choice of a file name to
// open or save. The windowed program installs its dialogs; tests install scripted answers.
// Without either, messages go to the standard error stream and no name is ever chosen.

#include "core/MessageKinds.h"

#include <QString>

struct TOpenNameRequest {
    QString Filter;        // "description|masks|description|masks..."
    QString InitialFolder; // may be empty
    bool Resizable = true;
    bool Preview = true; // the preview pane's state on entry
    // Fixed choices of this dialog: the file must exist, no read-only box.
};

struct TSaveNameRequest {
    QString Filter;
    int FilterIndex = 1;      // 1-based entry selected on entry
    QString DefaultExtension; // ".bmp"
    QString InitialFolder;    // may be empty
    QString FileName;         // may be empty
    bool Resizable = true;
    // Fixed choices: ask before overwriting, the path must exist, no read-only box.
};

class IFileUserSeam {
public:
    virtual ~IFileUserSeam() = default;
    // Returns mrYes, mrNo, mrOk or mrCancel for the button pressed.
    virtual int MessageBox(const QString& text, TMsgKind kind, unsigned buttons) = 0;
    // Returns the chosen name, or empty when cancelled; preview receives the pane's state.
    virtual QString ChooseOpenName(const TOpenNameRequest& request, bool& preview) = 0;
    virtual QString ChooseSaveName(const TSaveNameRequest& request) = 0;
    // Handles the window events that piled up while a dialog was open.
    virtual void ProcessPendingEvents() {}
};

// Messages to standard error; no name chosen.
class TConsoleUserSeam : public IFileUserSeam {
public:
    int MessageBox(const QString& text, TMsgKind kind, unsigned buttons) override;
    QString ChooseOpenName(const TOpenNameRequest& request, bool& preview) override;
    QString ChooseSaveName(const TSaveNameRequest& request) override;
};

IFileUserSeam& FileUserSeam();
// Installs a seam (not owned; nullptr restores the console one).
void SetFileUserSeam(IFileUserSeam* seam);
