#include "chrome/CaptionBars.h"

#include "chrome/GradCaption.h"

#include <QApplication>
#include <QDockWidget>
#include <QEvent>
#include <QFontMetrics>
#include <QMdiSubWindow>
#include <QPainter>
#include <QStyleFactory>
#include <QStyleOptionTitleBar>
#include <vector>

// ---------------------------------------------------------------------------------------------
// Buttons

namespace {

// A rectangle's outline, one pixel wide, drawn inside it.
void Outline(QPainter& painter, const QRect& r, const QColor& color) {
    painter.fillRect(r.left(), r.top(), r.width(), 1, color);
    painter.fillRect(r.left(), r.bottom(), r.width(), 1, color);
    painter.fillRect(r.left(), r.top(), 1, r.height(), color);
    painter.fillRect(r.right(), r.top(), 1, r.height(), color);
}

// Top and left edges in one colour, bottom and right in another.
void Edge(QPainter& painter, const QRect& r, const QColor& topLeft, const QColor& bottomRight) {
    painter.fillRect(r.left(), r.top(), r.width(), 1, topLeft);
    painter.fillRect(r.left(), r.top(), 1, r.height(), topLeft);
    painter.fillRect(r.left(), r.bottom(), r.width(), 1, bottomRight);
    painter.fillRect(r.right(), r.top(), 1, r.height(), bottomRight);
}

// The glyph of kind in the square of side s at origin.
void Glyph(QPainter& painter, QPoint origin, int s, TCaptionButtonKind kind, const QColor& color) {
    const int x = origin.x();
    const int y = origin.y();
    switch (kind) {
    case cbClose:
        for (int i = 0; i < s; ++i) {
            painter.fillRect(x + i, y + i, 2, 1, color);
            painter.fillRect(x + s - 1 - i, y + i, 2, 1, color);
        }
        break;
    case cbMaximize:
        Outline(painter, QRect(x, y, s + 1, s), color);
        painter.fillRect(x, y + 1, s + 1, 1, color);
        break;
    case cbMinimize:
        painter.fillRect(x + 1, y + s - 2, s - 2, 2, color);
        break;
    case cbRestore: {
        const int box = std::max(3, s - 2);
        Outline(painter, QRect(x + 2, y, box, box - 1), color);
        painter.fillRect(x + 2, y + 1, box, 1, color);
        const QRect front(x, y + 3, box, box - 1);
        painter.fillRect(front, painter.background());
        Outline(painter, front, color);
        painter.fillRect(x, y + 4, box, 1, color);
        break;
    }
    }
}

} // namespace

void DrawCaptionButton(QPainter& painter, const QRect& r, TCaptionButtonKind kind, bool pressed,
                       bool enabled, const QPalette& palette) {
    auto color = [&palette](TColor c) {
        return QColorFromTColor(c, palette);
    };
    painter.save();
    const QColor face = color(clBtnFace);
    painter.setBackground(face);
    painter.fillRect(r, face);
    if (pressed) {
        Edge(painter, r, color(cl3DDkShadow), color(clBtnHighlight));
        Edge(painter, r.adjusted(1, 1, -1, -1), color(clBtnShadow), color(cl3DLight));
    } else {
        Edge(painter, r, color(cl3DLight), color(cl3DDkShadow));
        Edge(painter, r.adjusted(1, 1, -1, -1), color(clBtnHighlight), color(clBtnShadow));
    }
    const QRect inner = r.adjusted(2, 2, -2, -2);
    const int side = std::max(3, std::min(inner.width(), inner.height()) - 3);
    QPoint origin(inner.left() + (inner.width() - side) / 2,
                  inner.top() + (inner.height() - side) / 2);
    if (pressed)
        origin += QPoint(1, 1);
    if (enabled) {
        Glyph(painter, origin, side, kind, color(clBtnText));
    } else {
        Glyph(painter, origin + QPoint(1, 1), side, kind, color(clBtnHighlight));
        Glyph(painter, origin, side, kind, color(clBtnShadow));
    }
    painter.restore();
}

TCaptionButton::TCaptionButton(TCaptionButtonKind kind, QWidget* parent)
    : QAbstractButton(parent), FKind(kind) {
    setFocusPolicy(Qt::NoFocus);
}

void TCaptionButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    DrawCaptionButton(painter, rect(), FKind, isDown(), isEnabled(), palette());
}

// ---------------------------------------------------------------------------------------------
// Dock windows

TDockCaptionBar::TDockCaptionBar(QDockWidget* dock, TGradientCaption* caption)
    : QWidget(dock), FDock(dock), FCaption(caption), FClose(new TCaptionButton(cbClose, this)) {
    connect(FClose, &QAbstractButton::clicked, dock, &QWidget::close);
    auto features = [this](QDockWidget::DockWidgetFeatures value) {
        FClose->setVisible(value.testFlag(QDockWidget::DockWidgetClosable));
        update();
    };
    connect(dock, &QDockWidget::featuresChanged, this, features);
    connect(dock, &QWidget::windowTitleChanged, this, qOverload<>(&QWidget::update));
    connect(caption, &TGradientCaption::Refresh, this, qOverload<>(&QWidget::update));
    features(dock->features());
    dock->setTitleBarWidget(this);
}

bool TDockCaptionBar::Active() const {
    return window()->isActiveWindow();
}

