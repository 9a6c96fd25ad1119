#include "editor/MarksPainter.h"

#include <QFontMetrics>
#include <QFontMetricsF>
#include <QPainter>
#include <cmath>

namespace {

// A line longer than this is painted only where the viewport shows it: finding the x of a
// position costs a walk along the line, and a long line without wrapping can be megabytes.
constexpr qsizetype LongLine = 256;

// The x of a buffer position in a painted line. A composition sits before the character at its
// position, so that character's mark goes after it.
double MarkX(const TPaintedLine& line, qsizetype pos) {
    qsizetype at = pos - line.Start;
    if (line.PreeditPos >= 0 && pos >= line.PreeditPos)
        at += line.PreeditLength;
    return line.Origin.x() + line.Layout->lineAt(0).cursorToX(int(at));
}

// The buffer position of a cursor index of the line's layout.
qsizetype BufferPos(const TPaintedLine& line, int cursor) {
    qsizetype at = cursor;
    if (line.PreeditPos >= 0 && line.Start + at > line.PreeditPos)
        at = std::max(line.PreeditPos - line.Start, at - line.PreeditLength);
    return std::clamp(line.Start + at, line.Start, line.End);
}

// The x of each position of text, whose first character is at buffer position from, and of the
// position after it, relative to the line's origin, from the advance table: one pass instead of
// a walk along the layout for every mark. Tabs stop where the layout stops them. False when the
// layout ends the text elsewhere (a fallback font, a ligature) or a composition is in the line:
// the caller then asks the layout.
bool TableXs(const TPaintedLine& line, const TAdvanceTable& advances, QStringView text,
             qsizetype from, std::vector<double>& xs) {
    if (line.PreeditPos >= 0)
        return false;
    const QTextLine textLine = line.Layout->lineAt(0);
    double x = from == line.Start ? 0 : textLine.cursorToX(int(from - line.Start));
    const double tab = advances.TabWidth();
    xs.resize(size_t(text.size()) + 1);
    for (qsizetype i = 0; i < text.size(); ++i) {
        xs[size_t(i)] = x;
        const char16_t c = text[i].unicode();
        if (c == u'\t' && tab > 0)
            x = (std::floor(x / tab) + 1) * tab;
        else
            x += advances.Advance(c);
    }
    xs.back() = x;
    const qsizetype end = from + text.size() - line.Start;
    return std::abs(textLine.cursorToX(int(end)) - x) < 0.5;
}

} // namespace

void FindMarks(QStringView text, qsizetype start, const TEditMarks& marks, qsizetype selStart,
               qsizetype selEnd, std::vector<TMarkAt>& out) {
    const bool selected = selEnd > selStart;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype pos = start + i;
        const char16_t c = text[i].unicode();
        const bool pair = c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n';
        if (pair)
            ++i; // one mark for the pair
        if (selected && pos >= selStart && pos < selEnd)
            continue;
        TMarkAt mark{pos, emCrLf, 0};
        if (c == u'\r' || c == u'\n')
            mark = {pos, emCrLf, pair ? CrLfGlyph : LoneBreakGlyph};
        else if (c == u'\t')
            mark = {pos, emTab, TabGlyph};
        else if (c == u' ')
            mark = {pos, emSSp, SSpGlyph};
        else if (c == 0x3000)
            mark = {pos, emDSp, DSpGlyph};
        else if (c < 0x20)
            mark = {pos, emCtrl, char16_t(c + 0x40)};
        if (mark.Glyph != 0 && marks.Mark(mark.Kind).Enabled())
            out.push_back(mark);
    }
}

QPoint MarkOffset(TEditMarkKind kind) {
    switch (kind) {
    case emCrLf:
    case emSSp:
        return {1, 2};
    case emDSp:
        return {0, 1};
    case emCtrl:
    case emTab:
    case emEot:
        return {1, 1};
    }
    return {};
}

void TMarksPainter::UseFont(const QFont& textFont) {
    if (textFont == FTextFont && FHeight > 0)
        return;
    FTextFont = textFont;
    const int square = QFontMetrics(textFont).horizontalAdvance(QChar(DSpGlyph));
    FFont = textFont;
    FFont.setPixelSize(std::max(1, square - 2));
    FNarrowFont = FFont;
    FNarrowFont.setStretch(QFont::UltraCondensed);
    const QFontMetricsF metrics(FFont);
    FAscent = metrics.ascent();
    FHeight = metrics.height();
    FImages.clear();
}

