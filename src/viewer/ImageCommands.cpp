// SPDX-License-Identifier: GPL-2.0-or-later
// The edits of the working image: flips and turns, the resize, the one-step undo, the copy to
// the clipboard and the image's comment.
#include "viewer/Main.h"

#include "core/ColorAdjust.h"
#include "core/FlipRotate.h"
#include "core/StretchEx.h"
#include "dialogs/UserDialogs.h"
#include "formats/ImageFiles.h"

#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>

namespace {

enum TUndoKind {
    ukNone = -1,
    ukFlipVertical = 0,
    ukFlipHorizontal = 1,
    ukRotateCW = 2,
    ukRotateCCW = 3,
    ukRotateHalf = 4,
    ukImageSize = 5,
};

// The hourglass for the time of a long edit.
class TWaitCursor {
public:
    TWaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~TWaitCursor() { QApplication::restoreOverrideCursor(); }
    TWaitCursor(const TWaitCursor&) = delete;
    TWaitCursor& operator=(const TWaitCursor&) = delete;
};

// Applies one flip or turn; true when width and height swapped.
bool ApplyTurn(TBitmap& image, int kind) {
    switch (kind) {
    case ukFlipVertical:
        FlipVertical(image);
        return false;
    case ukFlipHorizontal:
        FlipHorizontal(image);
        return false;
    case ukRotateCW:
        Rotate90(image, true);
        return true;
    case ukRotateCCW:
        Rotate90(image, false);
        return true;
    case ukRotateHalf:
        Rotate180(image);
        return false;
    default:
        return false;
    }
}

// The edit that takes a flip or turn back.
int InverseTurn(int kind) {
    switch (kind) {
    case ukRotateCW:
        return ukRotateCCW;
    case ukRotateCCW:
        return ukRotateCW;
    default:
        return kind;
    }
}

} // namespace

void TMainForm::TurnCommand(int undoKind) {
    if (m_image.Empty() || undoKind < ukFlipVertical || undoKind > ukRotateHalf) return;
    StopAnimation();
    const bool swapped = ApplyTurn(m_image, undoKind);
    m_manualZoom = false;
    if (swapped) m_zoom->Recompute();
    Refresh();
    m_undoKind = undoKind;
}

void TMainForm::ImageSizeCommand() {
    if (m_image.Empty()) return;
    StopAnimation();
    const std::optional<TResizeChoice> choice =
        m_commandDialogs->ImageSize(m_image.Width(), m_image.Height(), m_image.Transparent());
    if (!choice) return;
    TWaitCursor wait;
    ResizeImage(choice->Width, choice->Height, choice->Code == 3, m_image);
    m_manualZoom = false;
    m_zoom->Recompute();
    Refresh();
    m_undoKind = ukImageSize;
}

void TMainForm::UndoCommand() {
    if (m_image.Empty() || m_undoKind == ukNone) return;
    if (m_undoKind == ukImageSize) {
        // The file read again is shown as opening shows it: turned by the rotation setting and
        // with the display adjustments in force (the menus show those).
        TBitmap reread;
        QString path = m_currentFile;
        if (path.isEmpty() ||
            LoadImageFile(path, reread, m_settings.defdir, ShownImageIndex()) <= 0)
            return;
        reread.To24Bit();
        m_image = std::move(reread);
        TurnAfterOpen();
        ApplyDisplayAdjustments(m_image, m_settings.teinte, m_settings.reglage, m_settings.bflou);
    } else {
        ApplyTurn(m_image, InverseTurn(m_undoKind));
    }
    m_undoKind = ukNone;
    m_manualZoom = false;
    m_zoom->Recompute();
    Refresh();
}

void TMainForm::CopyToClipboardCommand() {
    if (m_image.Empty()) return;
    StopAnimation();
    QGuiApplication::clipboard()->setImage(m_image.Image().convertToFormat(QImage::Format_RGB32));
}

void TMainForm::SetCommentCommand() {
    if (m_image.Empty()) return;
    // The comment belongs to the list's current entry, the one the screen shows the comment of,
    // also after "Save image as..." gave the shown image another file. Without a current entry
    // nothing could keep it: the user hears so instead of nothing.
    if (m_sequence.Current() < 0) {
        UserDialogs().Message(QStringLiteral("This image is not in the images sequence !"),
                              mkInformation, mbOk);
        return;
    }
    QString text = m_sequence.CurrentComment(false);
    if (!UserDialogs().Input(QStringLiteral("Comment"), QStringLiteral("Input image comment :"),
                             text))
        return;
    m_sequence.SetCurrentComment(text);
    if (!m_settings.bcmt) {
        m_settings.bcmt = true;
        Layout();
    }
    m_manualZoom = false;
    Refresh();
}
