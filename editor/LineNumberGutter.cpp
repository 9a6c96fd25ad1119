#include "editor/LineNumberGutter.h"

#include "editor/TextView.h"

#include <QMouseEvent>
#include <QPainter>

namespace {
constexpr int Padding = 6;
}

TLineNumberGutter::TLineNumberGutter(TTextView* view) : QWidget(view), FView(view) {
    setCursor(Qt::ArrowCursor);
}

int TLineNumberGutter::WidthFor(qsizetype paragraphs) const {
    int digits = 1;
    for (qsizetype n = paragraphs; n >= 10; n /= 10)
        ++digits;
    QFont bold = FView->Advances().Font();
    bold.setBold(true);
    const double digit = QFontMetricsF(bold).horizontalAdvance(QLatin1Char('0'));
    return int(std::ceil(digit * std::max(digits, 2))) + 2 * Padding;
}

void TLineNumberGutter::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawLine(width() - 1, 0, width() - 1, height());
    painter.setPen(palette().color(QPalette::WindowText));
    const double lineHeight = FView->Advances().LineHeight();
    const qsizetype caret = FView->CaretParagraph();
    QFont font = FView->Advances().Font();
    TDisplayLine line = FView->FTopLine;
    for (double y = FView->TopEdge(); y < height(); y += lineHeight) {
        if (line.Sub == 0) {
            font.setBold(line.Paragraph == caret);
            painter.setFont(font);
            painter.drawText(QRectF(0, y, width() - Padding, lineHeight),
                             Qt::AlignRight | Qt::AlignVCenter,
                             QString::number(line.Paragraph + 1));
        }
        const TDisplayLine next = FView->Next(line, 1);
        if (next == line)
            break;
        line = next;
    }
}

QMouseEvent TLineNumberGutter::InBar(const QMouseEvent* event) const {
    const QPointF at(-1, event->position().y());
    return QMouseEvent(event->type(), at, FView->viewport()->mapToGlobal(at), event->button(),
                       event->buttons(), event->modifiers());
}

void TLineNumberGutter::mousePressEvent(QMouseEvent* event) {
    QMouseEvent bar = InBar(event);
    FView->mousePressEvent(&bar);
}

void TLineNumberGutter::mouseMoveEvent(QMouseEvent* event) {
    QMouseEvent bar = InBar(event);
    FView->mouseMoveEvent(&bar);
}

void TLineNumberGutter::mouseReleaseEvent(QMouseEvent* event) {
    QMouseEvent bar = InBar(event);
    FView->mouseReleaseEvent(&bar);
}

void TLineNumberGutter::mouseDoubleClickEvent(QMouseEvent* event) {
    QMouseEvent bar = InBar(event);
    FView->mouseDoubleClickEvent(&bar);
}
