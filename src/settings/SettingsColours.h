// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Colours as the settings file spells them: "#RRGGBB" when written; on reading also "RRGGBB",
// "$RRGGBB" and the colour names of the classic palette, system colours included.

#include "core/Color.h"

#include <QString>
#include <optional>

// The colour a text stands for, or nothing for any other text (including "clNone" and an empty
// text). "clDefault" stands for defaultColour, the default colour of whatever the key sets.
std::optional<TColor> ColourFromText(const QString& text, TColor defaultColour = clBlack);

// "#" and six upper-case hexadecimal digits, red first; a system colour is resolved first.
QString ColourToText(TColor colour);
