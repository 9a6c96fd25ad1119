#pragma once
// Advances of single characters in one font, measured once per character. Counting display lines
// from this table costs a fraction of shaping the text, and for the fonts we use it agrees with
// shaping to the pixel.

#include <QFont>
#include <QFontMetricsF>
#include <QStringView>
#include <QTextLayout>
#include <array>
#include <bitset>
#include <memory>
#include <vector>

class TAdvanceTable {
public:
    explicit TAdvanceTable(const QFont& font);

    const QFont& Font() const { return FFont; }
    float Advance(char16_t c) const {
        float a = FAdvance[c];
        return a >= 0 ? a : Measure(c);
    }
    // The advances by UTF-16 unit measured so far (65536 entries, negative where not yet).
    const float* Table() const { return FAdvance.data(); }
    // Advances of each UTF-16 unit of the text (a surrogate pair's width on its first unit).
    void Fill(QStringView text, std::vector<float>& out) const;
    float Width(QStringView text) const;
    // A character a Shift_JIS user counts full width (○ → α ① …) that the font draws narrow is
    // drawn and measured in the Japanese font instead: the ranges of text to give that font.
    QList<QTextLayout::FormatRange> Formats(QStringView text) const;
    double TabWidth() const { return FTabWidth; }
    double LineHeight() const { return FLineHeight; }
    double Ascent() const { return FAscent; }

private:
    float Measure(char16_t c) const;

    QFont FFont;
    QFontMetricsF FMetrics;
    QFont FJapanese;
    QFontMetricsF FJapaneseMetrics;
    double FFullWidth;
    mutable std::bitset<65536> FBorrowed; // measured in the Japanese font
    std::unique_ptr<std::array<float, 65536>> FAdvanceStore;
    std::array<float, 65536>& FAdvance;
    double FTabWidth;
    double FLineHeight;
    double FAscent;
};

// What the view shows in place of a character: a byte that did not decode is drawn as a framed
// hex mark in the cell of an ideographic space.
QString DisplayText(QStringView text);
