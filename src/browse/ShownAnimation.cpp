// SPDX-License-Identifier: GPL-2.0-or-later
#include "browse/ShownAnimation.h"

TShownAnimation::TShownAnimation(std::unique_ptr<IFrameSource> source, const TGraphic& load,
                                 bool colourManagement)
    : m_player(std::move(source)), m_load(load), m_colourManagement(colourManagement) {
    m_load.Picture.Clear();
}

TBitmap TShownAnimation::Picture(const TImageShape& shape) const {
    return PrepareFrame(m_load, m_colourManagement, m_player.Frame(), shape);
}
