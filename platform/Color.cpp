#include "platform/Color.h"

#include <QGuiApplication>

namespace {

// System colour numbers as the colour constants carry them, and the palette entry that plays
// each part on this desktop.
QColor SystemColor(uint32_t index, const QPalette& p) {
    switch (index) {
    case 0:  // scroll bar
    case 15: // button face
    case 22: // 3D light
    case 4:  // menu
    case 30: // menu bar
        return p.color(QPalette::Active, QPalette::Button);
    case 1:  // desktop
    case 12: // application workspace
        return p.color(QPalette::Active, QPalette::Dark);
    case 2:  // active caption
    case 13: // highlight
    case 26: // hot-tracked item
    case 27: // active caption gradient
    case 29: // menu highlight
        return p.color(QPalette::Active, QPalette::Highlight);
    case 3:  // inactive caption
    case 28: // inactive caption gradient
        return p.color(QPalette::Inactive, QPalette::Highlight);
    case 5: // window
        return p.color(QPalette::Active, QPalette::Base);
    case 6:  // window frame
    case 21: // 3D dark shadow
        return p.color(QPalette::Active, QPalette::Shadow);
    case 7:  // menu text
    case 18: // button text
        return p.color(QPalette::Active, QPalette::ButtonText);
    case 8: // window text
        return p.color(QPalette::Active, QPalette::Text);
    case 9:  // caption text
    case 14: // highlighted text
        return p.color(QPalette::Active, QPalette::HighlightedText);
    case 10: // active border
    case 11: // inactive border
        return p.color(QPalette::Active, QPalette::Window);
    case 16: // button shadow
        return p.color(QPalette::Active, QPalette::Mid);
    case 17: // grey text
        return p.color(QPalette::Disabled, QPalette::Text);
    case 19: // inactive caption text
        return p.color(QPalette::Inactive, QPalette::HighlightedText);
    case 20: // button highlight
        return p.color(QPalette::Active, QPalette::Light);
    case 23: // tool tip text
        return p.color(QPalette::Active, QPalette::ToolTipText);
    case 24: // tool tip background
        return p.color(QPalette::Active, QPalette::ToolTipBase);
    default: // unknown numbers resolve to black, as an unknown system colour does
        return QColor(0, 0, 0);
    }
}

} // namespace

TColor ColorToRgb(TColor color, const QPalette& palette) {
    if ((color & clSystemColor) == 0)
        return color & 0xFFFFFF;
    QColor c = SystemColor(color & 0xFF, palette);
    return TColor(c.red()) | TColor(c.green()) << 8 | TColor(c.blue()) << 16;
}

TColor ColorToRgb(TColor color) {
    return ColorToRgb(color, QGuiApplication::palette());
}

QColor QColorFromTColor(TColor color, const QPalette& palette) {
    TColor rgb = ColorToRgb(color, palette);
    return QColor(int(rgb & 0xFF), int(rgb >> 8 & 0xFF), int(rgb >> 16 & 0xFF));
}

QColor QColorFromTColor(TColor color) {
    return QColorFromTColor(color, QGuiApplication::palette());
}
