#include "app/StatusPanels.h"

#include <QPainter>
#include <QStyleOption>
#include <numeric>
#include <qdrawutil.h>

namespace {
constexpr int Gap = 2;
constexpr int TextMargin = 3;
} // namespace

TStatusPanels::TStatusPanels(std::vector<int> widths, QWidget* parent)
    : QWidget(parent), FWidths(std::move(widths)), FTexts(FWidths.size()) {
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
}

void TStatusPanels::SetText(int panel, const QString& text) {
    QString& stored = FTexts.at(size_t(panel));
    if (stored == text)
        return;
    stored = text;
    update(PanelRect(panel));
}

QRect TStatusPanels::PanelRect(int panel) const {
    int left = 0;
    for (int i = 0; i < panel; ++i)
        left += FWidths[size_t(i)];
    const int right = panel + 1 == Count() ? width() : left + FWidths[size_t(panel)];
    return QRect(left, 0, std::max(0, right - left - Gap), height());
}

QSize TStatusPanels::sizeHint() const {
    return QSize(std::accumulate(FWidths.begin(), FWidths.end(), 0),
                 fontMetrics().height() + 2 * TextMargin);
}

QSize TStatusPanels::minimumSizeHint() const {
    return QSize(0, fontMetrics().height() + 2 * TextMargin);
}

void TStatusPanels::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    for (int i = 0; i < Count(); ++i) {
        const QRect rect = PanelRect(i);
        if (rect.left() >= width())
            break;
        qDrawShadePanel(&painter, rect, palette(), true, 1);
        const QRect textRect = rect.adjusted(TextMargin, 1, -TextMargin, -1);
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(
            textRect, Qt::AlignLeft | Qt::AlignVCenter,
            fontMetrics().elidedText(FTexts[size_t(i)], Qt::ElideRight, textRect.width()));
    }
}
