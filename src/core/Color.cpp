// SPDX-License-Identifier: GPL-2.0-or-later
#include "core/Color.h"

#include <QGuiApplication>
#include <QPalette>
#include <array>
#include <cstdlib>

namespace {

struct SystemColorEntry {
    QPalette::ColorGroup group;
    QPalette::ColorRole role;
    TColor classic; // used when no GUI application is running (command-line tools)
};

constexpr QPalette::ColorGroup A = QPalette::Active;
constexpr QPalette::ColorGroup D = QPalette::Disabled;

// Index of the system colour -> the palette entry that plays its part on this desktop.
constexpr std::array<SystemColorEntry, 31> kSystemColors{{
    {A, QPalette::Button, 0xC8D0D4},          // scroll bar
    {A, QPalette::Dark, 0xA56E3A},            // desktop
    {A, QPalette::Highlight, 0x6A240A},       // active caption
    {A, QPalette::Mid, 0x808080},             // inactive caption
    {A, QPalette::Window, 0xC8D0D4},          // menu
    {A, QPalette::Base, 0xFFFFFF},            // window
    {A, QPalette::Shadow, 0x000000},          // window frame
    {A, QPalette::WindowText, 0x000000},      // menu text
    {A, QPalette::Text, 0x000000},            // window text
    {A, QPalette::HighlightedText, 0xFFFFFF}, // caption text
    {A, QPalette::Button, 0xC8D0D4},          // active border
    {A, QPalette::Button, 0xC8D0D4},          // inactive border
    {A, QPalette::Mid, 0x808080},             // application work space
    {A, QPalette::Highlight, 0x6A240A},       // highlight
    {A, QPalette::HighlightedText, 0xFFFFFF}, // highlight text
    {A, QPalette::Button, 0xC8D0D4},          // button face
    {A, QPalette::Dark, 0x808080},            // button shadow
    {D, QPalette::Text, 0x808080},            // grey text
    {A, QPalette::ButtonText, 0x000000},      // button text
    {D, QPalette::WindowText, 0xC8D0D4},      // inactive caption text
    {A, QPalette::Light, 0xFFFFFF},           // button highlight
    {A, QPalette::Shadow, 0x404040},          // 3D dark shadow
    {A, QPalette::Midlight, 0xC8D0D4},        // 3D light
    {A, QPalette::ToolTipText, 0x000000},     // tool tip text
    {A, QPalette::ToolTipBase, 0xE1FFFF},     // tool tip background
    {A, QPalette::Button, 0xC8D0D4},          // (unused index)
    {A, QPalette::Link, 0x800000},            // hot-tracked item
    {A, QPalette::Highlight, 0xF0CAA6},       // gradient of the active caption
    {A, QPalette::Mid, 0xC0C0C0},             // gradient of the inactive caption
    {A, QPalette::Highlight, 0x6A240A},       // menu highlight
    {A, QPalette::Window, 0xC8D0D4},          // menu bar
}};

TColor FromQColor(const QColor& q) {
    return RGBColor(q.red(), q.green(), q.blue());
}

} // namespace

TColor ResolveColor(TColor c) {
    if (!IsSystemColor(c)) return c & 0x00FFFFFF;
    const uint8_t index = c & 0xFF;
    const SystemColorEntry& e =
        kSystemColors[index < kSystemColors.size() ? index : size_t{sciBtnFace}];
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) return e.classic;
    return FromQColor(QGuiApplication::palette().color(e.group, e.role));
}

TTriple ColorToTriple(TColor c) {
    const TColor v = ResolveColor(c);
    return TTriple{BlueOf(v), GreenOf(v), RedOf(v)};
}

uint32_t ColorToPixelValue(TColor c) {
    const TColor v = ResolveColor(c);
    return (uint32_t(RedOf(v)) << 16) | (uint32_t(GreenOf(v)) << 8) | BlueOf(v);
}

bool ColorsClose(TColor c1, TColor c2, int tol) {
    const TColor a = ResolveColor(c1);
    const TColor b = ResolveColor(c2);
    return std::abs(RedOf(a) - RedOf(b)) <= tol && std::abs(GreenOf(a) - GreenOf(b)) <= tol &&
           std::abs(BlueOf(a) - BlueOf(b)) <= tol;
}

TColor MixColors(TColor c1, TColor c2, int pct) {
    if (pct <= 0 || pct > 100) return c1;
    const TColor a = ResolveColor(c1);
    const TColor b = ResolveColor(c2);
    auto mix = [pct](int x, int y) { return x + (pct * (y - x)) / 100; };
    return RGBColor(mix(RedOf(a), RedOf(b)), mix(GreenOf(a), GreenOf(b)),
                    mix(BlueOf(a), BlueOf(b)));
}
