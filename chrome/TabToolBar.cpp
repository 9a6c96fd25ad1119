#include "chrome/TabToolBar.h"

#include <QApplication>
#include <QHoverEvent>
#include <QLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QPolygon>
#include <QProxyStyle>
#include <QStyleFactory>
#include <utility>

// The bar's layout keeps this margin around the buttons; the tab and its indent take the
// grip's room at the start.
constexpr int LayoutMargin = 2;

class TTabToolBarStyle : public QProxyStyle {
public:
    explicit TTabToolBarStyle(const TTabToolBar& bar)
        : QProxyStyle(QStyleFactory::create(QApplication::style()->name())), FBar(bar) {}

    int pixelMetric(PixelMetric metric, const QStyleOption* option,
                    const QWidget* widget) const override {
        switch (metric) {
        case PM_ToolBarHandleExtent:
            return FBar.FShowTab && FBar.FMaximized ? std::max(0, FBar.TabRoom() - LayoutMargin)
                                                    : 0;
        case PM_ToolBarItemMargin:
            return 0;
        case PM_ToolBarFrameWidth:
            return LayoutMargin;
        default:
            return QProxyStyle::pixelMetric(metric, option, widget);
        }
    }

    // The grip's room holds the tab, which never drags the bar.
    QRect subElementRect(SubElement element, const QStyleOption* option,
                         const QWidget* widget) const override {
        if (element == SE_ToolBarHandle)
            return {};
        return QProxyStyle::subElementRect(element, option, widget);
    }

private:
    const TTabToolBar& FBar;
};

namespace {

// The arrow's rows for a strip of the given thickness: half of it, odd, at least 1.
int ArrowRows(int thickness) {
    int rows = thickness / 2;
    if (rows % 2 == 0)
        --rows;
    return std::max(1, rows);
}

// A solid triangle pointing along the strip (+u): its base of 2 rows - 1 pixels lies across
// the strip, centred in [v0, v0 + across), at u = start; each row is 2 pixels shorter. Returns
// the base length.
int DrawArrow(QPainter& painter, int start, int v0, int across, int rows, const QColor& color) {
    const int base = 2 * rows - 1;
    const int top = v0 + (across - base) / 2;
    for (int k = 0; k < rows; ++k)
        painter.fillRect(start + k, top + k, 1, base - 2 * k, color);
    return base;
}

// Light and dark dot pairs every 3 pixels over the fill colour.
void DrawTexture(QPainter& painter, const QRect& area, const QColor& fill, const QColor& light,
                 const QColor& dark) {
    if (area.width() <= 2 || area.height() <= 2)
        return;
    painter.fillRect(area, fill);
    for (int v = 0; v < area.height(); v += 3) {
        for (int u = 0; u < area.width(); u += 3) {
            if (u + 1 < area.width() && v + 1 < area.height())
                painter.fillRect(area.left() + u + 1, area.top() + v + 1, 1, 1, light);
            if (u + 2 < area.width() && v + 2 < area.height())
                painter.fillRect(area.left() + u + 2, area.top() + v + 2, 1, 1, dark);
        }
    }
}

} // namespace

TTabToolBar::TTabToolBar(QWidget* parent) : QToolBar(parent) {
    auto* style = new TTabToolBarStyle(*this);
    style->setParent(this);
    setStyle(style);
    setAttribute(Qt::WA_Hover);
    setMovable(true);
    setFloatable(false);
    SetThickness(ButtonHeight + BordersAcross());
    FSavedSize = height();
    FSavedAutoSize = FAutoSize;
    connect(this, &QToolBar::orientationChanged, this, [this](Qt::Orientation orientation) {
        const int previous = orientation == Qt::Vertical ? height() : width();
        if (!FMaximized)
            SetThickness(FTabSizeMaximized + BordersAcross());
        else
            SetThickness(FAutoSize ? ButtonHeight + BordersAcross() : previous);
    });
}

// ---------------------------------------------------------------------------------------------
// Properties

void TTabToolBar::SetShowTab(bool value) {
    if (value == FShowTab)
        return;
    FShowTab = value;
    FHighlighted = false;
    setMovable(value);
    RefreshFrame();
}

void TTabToolBar::SetMaximized(bool value) {
    if (value == FMaximized)
        return;
    if (!value) {
        FSavedAutoSize = std::exchange(FAutoSize, false);
        FSavedSize = Vertical() ? width() : height();
        FMaximized = false;
        // The buttons' room is empty: the layout rests and its widgets stay hidden.
        layout()->setEnabled(false);
        for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            child->hide();
        SetThickness(FTabSizeMaximized + BordersAcross());
        update();
        if (OnRestore)
            OnRestore(this);
        return;
    }
    FMaximized = true;
    FAutoSize = FSavedAutoSize;
    SetThickness(FAutoSize ? ButtonHeight + BordersAcross() : FSavedSize);
    layout()->setEnabled(true);
    RefreshFrame();
    if (OnMaximize)
        OnMaximize(this);
}

