// The frame's side of the snippet windows: creating and linking them, showing them at start,
// the View-menu switches whose check marks follow whether each window is shown, and the dock
// site Panel1 at the frame's bottom edge.

#include "app/Childwin.h"
#include "app/Main.h"
#include "editor/ExtMemo.h"
#include "snippets/SelCodeForm.h"
#include "snippets/SettingForm.h"

#include <QAction>
#include <QDockWidget>
#include <QEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QPointer>
#include <QTimer>
#include <QWindow>
#include <functional>

namespace {

constexpr int DockSiteHeight = 41;

// Keeps a View-menu check mark on whether its window is shown, whichever way it was closed.
class TCheckFollowsWindow : public QObject {
public:
    TCheckFollowsWindow(QDockWidget* window, QAction* action) : QObject(window), FAction(action) {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        // A window hidden with a minimised frame is still shown as far as the user is concerned.
        if ((event->type() == QEvent::Show || event->type() == QEvent::Hide) &&
            !event->spontaneous() && FAction)
            FAction->setChecked(!static_cast<QWidget*>(watched)->isHidden());
        return false;
    }

private:
    // The frame destroys its actions before its windows.
    QPointer<QAction> FAction;
};

// A window leaving the dock site gets back the size it had while it floated, not the width of
// the frame's edge it was docked along. The toolkit resizes a window to its drop place before it
// docks it, so the floating size is the one it had when its title bar was pressed.
class TKeepFloatingSize : public QObject {
public:
    explicit TKeepFloatingSize(QDockWidget* window)
        : QObject(window), FWindow(window), FSize(window->size()) {
        if (QWidget* bar = window->titleBarWidget())
            bar->installEventFilter(this);
        connect(window, &QDockWidget::topLevelChanged, this, [this, window](bool floating) {
            if (floating)
                RestoreWhenDropped(window);
        });
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::MouseButtonPress && FWindow->isFloating())
            FSize = FWindow->size();
        return false;
    }

private:
    // The window is still being dragged while the mouse button is down.
    void RestoreWhenDropped(QDockWidget* window) {
        QTimer::singleShot(50, this, [this, window] {
            if (QGuiApplication::mouseButtons() != Qt::NoButton)
                return RestoreWhenDropped(window);
            if (window->isFloating())
                window->resize(FSize);
        });
    }

    QDockWidget* FWindow;
    QSize FSize;
};

} // namespace

void TMainForm::CreateSnippetWindows() {
    SelCodeForm = new TSelCodeForm(this);
    SettingForm = new TSettingForm(this);
    SelCodeForm->SetSettingForm(SettingForm);
    SettingForm->SetSelector(SelCodeForm);
    const TActiveEditor activeEditor = [this]() -> TTextView* {
        TMDIChild* child = ActiveMDIChild();
        return child ? child->RichEdit1 : nullptr;
    };
    SelCodeForm->SetActiveEditor(activeEditor);
    SettingForm->SetActiveEditor(activeEditor);

    // Panel1: a framed strip at the bottom edge while nothing is docked there, to drop onto.
    Panel1 = new QDockWidget(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFeatures(QDockWidget::NoDockWidgetFeatures);
    Panel1->setTitleBarWidget(new QWidget(Panel1));
    auto* strip = new QFrame(Panel1);
    strip->setFrameStyle(QFrame::Box | QFrame::Plain);
    strip->setFixedHeight(DockSiteHeight);
    Panel1->setWidget(strip);
    Panel1->setAllowedAreas(Qt::BottomDockWidgetArea);
    addDockWidget(Qt::BottomDockWidgetArea, Panel1);
    Panel1->hide();

    for (QDockWidget* window :
         {static_cast<QDockWidget*>(SelCodeForm), static_cast<QDockWidget*>(SettingForm)}) {
        window->setAllowedAreas(Qt::NoDockWidgetArea);
        addDockWidget(Qt::BottomDockWidgetArea, window);
        window->setFloating(true);
        window->hide();
        new TKeepFloatingSize(window);
        connect(window, &QDockWidget::topLevelChanged, this, &TMainForm::UpdateDockSite);
        connect(window, &QDockWidget::visibilityChanged, this, &TMainForm::UpdateDockSite);
    }
    new TCheckFollowsWindow(SelCodeForm, SelShowOrHideAction);
    new TCheckFollowsWindow(SettingForm, SetShowOrHideAction);
}

namespace {

// Does something once, when a window is first on the screen.
class TOnFirstExpose : public QObject {
public:
    TOnFirstExpose(QWindow* window, std::function<void()> action)
        : QObject(window), FAction(std::move(action)) {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Expose && static_cast<QWindow*>(watched)->isExposed()) {
            watched->removeEventFilter(this);
            deleteLater();
            FAction();
        }
        return false;
    }

private:
    std::function<void()> FAction;
};

} // namespace