const QPixmap& TMarksPainter::Image(char16_t glyph, QColor fore, QColor back, qreal ratio) {
    const auto key = std::make_tuple(glyph, fore.rgba(), back.isValid() ? back.rgba() : 0, ratio);
    auto found = FImages.find(key);
    if (found != FImages.end())
        return found->second;
    // A few dozen images at most: kinds times colours, rebuilt when the font changes.
    if (FImages.size() > 256)
        FImages.clear();
    // The Japanese fonts have the full-width down arrow but not its half-width form: it is
    // drawn squeezed to half the width.
    const bool narrow = glyph == LoneBreakGlyph;
    const QString text(QChar{narrow ? CrLfGlyph : glyph});
    const QFont& font = narrow ? FNarrowFont : FFont;
    const QSizeF size(QFontMetricsF(font).horizontalAdvance(text), FHeight);
    QPixmap image((size * ratio).toSize().expandedTo(QSize(1, 1)));
    image.setDevicePixelRatio(ratio);
    image.fill(back.isValid() ? back : QColor(Qt::transparent));
    QPainter painter(&image);
    painter.setFont(font);
    painter.setPen(fore);
    painter.drawText(QPointF(0, FAscent), text);
    painter.end();
    return FImages.emplace(key, std::move(image)).first->second;
}

void TMarksPainter::Paint(QPainter& painter, const TPaintedLine& line, const TMarkAt& mark,
                          double x, double next, QColor color, bool reversed, QColor background) {
    x = std::round(x);
    const double y = line.Origin.y();
    if (mark.Kind == emCtrl) {
        // The font has no glyph for a control character and shows a box in its cell; the mark
        // takes the cell instead.
        painter.fillRect(QRectF(x, y, std::round(next) - x, line.Height), background);
    }
    const QPixmap& image =
        reversed ? Image(mark.Glyph, background, color, painter.device()->devicePixelRatioF())
                 : Image(mark.Glyph, color, QColor(), painter.device()->devicePixelRatioF());
    painter.drawPixmap(QPointF(x, y) + MarkOffset(mark.Kind), image);
}

void TMarksPainter::PaintLine(QPainter& painter, const TPaintedLine& line,
                              const TTextBuffer& buffer, const TMarkScene& scene) {
    const TEditMarks& marks = *scene.Marks;
    UseFont(scene.TextFont);
    auto paint = [&](const TMarkAt& mark, double x, double next) {
        const TEditMark& m = marks.Mark(mark.Kind);
        Paint(painter, line, mark, x, next, QColorFromTColor(m.Color(), scene.Palette),
              m.Reversed(), scene.Background);
    };

    // The end of the text, unless a selection reaches it.
    const bool selected = scene.SelEnd > scene.SelStart;
    if (marks.Mark(emEot).Enabled() && line.End == scene.TextLength && line.BreakLength == 0 &&
        (!selected || scene.SelEnd < scene.TextLength)) {
        const double x = MarkX(line, scene.TextLength);
        if (x < scene.RightEdge)
            paint({scene.TextLength, emEot, EotGlyph}, x, x);
    }

    bool any = false;
    for (TEditMarkKind kind : {emCrLf, emCtrl, emDSp, emSSp, emTab})
        any |= marks.Mark(kind).Enabled();
    if (!any)
        return;

    qsizetype from = line.Start;
    qsizetype to = line.End + line.BreakLength;
    if (line.End - line.Start > LongLine) {
        const QTextLine textLine = line.Layout->lineAt(0);
        // A mark starts up to one cell left of the visible range.
        const double cell = QFontMetricsF(scene.TextFont).height();
        from = BufferPos(line, textLine.xToCursor(scene.VisibleLeft - line.Origin.x() - cell));
        const qsizetype last =
            BufferPos(line, textLine.xToCursor(scene.VisibleRight - line.Origin.x()) + 1);
        if (last < line.End)
            to = last;
    }
    FFound.clear();
    const QString text = buffer.Text(from, to - from);
    FindMarks(text, from, marks, scene.SelStart, scene.SelEnd, FFound);
    if (FFound.empty())
        return;
    // Marks sit at positions up to the line's end: a line break is marked at its first character.
    const qsizetype xEnd = std::min(to, line.End);
    const bool table =
        TableXs(line, *scene.Advances, QStringView(text).left(xEnd - from), from, FXs);
    auto xOf = [&](qsizetype pos) {
        return table ? line.Origin.x() + FXs[size_t(std::min(pos, xEnd) - from)] : MarkX(line, pos);
    };
    for (const TMarkAt& mark : FFound)
        paint(mark, xOf(mark.Pos), mark.Kind == emCtrl ? xOf(mark.Pos + 1) : 0);
}