void TTabToolBar::SetTabSizeMaximized(int value) {
    if (value == FTabSizeMaximized)
        return;
    FTabSizeMaximized = value;
    if (!FMaximized)
        SetThickness(value + BordersAcross());
    RefreshFrame();
}

void TTabToolBar::SetEdgeBorders(TEdgeBorders value) {
    if (value == FEdgeBorders)
        return;
    FEdgeBorders = value;
    if (!FMaximized)
        SetThickness(FTabSizeMaximized + BordersAcross());
    else if (FAutoSize)
        SetThickness(ButtonHeight + BordersAcross());
    RefreshFrame();
}

void TTabToolBar::SetHeight(int value) {
    if (Vertical())
        return; // a vertical bar's length is the tool bar area's
    if (!FMaximized)
        FSavedSize = value;
    else if (!FAutoSize)
        SetThickness(value);
}

void TTabToolBar::SetWidth(int value) {
    if (!Vertical())
        return; // a horizontal bar's length is the tool bar area's
    if (!FMaximized)
        FSavedSize = value;
    else if (!FAutoSize)
        SetThickness(value);
}

void TTabToolBar::SetAutoSize(bool value) {
    FSavedAutoSize = value;
    if (!FMaximized)
        return;
    FAutoSize = value;
    if (value)
        SetThickness(ButtonHeight + BordersAcross());
}

int TTabToolBar::StoredHeight() const {
    return !FMaximized && !Vertical() ? FSavedSize : height();
}

int TTabToolBar::StoredWidth() const {
    return !FMaximized && Vertical() ? FSavedSize : width();
}

bool TTabToolBar::StoredAutoSize() const {
    return FMaximized ? FAutoSize : FSavedAutoSize;
}

void TTabToolBar::SetColor(TColor& field, TColor value) {
    if (value == field)
        return;
    field = value;
    update(TabRect());
}

void TTabToolBar::SetMetric(int& field, int value) {
    if (value == field)
        return;
    field = value;
    RefreshFrame();
}

// ---------------------------------------------------------------------------------------------
// Geometry

int TTabToolBar::BordersAcross() const {
    const TEdgeBorders across =
        Vertical() ? TEdgeBorders(ebLeft | ebRight) : TEdgeBorders(ebTop | ebBottom);
    int size = 0;
    for (TEdgeBorder border : {ebLeft, ebTop, ebRight, ebBottom})
        if (across.testFlag(border) && FEdgeBorders.testFlag(border))
            size += 2;
    return size;
}

int TTabToolBar::TabRoom() const {
    const bool border = FEdgeBorders.testFlag(Vertical() ? ebTop : ebLeft);
    return (border ? 2 : 0) + FTabSizeMaximized + FTabIndent;
}

void TTabToolBar::SetThickness(int value) {
    if (Vertical()) {
        setMinimumHeight(0);
        setMaximumHeight(QWIDGETSIZE_MAX);
        setFixedWidth(value);
    } else {
        setMinimumWidth(0);
        setMaximumWidth(QWIDGETSIZE_MAX);
        setFixedHeight(value);
    }
}

QRect TTabToolBar::TabRect() const {
    if (!FShowTab)
        return {};
    QRect r = rect().adjusted(
        FEdgeBorders.testFlag(ebLeft) ? 2 : 0, FEdgeBorders.testFlag(ebTop) ? 2 : 0,
        FEdgeBorders.testFlag(ebRight) ? -2 : 0, FEdgeBorders.testFlag(ebBottom) ? -2 : 0);
    const int length = FMaximized ? FTabSizeMaximized : FTabSizeMinimized;
    if (Vertical())
        r.setHeight(length);
    else
        r.setWidth(length);
    return r;
}

void TTabToolBar::RefreshFrame() {
    if (FMaximized) {
        // A layout that rested while collapsed has no pending request: it is run here.
        layout()->invalidate();
        layout()->activate();
        updateGeometry();
    }
    update();
}

// ---------------------------------------------------------------------------------------------
// Mouse

void TTabToolBar::SetHighlighted(bool value) {
    if (value == FHighlighted)
        return;
    FHighlighted = value;
    update(TabRect());
}

