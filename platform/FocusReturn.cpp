#include "platform/FocusReturn.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <QWindow>

namespace {

constexpr qsizetype HistoryLength = 16;

bool TakesFocus(Qt::WindowType type) {
    return type != Qt::Popup && type != Qt::ToolTip && type != Qt::SplashScreen;
}

} // namespace

void TFocusReturn::Install() {
    auto* watcher = new TFocusReturn;
    watcher->setParent(qApp);
    qApp->installEventFilter(watcher);
    connect(qApp, &QGuiApplication::focusWindowChanged, watcher, &TFocusReturn::Remember);
}

TFocusReturn::TFocusReturn() = default;

void TFocusReturn::Remember(QWindow* window) {
    if (!window || !TakesFocus(window->type()))
        return;
    FHistory.removeIf([window](const QPointer<QWindow>& w) { return !w || w == window; });
    FHistory.append(window);
    if (FHistory.size() > HistoryLength)
        FHistory.removeFirst();
}

bool TFocusReturn::eventFilter(QObject* watched, QEvent* event) {
    // A hide the system sends (a window minimised) is the user's own doing: the focus stays
    // wherever it went.
    if (event->type() == QEvent::Hide && !event->spontaneous() && watched->isWidgetType()) {
        const auto* widget = static_cast<QWidget*>(watched);
        // After the hide is done and the system has said where the focus went.
        if (widget->isWindow() && TakesFocus(widget->windowType())) {
            QPointer<QWidget> owner =
                widget->parentWidget() ? widget->parentWidget()->window() : nullptr;
            QTimer::singleShot(0, this, [this, owner] { ReturnFocus(owner); });
        }
    }
    return QObject::eventFilter(watched, event);
}

void TFocusReturn::ReturnFocus(QWidget* owner) {
    const QWindow* focus = QGuiApplication::focusWindow();
    if (focus && focus->isVisible())
        return;
    if (QWidget* modal = QApplication::activeModalWidget()) {
        modal->activateWindow();
        return;
    }
    for (auto w = FHistory.crbegin(); w != FHistory.crend(); ++w) {
        if (*w && (*w)->isVisible() && !((*w)->windowStates() & Qt::WindowMinimized)) {
            (*w)->requestActivate();
            return;
        }
    }
    // Nothing had the focus before (no window manager gives a new window the focus): the
    // window the closed one stood over.
    if (owner && owner->isVisible() && !owner->isMinimized())
        owner->activateWindow();
}
