#include "editor/AdvanceTable.h"

#include "editor/LineBreaker.h"
#include "platform/TextCodec.h"

#include <cmath>

namespace {
QFont JapaneseFont(const QFont& font) {
    QFont japanese(QStringLiteral("IPAGothic"));
    if (font.pixelSize() > 0)
        japanese.setPixelSize(font.pixelSize());
    else
        japanese.setPointSizeF(font.pointSizeF());
    return japanese;
}
} // namespace

TAdvanceTable::TAdvanceTable(const QFont& font)
    : FFont(font), FMetrics(font), FJapanese(JapaneseFont(font)), FJapaneseMetrics(FJapanese),
      FFullWidth(FMetrics.horizontalAdvance(QChar(0x3000))),
      FAdvanceStore(std::make_unique<std::array<float, 65536>>()), FAdvance(*FAdvanceStore) {
    FAdvance.fill(-1);
    FTabWidth = 8 * FMetrics.horizontalAdvance(QLatin1Char(' '));
    FLineHeight = std::ceil(FMetrics.lineSpacing());
    FAscent = FMetrics.ascent();
}

float TAdvanceTable::Measure(char16_t c) const {
    float a;
    if (IsByteEscape(c))
        a = float(FMetrics.horizontalAdvance(QChar(0x3000)));
    else if (QChar::isLowSurrogate(c) || QChar::category(c) == QChar::Mark_NonSpacing)
        a = 0;
    else if (QChar::isHighSurrogate(c))
        a = float(FMetrics.horizontalAdvance(QChar(0x3000))); // most astral characters are wide
    else
        a = float(FMetrics.horizontalAdvance(QChar(c)));
    const char16_t one[] = {c};
    if (Cells(QStringView(one, 1)) == 2 && a < FFullWidth * 0.75) {
        FBorrowed.set(c);
        a = float(FJapaneseMetrics.horizontalAdvance(QChar(c)));
    }
    FAdvance[c] = a;
    return a;
}

QList<QTextLayout::FormatRange> TAdvanceTable::Formats(QStringView text) const {
    QList<QTextLayout::FormatRange> ranges;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (FAdvance[c] < 0)
            Measure(c);
        if (!FBorrowed.test(c))
            continue;
        if (!ranges.isEmpty() && ranges.back().start + ranges.back().length == i) {
            ++ranges.back().length;
            continue;
        }
        QTextLayout::FormatRange range;
        range.start = int(i);
        range.length = 1;
        range.format.setFont(FJapanese);
        ranges.append(range);
    }
    return ranges;
}

void TAdvanceTable::Fill(QStringView text, std::vector<float>& out) const {
    out.resize(size_t(text.size()));
    const char16_t* s = text.utf16();
    const float* table = FAdvance.data();
    float* o = out.data();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const float a = table[s[i]];
        o[i] = a >= 0 ? a : Measure(s[i]);
    }
}

float TAdvanceTable::Width(QStringView text) const {
    float w = 0;
    for (QChar c : text)
        w += Advance(c.unicode());
    return w;
}

QString DisplayText(QStringView text) {
    QString shown = text.toString();
    for (QChar& c : shown)
        if (IsByteEscape(c.unicode()))
            c = QChar(0x3000);
    return shown;
}