bool TTabToolBar::event(QEvent* event) {
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::LeftButton)
            break;
        const bool onTab = TabRect().contains(mouse->position().toPoint());
        // The first click of a double-click has toggled the bar already; its second release
        // must not toggle it back.
        FTabPressed = onTab && event->type() == QEvent::MouseButtonPress;
        if (onTab)
            return true; // a press on the tab never drags the bar
        break;
    }
    case QEvent::MouseMove:
        if (FTabPressed)
            return true;
        break;
    case QEvent::MouseButtonRelease: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        const bool handled = QToolBar::event(event);
        if (mouse->button() == Qt::LeftButton && std::exchange(FTabPressed, false) &&
            TabRect().contains(mouse->position().toPoint()))
            SetMaximized(!FMaximized);
        return handled;
    }
    case QEvent::HoverEnter:
    case QEvent::HoverMove:
        SetHighlighted(TabRect().contains(static_cast<QHoverEvent*>(event)->position().toPoint()));
        break;
    case QEvent::HoverLeave:
    case QEvent::Leave:
        SetHighlighted(false);
        break;
    default:
        break;
    }
    return QToolBar::event(event);
}

// ---------------------------------------------------------------------------------------------
// Painting

void TTabToolBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), QColorFromTColor(clBtnFace, palette()));
    PaintEdges(painter);
    PaintTab(painter, FHighlighted);
}

void TTabToolBar::PaintEdges(QPainter& painter) const {
    const QColor shadow = QColorFromTColor(clBtnShadow, palette());
    const QColor light = QColorFromTColor(clBtnHighlight, palette());
    const int w = width();
    const int h = height();
    if (FEdgeBorders.testFlag(ebTop)) {
        painter.fillRect(0, 0, w, 1, shadow);
        painter.fillRect(0, 1, w, 1, light);
    }
    if (FEdgeBorders.testFlag(ebBottom)) {
        painter.fillRect(0, h - 2, w, 1, shadow);
        painter.fillRect(0, h - 1, w, 1, light);
    }
    if (FEdgeBorders.testFlag(ebLeft)) {
        painter.fillRect(0, 0, 1, h, shadow);
        painter.fillRect(1, 0, 1, h, light);
    }
    if (FEdgeBorders.testFlag(ebRight)) {
        painter.fillRect(w - 2, 0, 1, h, shadow);
        painter.fillRect(w - 1, 0, 1, h, light);
    }
}

void TTabToolBar::PaintTab(QPainter& painter, bool highlighted) const {
    const QRect tab = TabRect();
    if (tab.isEmpty())
        return;
    auto color = [this](TColor c) {
        return QColorFromTColor(c, palette());
    };
    // The tab is drawn along its long axis u and across it v: the expanded tab of a horizontal
    // bar and the collapsed tab of a vertical one stand upright and are drawn transposed.
    const bool upright = Vertical() != FMaximized;
    const int length = upright ? tab.height() : tab.width();
    const int thick = upright ? tab.width() : tab.height();
    const QColor fill = color(highlighted ? FTabHighlightColor : FTabColor);
    const QColor arrow = color(FArrowColor);
    painter.save();
    painter.translate(tab.topLeft());
    if (upright)
        painter.setTransform(QTransform(0, 1, 1, 0, 0, 0), true);

    QRect area;
    if (FMaximized) {
        painter.fillRect(0, 0, length, thick, fill);
        const QColor shadow = color(clBtnShadow);
        painter.fillRect(0, thick - 1, length, 1, shadow);
        painter.fillRect(length - 1, 0, 1, thick, shadow);
        const int base = DrawArrow(painter, 2, 0, thick, ArrowRows(thick - 2), arrow);
        area = QRect(base, 0, length - base, thick).adjusted(2, 2, -2, -2);
    } else {
        // The far end is cut back by the strip's thickness.
        const QPolygon shape{QPoint(0, 0), QPoint(length - 1, 0),
                             QPoint(length - 1 - thick, thick - 1), QPoint(0, thick - 1)};
        painter.setPen(color(cl3DDkShadow));
        painter.setBrush(fill);
        painter.drawPolygon(shape);
        painter.setPen(color(clWhite));
        painter.drawLine(1, 1, 1, thick - 2);
        painter.drawLine(1, 1, length - 3, 1);
        painter.setPen(color(clBtnShadow));
        painter.drawLine(length - 3, 1, length - 2 - thick, thick - 2);
        painter.drawLine(2, thick - 2, length - 2 - thick, thick - 2);
        const int start = 1 + 2;
        const int base = DrawArrow(painter, start, 1, thick - 2, ArrowRows(thick - 2), arrow);
        const int from = start + base + 2;
        area = QRect(from, 2, length - 1 - thick - from, thick - 4);
    }
    DrawTexture(painter, area, fill, color(FTextureColor1), color(FTextureColor2));
    painter.restore();
}
