// The Window menu: cascade, the two tilings, minimise all, arrange the icons, and the list of
// open editing windows after the commands.

#include "app/Childwin.h"
#include "app/Main.h"

#include <QAction>
#include <QActionGroup>
#include <QMdiArea>
#include <QMenu>
#include <QPointer>
#include <QStyle>
#include <cmath>

namespace {

// The MDI area's windows that take part in arranging: visible and not minimised.
std::vector<QMdiSubWindow*> TileableWindows(QMdiArea* area) {
    std::vector<QMdiSubWindow*> windows;
    for (QMdiSubWindow* window : area->subWindowList(QMdiArea::CreationOrder))
        if (window->isVisible() && !window->isMinimized())
            windows.push_back(window);
    return windows;
}

bool AnyMinimized(QMdiArea* area) {
    const QList<QMdiSubWindow*> windows = area->subWindowList();
    return std::any_of(windows.begin(), windows.end(),
                       [](QMdiSubWindow* w) { return w->isVisible() && w->isMinimized(); });
}

// Tiles as the Windows MDI client does: a near-square grid in which the last columns (side by
// side) or rows (above one another) take the windows left over.
void Tile(QMdiArea* area, bool sideBySide) {
    std::vector<QMdiSubWindow*> windows = TileableWindows(area);
    const int count = int(windows.size());
    if (count == 0)
        return;
    QRect client = area->viewport()->rect();
    // The row of icons along the bottom stays uncovered.
    if (AnyMinimized(area)) {
        const int iconHeight = area->style()->pixelMetric(QStyle::PM_TitleBarHeight) + 4;
        client.setBottom(std::max(client.top() + 1, client.bottom() - iconHeight));
    }
    for (QMdiSubWindow* window : windows)
        if (window->isMaximized())
            window->showNormal();

    const int lines = std::max(1, int(std::sqrt(double(count))));
    const int groups = count / lines; // columns when side by side, rows otherwise
    const int extra = count % lines;  // the last `extra` groups hold one window more
    const int along = sideBySide ? client.width() : client.height();
    const int across = sideBySide ? client.height() : client.width();
    int index = 0;
    for (int g = 0; g < groups; ++g) {
        const int inGroup = lines + (g >= groups - extra ? 1 : 0);
        const int start = along * g / groups, end = along * (g + 1) / groups;
        for (int k = 0; k < inGroup; ++k, ++index) {
            const int from = across * k / inGroup, to = across * (k + 1) / inGroup;
            const QRect rect =
                sideBySide
                    ? QRect(client.left() + start, client.top() + from, end - start, to - from)
                    : QRect(client.left() + from, client.top() + start, to - from, end - start);
            windows[size_t(index)]->setGeometry(rect);
        }
    }
}

// Cascades from the top left, each window one title bar lower and to the right; every window
// keeps at least half the area's width and height, starting again at the top left when the
// steps would make them smaller.
void Cascade(QMdiArea* area) {
    const std::vector<QMdiSubWindow*> windows = TileableWindows(area);
    if (windows.empty())
        return;
    const QRect client = area->viewport()->rect();
    const int step = area->style()->pixelMetric(QStyle::PM_TitleBarHeight) + 4;
    const int count = int(windows.size());
    const int room = std::min(client.width() / 2, client.height() / 2);
    const int places = std::max(1, std::min(count, room / step + 1));
    const QSize size(client.width() - (places - 1) * step, client.height() - (places - 1) * step);
    for (int i = 0; i < count; ++i) {
        QMdiSubWindow* window = windows[size_t(i)];
        if (window->isMaximized())
            window->showNormal();
        const int offset = (i % places) * step;
        window->setGeometry(QRect(client.topLeft() + QPoint(offset, offset), size));
        window->raise();
    }
}

} // namespace

void TMainForm::WindowCascade1Execute() {
    Cascade(MdiArea);
}

void TMainForm::WindowTileHorizontal1Execute() {
    Tile(MdiArea, false);
}

void TMainForm::WindowTileVertical1Execute() {
    Tile(MdiArea, true);
}

void TMainForm::WindowMinimizeAll1Execute() {
    const QList<QMdiSubWindow*> windows = MdiArea->subWindowList(QMdiArea::StackingOrder);
    for (auto it = windows.rbegin(); it != windows.rend(); ++it)
        (*it)->showMinimized();
}

void TMainForm::WindowArrangeAll1Execute() {
    // Icons line up from the bottom left, row above row when one row is full.
    const QRect client = MdiArea->viewport()->rect();
    int x = client.left(), y = client.bottom() + 1, rowHeight = 0;
    for (QMdiSubWindow* window : MdiArea->subWindowList(QMdiArea::CreationOrder)) {
        if (!window->isVisible() || !window->isMinimized())
            continue;
        const QSize size = window->size();
        if (x > client.left() && x + size.width() > client.right() + 1) {
            x = client.left();
            y -= rowHeight;
            rowHeight = 0;
        }
        rowHeight = std::max(rowHeight, size.height());
        window->move(x, y - size.height());
        x += size.width();
    }
}

void TMainForm::WindowMenuAboutToShow() {
    // The list after the commands is rebuilt each time: the windows come and go.
    const QList<QAction*> items = WindowMenu->actions();
    for (QAction* item : items) {
        if (item->property("windowListEntry").toBool()) {
            WindowMenu->removeAction(item);
            item->deleteLater();
        }
    }
    const QList<QMdiSubWindow*> windows = MdiArea->subWindowList(QMdiArea::CreationOrder);
    if (windows.isEmpty())
        return;
    QAction* separator = WindowMenu->addSeparator();
    separator->setProperty("windowListEntry", true);
    QMdiSubWindow* current = MdiArea->currentSubWindow();
    int number = 0;
    for (QMdiSubWindow* window : windows) {
        ++number;
        QString title = window->windowTitle();
        title.replace(u'&', QStringLiteral("&&"));
        const QString text =
            number <= 9 ? QStringLiteral("&%1 %2").arg(QString::number(number), title) : title;
        QAction* item = WindowMenu->addAction(text);
        item->setProperty("windowListEntry", true);
        item->setCheckable(true);
        item->setChecked(window == current);
        QPointer<QMdiSubWindow> target(window);
        connect(item, &QAction::triggered, this, [this, target] {
            if (!target)
                return;
            if (target->isMinimized())
                target->showNormal();
            MdiArea->setActiveSubWindow(target);
        });
    }
}