QSize TDockCaptionBar::sizeHint() const {
    const int height = QFontMetrics(FCaption->CaptionFont()).height() + 6;
    return {height * 4, height};
}

QSize TDockCaptionBar::minimumSizeHint() const {
    return sizeHint();
}

QRect TDockCaptionBar::TextRect() const {
    QRect text = rect();
    if (!FClose->isHidden())
        text.setRight(FClose->geometry().left() - 3);
    if (text.width() < 2)
        text.setWidth(2);
    return text;
}

void TDockCaptionBar::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const int height = std::max(1, this->height() - 4);
    const int width = height + 2;
    FClose->setGeometry(this->width() - 2 - width, 2, width, height);
}

void TDockCaptionBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    FCaption->PaintCaption(painter, rect(), TextRect(), Active());
}

void TDockCaptionBar::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange)
        update();
    QWidget::changeEvent(event);
}

// ---------------------------------------------------------------------------------------------
// MDI windows

namespace {

struct TBarButton {
    QStyle::SubControl Control;
    TCaptionButtonKind Kind;
    QRect Rect;
    bool Enabled;
};

struct TBarLayout {
    std::vector<TBarButton> Buttons;
    QRect Text;
    QRect Icon;
};

// The classic layout: buttons from the right inset by 2, close first and a gap of 2, then
// maximise (restore when maximised) and minimise (restore when minimised), both shown when the
// window asks for either; the icon at the start; the text between.
TBarLayout LayoutTitleBar(const QStyleOptionTitleBar& bar) {
    TBarLayout layout;
    const QRect r = bar.rect;
    const Qt::WindowFlags flags = bar.titleBarFlags;
    const int height = std::max(1, r.height() - 4);
    const int width = height + 2;
    int right = r.left() + r.width() - 2;
    auto add = [&](QStyle::SubControl control, TCaptionButtonKind kind, bool enabled, int gap) {
        layout.Buttons.push_back(
            {control, kind, QRect(right - width, r.top() + 2, width, height), enabled});
        right -= width + gap;
    };
    if (flags & Qt::WindowSystemMenuHint) {
        add(QStyle::SC_TitleBarCloseButton, cbClose, true, 2);
        const bool canMaximize = flags & Qt::WindowMaximizeButtonHint;
        const bool canMinimize = flags & Qt::WindowMinimizeButtonHint;
        if (canMaximize || canMinimize) {
            if (bar.titleBarState & Qt::WindowMaximized)
                add(QStyle::SC_TitleBarNormalButton, cbRestore, canMaximize, 0);
            else
                add(QStyle::SC_TitleBarMaxButton, cbMaximize, canMaximize, 0);
            if (bar.titleBarState & Qt::WindowMinimized)
                add(QStyle::SC_TitleBarNormalButton, cbRestore, canMinimize, 0);
            else
                add(QStyle::SC_TitleBarMinButton, cbMinimize, canMinimize, 0);
        }
        layout.Icon = QRect(r.left() + 2, r.top() + (r.height() - 16) / 2, 16, 16);
    }
    layout.Text = QRect(r.left(), r.top(), std::max(2, right - r.left()), r.height());
    return layout;
}

} // namespace

TMdiCaptionStyle::TMdiCaptionStyle(TGradientCaption& caption)
    : QProxyStyle(QStyleFactory::create(QApplication::style()->name())), FCaption(caption) {}

TMdiCaptionStyle* TMdiCaptionStyle::Install(QMdiSubWindow& window, TGradientCaption& caption) {
    auto* style = new TMdiCaptionStyle(caption);
    style->setParent(&window);
    window.setStyle(style);
    QObject::connect(&caption, &TGradientCaption::Refresh, &window, qOverload<>(&QWidget::update));
    return style;
}

void TMdiCaptionStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                                          QPainter* painter, const QWidget* widget) const {
    const auto* bar = qstyleoption_cast<const QStyleOptionTitleBar*>(option);
    if (control != CC_TitleBar || !bar)
        return QProxyStyle::drawComplexControl(control, option, painter, widget);
    const TBarLayout layout = LayoutTitleBar(*bar);
    const bool active = bar->state & State_Active;
    FCaption.PaintCaption(*painter, bar->rect, layout.Text, active,
                          layout.Icon.isValid() ? &bar->icon : nullptr);
    for (const TBarButton& button : layout.Buttons) {
        const bool pressed = (bar->activeSubControls & button.Control) && button.Enabled &&
                             (bar->state & State_Sunken);
        DrawCaptionButton(*painter, button.Rect, button.Kind, pressed, button.Enabled,
                          bar->palette);
    }
}

QRect TMdiCaptionStyle::subControlRect(ComplexControl control, const QStyleOptionComplex* option,
                                       SubControl subControl, const QWidget* widget) const {
    const auto* bar = qstyleoption_cast<const QStyleOptionTitleBar*>(option);
    if (control != CC_TitleBar || !bar)
        return QProxyStyle::subControlRect(control, option, subControl, widget);
    const TBarLayout layout = LayoutTitleBar(*bar);
    switch (subControl) {
    case SC_TitleBarLabel:
        return layout.Text;
    case SC_TitleBarSysMenu:
        return layout.Icon;
    default:
        break;
    }
    for (const TBarButton& button : layout.Buttons)
        if (button.Control == subControl && button.Enabled)
            return button.Rect;
    return {};
}
