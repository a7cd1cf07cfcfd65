// SPDX-License-Identifier: GPL-2.0-or-later
// "Save image as...", the JPEG options asked before a JPEG or WebP file is written, and
// printing.
#include "viewer/Main.h"

#include "formats/ImageFiles.h"
#include "viewer/MainView.h"

#include <QFileInfo>
#include <cmath>

TBitmap TMainForm::ScreenPicture() const {
    const double r = PixelRatio();
    const QPoint offset = ClientOffset();
    const QRect client(0, 0, int(std::ceil((offset.x() + m_view->width()) * r)),
                       int(std::ceil((offset.y() + m_view->height()) * r)));
    return TBitmap(m_buffer.Image().copy(client.intersected(m_buffer.Image().rect())));
}

void TMainForm::SaveImageCommand() {
    if (m_image.Empty()) return;
    StopAnimation();
    if (m_fullScreen) {
        const std::optional<TSaveScope> scope = m_commandDialogs->SaveScope();
        if (!scope) return;
        if (*scope == TSaveScope::FullScreen) {
            const QFileInfo file(m_currentFile);
            QString name;
            if (SaveImageFile(name, ScreenPicture(),
                              file.absolutePath() + QStringLiteral("/Scr_") + file.fileName()) == 1)
                FileTouched(name);
            return;
        }
    }
    QString name;
    if (SaveImageFile(name, m_image, m_currentFile) != 1) return;
    FileTouched(name);
    m_currentFile = QFileInfo(name).absoluteFilePath();
    m_undoKind = -1;
    // The file shown now holds this one picture.
    EndAnimation();
    m_page = 0;
    m_pageCount = 1;
    UpdateStatus();
}

void TMainForm::PrintCommand() {
    if (m_image.Empty() || m_slideshow.On() || !m_printersAvailable) return;
    StopAnimation();
    m_commandDialogs->Print(m_image, m_currentFile, m_settings.unit);
}
