// SPDX-License-Identifier: GPL-2.0-or-later
// Animations that play in the main window, and the pages of multi-page files. A frame is
// decoded when its time comes, made a working image as the first one was, and drawn over the
// image's own rectangle only; the frame timer keeps each frame's delay, apart from the
// slideshow's. A page is opened as its file is, with its index.
#include "viewer/Main.h"

#include "browse/ShownAnimation.h"
#include "core/Color.h"
#include "core/Decorations.h"
#include "formats/FileData.h"
#include "formats/ImageFiles.h"

void TMainForm::StartAnimation() {
    if (!m_animated || m_currentFile.isEmpty()) return;
    // The load's graphic: its profile and EXIF block make every frame as they made the first.
    TGraphic load(ReaderClassFor(m_currentFile));
    bool colourManagement = OptionsOE().ColourManagement;
    QByteArray bytes;
    if (m_shown && m_shown->Load.Graphic) {
        load = *m_shown->Load.Graphic;
        colourManagement = m_shown->Load.Request.ColourManagement;
        // The load's bytes, while the file is still the one they came from.
        if (FileStampOf(m_currentFile) == m_shown->Load.Stamp) bytes = m_shown->Load.AnimationBytes;
    } else {
        load.ExifBlock = OptionsOE().ExifBlock;
    }
    try {
        if (bytes.isEmpty()) bytes = ReadWholeFile(m_currentFile);
        std::unique_ptr<IFrameSource> source = OpenAnimation(m_currentFile, std::move(bytes));
        if (!source) return;
        m_animation = std::make_unique<TShownAnimation>(std::move(source), load, colourManagement);
    } catch (...) {
        return; // the first frame, loaded already, stays as a still picture
    }
    ResumeAnimation();
}

void TMainForm::ResumeAnimation() {
    if (m_animation && m_animation->Player().Playing())
        m_frameTimer->Start(m_animation->Player().Frame().Delay, [this] { FrameTick(); });
}

void TMainForm::EndAnimation() {
    m_frameTimer->Stop();
    m_animation.reset();
}

void TMainForm::FrameTick() {
    if (!m_animation || !m_animation->Player().Advance()) {
        m_frameTimer->Stop();
        return;
    }
    ShowFrame();
    ResumeAnimation(); // the new frame's delay
}

void TMainForm::ShowFrame() {
    TBitmap picture;
    try {
        picture = m_animation->Picture(ImageShapeOf(m_settings));
    } catch (...) {
        m_animation->Player().Stop(); // the last frame made stays
        m_frameTimer->Stop();
        return;
    }
    const bool sameSize =
        picture.Width() == m_image.Width() && picture.Height() == m_image.Height();
    m_image = std::move(picture);
    m_blocks = TBlockAverages{};
    if (sameSize && !m_zoom->HasStandIn()) {
        RedrawImage();
        return;
    }
    m_zoom->Recompute();
    ComposeScreen();
    UpdateStatus();
}

void TMainForm::RedrawImage() {
    const TRect shown = IntersectRects(m_zoom->ImageRect(), m_zoom->ViewRect());
    if (RectEmpty(shown)) return;
    // What a transparent frame does not cover shows the background, not the frame before.
    if (m_image.Transparent()) PaintBackground(shown);
    m_zoom->SetOptimize(m_settings.boptimiserz);
    const TRect r = m_zoom->Draw(false);
    if (m_settings.brayures && !m_scroll.ExceedsView())
        ScanLines(m_buffer, 1, 2, r, 35, ResolveColor(m_settings.cf));
    ShowRect(r);
}

void TMainForm::StopAnimation() {
    if (!m_animation) return;
    m_animation->Player().Stop();
    m_frameTimer->Stop();
}

void TMainForm::PauseAnimationCommand() {
    if (!m_animation || m_animation->Player().Ended()) return;
    TAnimationPlayer& player = m_animation->Player();
    player.SetPaused(!player.IsPaused());
    if (player.IsPaused())
        m_frameTimer->Stop();
    else
        ResumeAnimation();
}

void TMainForm::NextFrameCommand() {
    if (!m_animation || m_animation->Player().Ended()) return;
    m_frameTimer->Stop();
    if (m_animation->Player().Step()) ShowFrame();
}

int TMainForm::ShownImageIndex() const {
    return m_animation ? m_animation->Player().Frame().Index : m_page;
}

void TMainForm::ShowPage(int page) {
    if (m_image.Empty() || m_currentFile.isEmpty() || page < 0 || page >= m_pageCount ||
        page == m_page)
        return;
    OpenImage(m_currentFile, false, page);
}

void TMainForm::NextPage() {
    ShowPage(m_page + 1);
}

void TMainForm::PreviousPage() {
    ShowPage(m_page - 1);
}
