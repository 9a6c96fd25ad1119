#pragma once
// Colours as the settings and the stored files carry them: plain RGB values and the numbered
// system colours of the desktop's window parts, resolved through the palette when drawn.

#include <QColor>
#include <QPalette>
#include <cstdint>

// Red in the low byte; $80000000 + n names system colour n, resolved through the palette.
using TColor = uint32_t;
constexpr TColor clBlack = 0x000000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clSystemColor = 0x80000000;
constexpr TColor clWindow = clSystemColor + 5;
constexpr TColor clWindowText = clSystemColor + 8;
constexpr TColor clHighlight = clSystemColor + 13;
constexpr TColor clHighlightText = clSystemColor + 14;
constexpr TColor clBtnFace = clSystemColor + 15;

// A plain RGB TColor (red low) for any TColor, system colours taken from the palette.
TColor ColorToRgb(TColor color, const QPalette& palette);
TColor ColorToRgb(TColor color);
QColor QColorFromTColor(TColor color, const QPalette& palette);
QColor QColorFromTColor(TColor color);
