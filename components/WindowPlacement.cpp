#include "components/WindowPlacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

TWindowPlacement GetWindowPlacement(const QWidget* window) {
    TWindowPlacement p;
    Qt::WindowStates state = window->windowState();
    if (state & Qt::WindowMinimized) {
        p.Show = swShowMinimized;
        if (state & Qt::WindowMaximized)
            p.Flags = wpfRestoreToMaximized;
    } else if (state & (Qt::WindowMaximized | Qt::WindowFullScreen)) {
        p.Show = swShowMaximized;
    }
    QRect normal = window->normalGeometry();
    if (!normal.isValid())
        normal = window->geometry();
    // A window docked into another has a position relative to it; the record keeps screen
    // coordinates so that the window floats there next time.
    if (!window->isWindow())
        normal = QRect(window->mapToGlobal(QPoint(0, 0)), window->size());
    p.Left = normal.x();
    p.Top = normal.y();
    p.Right = normal.x() + normal.width();
    p.Bottom = normal.y() + normal.height();
    return p;
}

namespace {

// Keeps at least part of the window reachable when the screens changed since it was saved.
QRect OnSomeScreen(QRect rect) {
    const QList<QScreen*> screens = QGuiApplication::screens();
    for (const QScreen* screen : screens)
        if (screen->availableGeometry().intersects(rect))
            return rect;
    if (const QScreen* primary = QGuiApplication::primaryScreen())
        rect.moveTopLeft(primary->availableGeometry().topLeft());
    return rect;
}

} // namespace

void SetWindowPlacement(QWidget* window, const TWindowPlacement& p) {
    // Screen coordinates and window states mean nothing to a window docked into another.
    if (!window->isWindow())
        return;
    const Qt::WindowStates sizeStates =
        Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen;
    Qt::WindowStates kept = window->windowState() & ~sizeStates;
    Qt::WindowStates target = window->windowState() & sizeStates;
    switch (p.Show) {
    case swHide:
        break;
    case swShowMinimized:
    case swMinimize:
    case swShowMinNoActive:
        target = Qt::WindowMinimized;
        if (p.Flags & wpfRestoreToMaximized)
            target |= Qt::WindowMaximized;
        break;
    case swShowMaximized:
        target = Qt::WindowMaximized;
        break;
    default:
        target = Qt::WindowNoState;
        break;
    }
    // 64-bit arithmetic: edges near the limits of int must not overflow into a valid size.
    qint64 width = qint64(p.Right) - p.Left;
    qint64 height = qint64(p.Bottom) - p.Top;
    if (width > 0 && height > 0 && width <= QWIDGETSIZE_MAX && height <= QWIDGETSIZE_MAX) {
        // The normal rectangle is set while the window is normal, so that a maximised or
        // minimised window returns to it.
        window->setWindowState(kept);
        window->setGeometry(OnSomeScreen(QRect(p.Left, p.Top, int(width), int(height))));
    }
    window->setWindowState(kept | target);
}