void TMainForm::ShowSnippetWindows() {
    // Under a window manager, tool windows mapped before the frame they belong to end up below
    // it, never drawn and passing clicks to the frame: they are shown once the frame is on the
    // screen. Shown, a window takes the keyboard; the keyboard is the new frame's, as a window
    // manager would have it, and without one nothing else gives it. Their placements are given
    // as they are shown: a size given to a hidden window while events went on in between was
    // replaced by its native window's older size when it was shown.
    const auto show = [this] {
        // The first places side by side, unless placements were kept; each place then goes to
        // the native window as the user's own, which a window manager keeps (openbox placed a
        // window whose place the program had only proposed at the screen's right, or over the
        // other's caption).
        const std::pair<QWidget*, QPoint> places[] = {{SelCodeForm, {81, 218}},
                                                      {SettingForm, {81 + 234 + 8, 218}}};
        for (const auto& [window, place] : places)
            if (window->isWindow())
                window->move(place);
        LoadSnippetPlacements();
        for (QWidget* window : {places[0].first, places[1].first})
            if (window->isWindow()) {
                window->winId();
                window->windowHandle()->setPosition(window->geometry().topLeft());
            }
        SelCodeForm->show();
        SettingForm->show();
        activateWindow();
    };
    QWindow* frame = windowHandle();
    if (!frame || frame->isExposed())
        show();
    else
        new TOnFirstExpose(frame, show);
}

void TMainForm::ToggleSnippetWindow(QDockWidget* window) {
    if (!window->isHidden()) {
        window->hide();
        return;
    }
    // Docked into a site the user has hidden, the window comes back floating.
    if (!window->isFloating() && !FDockSiteShown)
        window->setFloating(true);
    window->show();
    window->raise();
}

void TMainForm::SelShowOrHideActionExecute() {
    ToggleSnippetWindow(SelCodeForm);
}

void TMainForm::SetShowOrHideActionExecute() {
    ToggleSnippetWindow(SettingForm);
}

void TMainForm::ShowDockSiteActionExecute() {
    FDockSiteShown = !FDockSiteShown;
    ShowDockSiteAction->setChecked(FDockSiteShown);
    const Qt::DockWidgetAreas areas =
        FDockSiteShown ? Qt::BottomDockWidgetArea : Qt::NoDockWidgetArea;
    SelCodeForm->setAllowedAreas(areas);
    SettingForm->setAllowedAreas(areas);
    if (FDockSiteShown) {
        for (const QPointer<QDockWidget>& window : std::exchange(FHiddenWithSite, {}))
            if (window && !window->isFloating())
                window->show();
    } else {
        HideDockSite();
    }
    UpdateDockSite();
}

void TMainForm::HideDockSite() {
    FHiddenWithSite.clear();
    for (QDockWidget* window :
         {static_cast<QDockWidget*>(SelCodeForm), static_cast<QDockWidget*>(SettingForm)})
        if (!window->isFloating() && !window->isHidden()) {
            FHiddenWithSite.emplace_back(window);
            window->hide();
        }
}

void TMainForm::UpdateDockSite() {
    bool occupied = false;
    for (const QDockWidget* window : {static_cast<const QDockWidget*>(SelCodeForm),
                                      static_cast<const QDockWidget*>(SettingForm)})
        occupied = occupied || (!window->isFloating() && !window->isHidden());
    Panel1->setVisible(FDockSiteShown && !occupied);
}
