// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Colours as the program stores them: 0x00BBGGRR, red in the low byte. A high byte of 0xFF names
// a system colour by the index in the low byte; it is resolved against the running palette
// before any pixel use.

#include <cstdint>

using TColor = uint32_t;

inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clWhite = 0xFFFFFF;
inline constexpr TColor clRed = 0x0000FF;
inline constexpr TColor clLime = 0x00FF00;
inline constexpr TColor clBlue = 0xFF0000;
inline constexpr TColor clGray = 0x808080;
inline constexpr TColor clSilver = 0xC0C0C0;

// System colour indices, as the low byte of a 0xFF0000nn colour.
enum TSystemColorIndex : uint8_t {
    sciScrollBar = 0,
    sciBackground = 1,
    sciActiveCaption = 2,
    sciInactiveCaption = 3,
    sciMenu = 4,
    sciWindow = 5,
    sciWindowFrame = 6,
    sciMenuText = 7,
    sciWindowText = 8,
    sciCaptionText = 9,
    sciActiveBorder = 10,
    sciInactiveBorder = 11,
    sciAppWorkSpace = 12,
    sciHighlight = 13,
    sciHighlightText = 14,
    sciBtnFace = 15,
    sciBtnShadow = 16,
    sciGrayText = 17,
    sciBtnText = 18,
    sciInactiveCaptionText = 19,
    sciBtnHighlight = 20,
    sci3DDkShadow = 21,
    sci3DLight = 22,
    sciInfoText = 23,
    sciInfoBk = 24,
    sciHotLight = 26,
    sciGradientActiveCaption = 27,
    sciGradientInactiveCaption = 28,
    sciMenuHilight = 29,
    sciMenuBar = 30,
};

constexpr TColor SystemColor(uint8_t index) {
    return 0xFF000000u | index;
}
inline constexpr TColor clBtnFace = SystemColor(sciBtnFace);
inline constexpr TColor clBtnShadow = SystemColor(sciBtnShadow);
inline constexpr TColor clBtnHighlight = SystemColor(sciBtnHighlight);
inline constexpr TColor clWindow = SystemColor(sciWindow);
inline constexpr TColor clWindowText = SystemColor(sciWindowText);

constexpr bool IsSystemColor(TColor c) {
    return (c >> 24) == 0xFF;
}

// The 0x00BBGGRR value of a colour; system colours come from the running palette (or a fixed
// classic table when no GUI application exists). Other high bytes are dropped.
TColor ResolveColor(TColor c);

constexpr uint8_t RedOf(TColor c) {
    return c & 0xFF;
}
constexpr uint8_t GreenOf(TColor c) {
    return (c >> 8) & 0xFF;
}
constexpr uint8_t BlueOf(TColor c) {
    return (c >> 16) & 0xFF;
}
constexpr TColor RGBColor(int r, int g, int b) {
    return TColor(uint8_t(r)) | (TColor(uint8_t(g)) << 8) | (TColor(uint8_t(b)) << 16);
}

// One 24-bit pixel as it lies in memory.
struct TTriple {
    uint8_t b = 0, g = 0, r = 0;
    friend bool operator==(const TTriple&, const TTriple&) = default;
};

TTriple ColorToTriple(TColor c);
// The resolved colour with red and blue exchanged: blue in the low byte, as the pixel's bytes.
uint32_t ColorToPixelValue(TColor c);
bool ColorsClose(TColor c1, TColor c2, int tol);
TColor MixColors(TColor c1, TColor c2, int pct);
