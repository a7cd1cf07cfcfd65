// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The animation of the image on screen: its playing state, and the load its frames follow, so
// that every frame becomes a working image the way the first one did (same colour conversion,
// turn and display adjustments).

#include "browse/AnimationPlayer.h"
#include "browse/WorkingImage.h"
#include "formats/Graphic.h"

#include <memory>

class TShownAnimation {
public:
    // load: the graphic of the file's load, its picture gone (class, profile, EXIF block).
    // Throws ETaveluneError when the first frame is damaged.
    TShownAnimation(std::unique_ptr<IFrameSource> source, const TGraphic& load,
                    bool colourManagement);

    TAnimationPlayer& Player() { return m_player; }
    const TAnimationPlayer& Player() const { return m_player; }
    // The working image of the frame shown, shaped for these settings.
    TBitmap Picture(const TImageShape& shape) const;

private:
    TAnimationPlayer m_player;
    TGraphic m_load;
    bool m_colourManagement;
};
