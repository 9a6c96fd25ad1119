#include "app/StatusPanels.h"

#include <QLabel>
#include <numeric>

namespace {
constexpr int Gap = 2;
constexpr int TextMargin = 3;
} // namespace

TStatusPanels::TStatusPanels(std::vector<int> widths, QWidget* parent)
    : QWidget(parent), FWidths(std::move(widths)), FTexts(FWidths.size()) {
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    for (int i = 0; i < Count(); ++i) {
        auto* label = new QLabel(this);
        label->setObjectName(QStringLiteral("Panel%1").arg(i));
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setMargin(TextMargin - 1);
        label->setTextFormat(Qt::PlainText);
        FLabels.push_back(label);
    }
}

void TStatusPanels::SetText(int panel, const QString& text) {
    QString& stored = FTexts.at(size_t(panel));
    if (stored == text)
        return;
    stored = text;
    ShowText(panel);
}

void TStatusPanels::ShowText(int panel) {
    QLabel* label = FLabels[size_t(panel)];
    const QString& text = FTexts[size_t(panel)];
    const int room = label->contentsRect().width() - 2 * label->margin();
    const QString shown = fontMetrics().elidedText(text, Qt::ElideRight, std::max(0, room));
    label->setText(shown);
    // The label's own name would be the cut-off text; a reader gets the whole of it.
    label->setAccessibleName(text);
    label->setToolTip(shown == text ? QString() : text);
}

// A frame narrower than the panels takes the room from the first one, so that the caret's
// position and the file's encoding stay whole.
int TStatusPanels::PanelWidth(int panel) const {
    const int excess = std::accumulate(FWidths.begin(), FWidths.end(), 0) - width();
    const int wanted = FWidths[size_t(panel)];
    return panel == 0 && excess > 0 ? std::max(0, wanted - excess) : wanted;
}

QRect TStatusPanels::PanelRect(int panel) const {
    int left = 0;
    for (int i = 0; i < panel; ++i)
        left += PanelWidth(i);
    const int right = panel + 1 == Count() ? width() : left + PanelWidth(panel);
    return QRect(left, 0, std::max(0, right - left - Gap), height());
}

QSize TStatusPanels::sizeHint() const {
    return QSize(std::accumulate(FWidths.begin(), FWidths.end(), 0),
                 fontMetrics().height() + 2 * TextMargin);
}

QSize TStatusPanels::minimumSizeHint() const {
    return QSize(0, fontMetrics().height() + 2 * TextMargin);
}

void TStatusPanels::resizeEvent(QResizeEvent*) {
    for (int i = 0; i < Count(); ++i) {
        FLabels[size_t(i)]->setGeometry(PanelRect(i));
        ShowText(i);
    }
}
