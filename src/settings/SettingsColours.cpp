// SPDX-License-Identifier: GPL-2.0-or-later
#include "settings/SettingsColours.h"

#include <array>

namespace {

struct NamedColour {
    const char* name;
    TColor colour;
};

constexpr std::array<NamedColour, 50> kNamedColours{{
    {"clBlack", RGBColor(0x00, 0x00, 0x00)},
    {"clMaroon", RGBColor(0x80, 0x00, 0x00)},
    {"clGreen", RGBColor(0x00, 0x80, 0x00)},
    {"clOlive", RGBColor(0x80, 0x80, 0x00)},
    {"clNavy", RGBColor(0x00, 0x00, 0x80)},
    {"clPurple", RGBColor(0x80, 0x00, 0x80)},
    {"clTeal", RGBColor(0x00, 0x80, 0x80)},
    {"clGray", RGBColor(0x80, 0x80, 0x80)},
    {"clSilver", RGBColor(0xC0, 0xC0, 0xC0)},
    {"clRed", RGBColor(0xFF, 0x00, 0x00)},
    {"clLime", RGBColor(0x00, 0xFF, 0x00)},
    {"clYellow", RGBColor(0xFF, 0xFF, 0x00)},
    {"clBlue", RGBColor(0x00, 0x00, 0xFF)},
    {"clFuchsia", RGBColor(0xFF, 0x00, 0xFF)},
    {"clAqua", RGBColor(0x00, 0xFF, 0xFF)},
    {"clWhite", RGBColor(0xFF, 0xFF, 0xFF)},
    {"clMoneyGreen", RGBColor(0xC0, 0xDC, 0xC0)},
    {"clSkyBlue", RGBColor(0xA6, 0xCA, 0xF0)},
    {"clCream", RGBColor(0xFF, 0xFB, 0xF0)},
    {"clMedGray", RGBColor(0xA0, 0xA0, 0xA4)},
    {"clScrollBar", SystemColor(sciScrollBar)},
    {"clBackground", SystemColor(sciBackground)},
    {"clActiveCaption", SystemColor(sciActiveCaption)},
    {"clInactiveCaption", SystemColor(sciInactiveCaption)},
    {"clMenu", SystemColor(sciMenu)},
    {"clWindow", SystemColor(sciWindow)},
    {"clWindowFrame", SystemColor(sciWindowFrame)},
    {"clMenuText", SystemColor(sciMenuText)},
    {"clWindowText", SystemColor(sciWindowText)},
    {"clCaptionText", SystemColor(sciCaptionText)},
    {"clActiveBorder", SystemColor(sciActiveBorder)},
    {"clInactiveBorder", SystemColor(sciInactiveBorder)},
    {"clAppWorkSpace", SystemColor(sciAppWorkSpace)},
    {"clHighlight", SystemColor(sciHighlight)},
    {"clHighlightText", SystemColor(sciHighlightText)},
    {"clBtnFace", SystemColor(sciBtnFace)},
    {"clBtnShadow", SystemColor(sciBtnShadow)},
    {"clGrayText", SystemColor(sciGrayText)},
    {"clBtnText", SystemColor(sciBtnText)},
    {"clInactiveCaptionText", SystemColor(sciInactiveCaptionText)},
    {"clBtnHighlight", SystemColor(sciBtnHighlight)},
    {"cl3DDkShadow", SystemColor(sci3DDkShadow)},
    {"cl3DLight", SystemColor(sci3DLight)},
    {"clInfoText", SystemColor(sciInfoText)},
    {"clInfoBk", SystemColor(sciInfoBk)},
    {"clHotLight", SystemColor(sciHotLight)},
    {"clGradientActiveCaption", SystemColor(sciGradientActiveCaption)},
    {"clGradientInactiveCaption", SystemColor(sciGradientInactiveCaption)},
    {"clMenuHighlight", SystemColor(sciMenuHilight)},
    {"clMenuBar", SystemColor(sciMenuBar)},
}};

int HexDigit(QChar c) {
    if (c >= u'0' && c <= u'9') return c.unicode() - u'0';
    if (c >= u'a' && c <= u'f') return c.unicode() - u'a' + 10;
    if (c >= u'A' && c <= u'F') return c.unicode() - u'A' + 10;
    return -1;
}

std::optional<TColor> HexColour(QStringView digits) {
    if (digits.size() != 6) return std::nullopt;
    int rgb[3];
    for (int i = 0; i < 3; ++i) {
        const int hi = HexDigit(digits[2 * i]);
        const int lo = HexDigit(digits[2 * i + 1]);
        if (hi < 0 || lo < 0) return std::nullopt;
        rgb[i] = hi * 16 + lo;
    }
    return RGBColor(rgb[0], rgb[1], rgb[2]);
}

} // namespace

std::optional<TColor> ColourFromText(const QString& text, TColor defaultColour) {
    for (const NamedColour& n : kNamedColours)
        if (text.compare(QLatin1String(n.name), Qt::CaseInsensitive) == 0) return n.colour;
    if (text.compare(QLatin1String("clDefault"), Qt::CaseInsensitive) == 0) return defaultColour;
    QStringView digits(text);
    if (digits.startsWith(u'#') || digits.startsWith(u'$')) digits = digits.mid(1);
    return HexColour(digits);
}

QString ColourToText(TColor colour) {
    const TColor c = ResolveColor(colour);
    return QStringLiteral("#%1%2%3")
        .arg(RedOf(c), 2, 16, QChar(u'0'))
        .arg(GreenOf(c), 2, 16, QChar(u'0'))
        .arg(BlueOf(c), 2, 16, QChar(u'0'))
        .toUpper();
}
