// SPDX-License-Identifier: GPL-2.0-or-later
// The seams the main window installs for the whole process. The readers, writers, dialogs and
// file commands live below the window and cannot hold a pointer to it, so they reach the user
// through process-wide seams: the dialogs' owner window, the file questions of the readers and
// the file commands, the hook before an image file is written, and the application-wide event
// filter. One main window runs per process; it installs them all here when it starts and takes
// them back when it goes.
#include "viewer/Main.h"

#include "dialogs/DialogHost.h"
#include "formats/ImageFiles.h"
#include "formats/UserSeam.h"

#include <QApplication>

void TMainForm::InstallProcessSeams() {
    SetDialogMainWindow(this);
    m_fileSeam = std::make_unique<TViewerFileSeam>(*m_files);
    SetFileUserSeam(m_fileSeam.get());
    InstallImageFileHook();
    qApp->installEventFilter(this);
}

void TMainForm::RemoveProcessSeams() {
    qApp->removeEventFilter(this);
    if (&FileUserSeam() == m_fileSeam.get()) SetFileUserSeam(nullptr);
    SetImageFileHook(nullptr);
    if (DialogMainWindow() == this) SetDialogMainWindow(nullptr);
}

void TMainForm::InstallImageFileHook() {
    // The window acts only before a JPEG or WebP file is written: the JPEG dialog sets its
    // quality and encoding (WebP takes the quality, its best meaning lossless), or stops the
    // save.
    SetImageFileHook(
        [this](TGraphic* graphic, const QString&, TImageFileStage stage, bool& go) {
            if (stage != ifsBeforeSave || !graphic || !(graphic->Is(gcJpeg) || graphic->Is(gcWebp)))
                return;
            const std::optional<TJpegChoice> choice = m_commandDialogs->JpegOptions();
            if (!choice) {
                go = false;
                return;
            }
            graphic->Quality = choice->Quality;
            graphic->Progressive = choice->Progressive;
        },
        /*watchesLoads=*/false);
}
