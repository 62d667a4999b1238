#pragma once

#include <QtGlobal>

// A colour value: 24 bits with red in the low byte and blue in the high byte (0x00BBGGRR), as report files and
// the windows' settings store them. Negative values name system colours (0x80000000 | index).
using TColor = qint32;

constexpr TColor rgbColor(int red, int green, int blue)
{
    return TColor((red & 0xFF) | ((green & 0xFF) << 8) | ((blue & 0xFF) << 16));
}
constexpr int redOf(TColor c) { return c & 0xFF; }
constexpr int greenOf(TColor c) { return (c >> 8) & 0xFF; }
constexpr int blueOf(TColor c) { return (c >> 16) & 0xFF; }
constexpr bool isSystemColor(TColor c) { return c < 0; }

constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clWhite = 0xFFFFFF;

// System colours: resolved against the platform's palette by the widgets layer.
constexpr TColor clSystemColor = TColor(0x80000000u);
constexpr TColor clBtnFace = clSystemColor | 15;
constexpr TColor clWindow = clSystemColor | 5;
constexpr TColor clWindowText = clSystemColor | 8;
constexpr TColor clBtnText = clSystemColor | 18;
constexpr TColor clBtnShadow = clSystemColor | 16;
constexpr TColor clBtnHighlight = clSystemColor | 20;
constexpr TColor clHighlight = clSystemColor | 13;
constexpr TColor clHighlightText = clSystemColor | 14;
constexpr TColor clGrayText = clSystemColor | 17;
constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;
