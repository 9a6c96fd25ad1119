#include "components/WindowPlacement.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>

namespace {

// What a window manager's frame adds around the window's own area; nothing before the window
// is framed, and nothing without a window manager.
QMargins FrameMargins(const QWidget* window) {
    const QRect outer = window->frameGeometry(), inner = window->geometry();
    return {inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
            outer.bottom() - inner.bottom()};
}

} // namespace

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
    // The record holds the whole window with its frame: stored from the window's own area, a
    // window restored with its frame around it would have its title bar above that place, off
    // the top of the screen for a window at the top.
    normal = normal.marginsAdded(FrameMargins(window));
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

// How much of a window must stay on a screen below its top edge for its title bar to be taken
// with the mouse.
constexpr int TitleReach = 40;

QRect NearestAvailable(const QRect& rect) {
    const QList<QScreen*> screens = QGuiApplication::screens();
    QRect best;
    qint64 bestArea = -1, bestDistance = 0;
    for (const QScreen* screen : screens) {
        const QRect available = screen->availableGeometry();
        const QRect common = available.intersected(rect);
        const qint64 area = common.isEmpty() ? 0 : qint64(common.width()) * common.height();
        const QPoint d = available.center() - rect.center();
        const qint64 distance = qint64(d.x()) * d.x() + qint64(d.y()) * d.y();
        if (area > bestArea || (area == bestArea && distance < bestDistance)) {
            best = available;
            bestArea = area;
            bestDistance = distance;
        }
    }
    return best;
}

// Keeps the window reachable when the screens changed since it was saved: a place off every
// screen moves onto the nearest one, and the title bar stays on the screen.
QRect OnSomeScreen(QRect rect) {
    const QRect screen = NearestAvailable(rect);
    if (screen.isEmpty())
        return rect;
    if (!screen.intersects(rect)) {
        rect.moveLeft(std::clamp(rect.left(), screen.left(),
                                 std::max(screen.left(), screen.right() + 1 - rect.width())));
        rect.moveTop(std::clamp(rect.top(), screen.top(),
                                std::max(screen.top(), screen.bottom() + 1 - rect.height())));
    }
    rect.moveTop(
        std::clamp(rect.top(), screen.top(), std::max(screen.top(), screen.bottom() - TitleReach)));
    return rect;
}

// A window placed before its window manager framed it got the whole stored size as its own
// area, and its own area at the stored place, the title bar above it; once framed, the frame
// goes to the stored place and is taken off the size, so that the window is where and as large
// as it was. A window restored maximised is fitted when it is first shown normal, with the frame
// a normal window has.
class TFitIntoFrame : public QObject {
public:
    TFitIntoFrame(QWidget* window, const QRect& outer)
        : QObject(window), FWindow(window), FOuter(outer) {
        window->windowHandle()->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Expose && FWindow->windowHandle()->isExposed() &&
            FWindow->windowState() == Qt::WindowNoState) {
            const QMargins margins = FrameMargins(FWindow);
            if (!margins.isNull())
                FWindow->setGeometry(
                    QRect(FOuter.topLeft() + QPoint(margins.left(), margins.top()),
                          FOuter.size().shrunkBy(margins).expandedTo(QSize(1, 1))));
            deleteLater();
            FWindow->windowHandle()->removeEventFilter(this);
        }
        return false;
    }

private:
    QWidget* FWindow;
    QRect FOuter;
};

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
        const QRect outer = OnSomeScreen(QRect(p.Left, p.Top, int(width), int(height)));
        // A top-level window's position is that of its frame.
        window->move(outer.topLeft());
        window->resize(outer.size().shrunkBy(FrameMargins(window)).expandedTo(QSize(1, 1)));
        // The frame is known once the window is on the screen; a window not made yet is made
        // now, so that its first exposure can be watched.
        window->winId();
        if (!window->windowHandle()->isExposed())
            new TFitIntoFrame(window, outer);
    }
    window->setWindowState(kept | target);
}
