// Printing of the text control: the same advance table and line breaker as the screen, laid out
// in screen pixels and scaled to the printer, so a page wraps as the window would at that width.

#include "editor/TextView.h"

#include <QPainter>

void TTextView::Print(QPrinter* printer, const QString& title) {
    printer->setDocName(title);
    QPainter painter;
    if (!painter.begin(printer))
        return;
    const double scale = printer->logicalDpiY() / double(std::max(1, logicalDpiY()));
    const QRectF page = printer->pageLayout().paintRectPixels(printer->resolution());
    const double width = page.width() / scale, height = page.height() / scale;
    painter.scale(scale, scale);
    const TAdvanceTable& advances = *FAdvances;
    const double lineHeight = advances.LineHeight();
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    option.setTabStopDistance(advances.TabWidth());
    std::vector<float> widths;
    std::vector<qsizetype> breaks;
    double y = 0;
    auto drawLine = [&](const QString& text, const QList<QTextLayout::FormatRange>& colours) {
        if (y + lineHeight > height && y > 0) {
            printer->newPage();
            y = 0;
        }
        QTextLayout layout(DisplayText(text), advances.Font());
        layout.setTextOption(option);
        layout.setFormats(advances.Formats(text) + colours);
        layout.beginLayout();
        layout.createLine().setLineWidth(1e9);
        layout.endLayout();
        layout.draw(&painter, QPointF(0, y));
        y += lineHeight;
    };
    // Printed in the colours of the screen, lexed as the pages go.
    const TSyntaxLanguage language = FColours.Language();
    TLexState state = InitialLexState(language);
    std::vector<TSyntaxRun> runs;
    for (qsizetype p = 0; p < FBuffer.LineCount(); ++p) {
        const QString text = FBuffer.LineText(p);
        runs.clear();
        if (language != slNone)
            state = LexParagraph(state, text, &runs);
        advances.Fill(text, widths);
        breaks = BreakLines(text, widths.data(), width, 0, advances.TabWidth(), FWrap.Rules());
        breaks.push_back(text.size());
        qsizetype from = 0;
        for (qsizetype b : breaks) {
            drawLine(text.mid(from, b - from), SyntaxFormats(runs, from, b, FPalette));
            from = b;
        }
    }
    painter.end();
}
